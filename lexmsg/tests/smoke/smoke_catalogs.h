/* The catalogs of the DLL smoke run, callable from C. */
#ifndef LEXMSG_TESTS_SMOKE_CATALOGS_H
#define LEXMSG_TESTS_SMOKE_CATALOGS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Message ids of the smoke catalog; both sections hold the same texts. */
#define SMOKE_GREETING 1 /* "Hola %1, tienes %2 mensajes (%3 bytes)." */
#define SMOKE_KEY 2      /* "%1=%2 (%3)" */

/* Writes the smoke catalog to catalog_path, and a host file holding some
 * bytes of its own and then the catalog behind the marker for module_name
 * to host_path; returns the catalog's bytes (release them with free) with
 * their count in *size, or NULL when anything fails. */
unsigned char* smoke_make_catalogs(const char* catalog_path,
                                   const char* host_path,
                                   const char* module_name,
                                   uint32_t* size);

#ifdef __cplusplus
}
#endif

#endif
