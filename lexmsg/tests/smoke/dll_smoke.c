/* The DLL's exports called by name from a C program, in one process: what a
 * 32-bit build can get wrong that a 64-bit one cannot (calling conventions,
 * variadic arguments, 32-bit sizes and pointers, the import names). Loads a
 * catalog from a file, from a host file that embeds it and from memory;
 * delivers a wide and a narrow message with arguments; serializes a list
 * and reads it back. */
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "c_check.h"
#include "lexmsg.h"
#include "smoke_catalogs.h"

static int failures = 0;

static int wide_equals(const lexmsg_wchar* text, const char* ascii) {
    size_t i = 0;
    for (; ascii[i] != '\0'; ++i) {
        if (text[i] != (lexmsg_wchar)(unsigned char)ascii[i]) return 0;
    }
    return text[i] == 0;
}

static int narrow_va(const lexmsg_handle* handle, uint32_t id, char** buffer, uint32_t size, unsigned int count, ...) {
    va_list pairs;
    int rc;
    va_start(pairs, count);
    rc = lexmsg_vgetMessageA_mf(handle, id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

/* The greeting for Ana, wide, through the variadic form. */
static int wide_greeting(const lexmsg_handle* handle, lexmsg_wchar** buffer, uint32_t size) {
    static const lexmsg_wchar ana[] = {'A', 'n', 'a', 0};
    return lexmsg_getMessageW_mf(handle,
                                 SMOKE_GREETING,
                                 3,
                                 buffer,
                                 size,
                                 LEXMSG_ARG_WCHARP,
                                 ana,
                                 LEXMSG_ARG_INT,
                                 12,
                                 LEXMSG_ARG_ULONG,
                                 4000000000UL);
}

int main(void) {
    static const char greeting_ana[] = "Hola Ana, tienes 12 mensajes (4000000000 bytes).";
    static const char key_text[] = "clave=x (-5)";
    lexmsg_handle* from_file = NULL;
    lexmsg_handle* embedded = NULL;
    lexmsg_handle* in_memory = NULL;
    lexmsg_arg_list* list = lexmsg_arg_list_new();
    lexmsg_arg_list* copy = NULL;
    lexmsg_wchar* wide = NULL;
    char narrow[64];
    char* narrow_out = narrow;
    char* allocated = NULL;
    unsigned char bytes[64];
    uint32_t size = sizeof bytes;
    uint32_t catalog_size = 0;
    int tag = 0;
    unsigned char* catalog = smoke_make_catalogs("dll_smoke.cat", "dll_smoke_host.bin", "zrsmoke.exe", &catalog_size);

    CHECK(catalog != NULL && list != NULL);
    if (catalog == NULL || list == NULL) return 1;

    /* A wide message from the catalog file, through the variadic form. */
    CHECK(lexmsg_initW_mf("dll_smoke.cat", &from_file) == 0);
    CHECK(wide_greeting(from_file, &wide, 0) == 0);
    CHECK(wide != NULL && wide_equals(wide, greeting_ana));
    lexmsg_free(wide);
    /* Too small a buffer gives the size needed, in bytes with the terminator. */
    CHECK(wide_greeting(from_file, &wide, 4) == (int)(2 * sizeof greeting_ana));

    /* A narrow message from the catalog behind the marker, through a list. */
    CHECK(lexmsg_initembA_mf("C:\\Programas\\Ostrel\\zrsmoke.exe", "dll_smoke_host.bin", &embedded, 0) == 0);
    CHECK(lexmsg_arg_list_add_charp(list, "clave") == 0);
    CHECK(lexmsg_arg_list_add_char(list, 'x') == 0);
    CHECK(lexmsg_arg_list_add_long(list, -5L) == 0);
    CHECK(lexmsg_lgetMessageA_mf(embedded, SMOKE_KEY, &narrow_out, sizeof narrow, list) == 0);
    CHECK(strcmp(narrow, key_text) == 0);

    /* The list as bytes and back: the copy owns its string and gives the same text. */
    CHECK(lexmsg_arg_list_serialize(list, bytes, &size) == 0);
    CHECK(lexmsg_arg_list_deserialize(&copy, bytes, size) == 0);
    CHECK(lexmsg_arg_list_length(copy) == 3);
    CHECK(strcmp((const char*)lexmsg_arg_list_get(copy, 0, &tag), "clave") == 0 && tag == LEXMSG_ARG_CHARP);
    /* A long travels as an int; its 32-bit payload is kept (in the low half of
     * a 64-bit build's result). */
    CHECK((int)lexmsg_arg_list_get(copy, 2, &tag) == -5 && tag == LEXMSG_ARG_INT);
    memset(narrow, 0, sizeof narrow);
    CHECK(lexmsg_lgetMessageA_mf(embedded, SMOKE_KEY, &narrow_out, sizeof narrow, copy) == 0);
    CHECK(strcmp(narrow, key_text) == 0);

    /* The catalog from memory, released as soon as it is loaded; the va_list form. */
    CHECK(lexmsg_init_rawA_mf(catalog, catalog_size, &in_memory) == 0);
    free(catalog);
    CHECK(narrow_va(in_memory,
                    SMOKE_GREETING,
                    &allocated,
                    0,
                    3,
                    LEXMSG_ARG_CHARP,
                    "Ana",
                    LEXMSG_ARG_UINT,
                    12U,
                    LEXMSG_ARG_LONG,
                    -1L) == 0);
    CHECK(allocated != NULL && strcmp(allocated, "Hola Ana, tienes 12 mensajes (-1 bytes).") == 0);
    lexmsg_free(allocated);

    CHECK(lexmsg_cleanupW_mf(from_file) == 0);
    CHECK(lexmsg_cleanupA_mf(embedded) == 0);
    CHECK(lexmsg_cleanupA_mf(in_memory) == 0);
    lexmsg_arg_list_free(copy);
    lexmsg_arg_list_free(list);
    if (failures == 0) printf("dll_smoke: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
