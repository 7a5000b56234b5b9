// The catalog that lexmsg-compile embedded into a module, copied into a
// temporary catalog file of its own.
#ifndef SWEEPKIT_KIT_EMBEDDED_COPY_H
#define SWEEPKIT_KIT_EMBEDDED_COPY_H

#include <string>

namespace sweepkit_kit {

// Finds the catalog behind the marker "ZRR:" name NUL in the file at path and
// writes its bytes (header and both sections) to a new temporary file.
// Returns that file's path, or an empty string when there is no such
// catalog or it cannot be copied. The caller deletes the file.
std::wstring copy_embedded_catalog(const std::wstring& path, const std::string& name);

}  // namespace sweepkit_kit

#endif
