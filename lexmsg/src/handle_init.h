// Makes catalog handles from files through a given door to the file system;
// the exported initialisers pass the platform's door.
#ifndef LEXMSG_HANDLE_INIT_H
#define LEXMSG_HANDLE_INIT_H

#include "catalog_format.h"
#include "file_door.h"
#include "lexmsg.h"

namespace lexmsg {

// The chosen section of the catalog file at path: 0, or a library code.
int init_file(FileDoor& door, const char* path, Section which, lexmsg_handle** handle);
int init_file_wide(FileDoor& door, const lexmsg_wchar* path, Section which, lexmsg_handle** handle);
// The narrow section of the catalog embedded in the host file under the
// module path's base name.
int init_embedded(FileDoor& door, const char* module_path, const char* host_path, lexmsg_handle** handle);

}  // namespace lexmsg

#endif
