/* The public header compiled as C, linked against the shared library: every
 * exported function called at least once. Catalogs are assembled here, byte
 * by byte (their sections as stored zlib blocks), so the program needs
 * nothing but the library: a catalog file, a host file that embeds it and
 * a memory image; wide and narrow messages through the list, va_list and
 * variadic forms, explicit handles and the default slots; argument lists
 * built, read and serialized. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "lexmsg.h"

static int failures = 0;

/* ---- A catalog of one message, id 1: "Hi %1, n=%2" ---------------------- */

static const char kLiteral[] = "Hi , n="; /* the text without its insertion points */
#define LITERAL_LENGTH 7u
#define HIGHEST_ID 1u
#define INDEX_SIZE (16u * (HIGHEST_ID + 1u))
#define SECTION_SIZE (INDEX_SIZE + LITERAL_LENGTH + 2u * 8u + 4u)
#define STREAM_SIZE (2u + 5u + SECTION_SIZE + 4u)
#define CATALOG_SIZE (36u + 2u * STREAM_SIZE)

static void put32(unsigned char* at, uint32_t value) {
    at[0] = (unsigned char)value;
    at[1] = (unsigned char)(value >> 8);
    at[2] = (unsigned char)(value >> 16);
    at[3] = (unsigned char)(value >> 24);
}

/* The expanded section: the index (id 0 empty, id 1 the message), the
 * literal text, the insertions (1 at 3, 2 at 7) and the closing zero. */
static void make_section(unsigned char* section) {
    unsigned char* body = section + INDEX_SIZE;
    memset(section, 0, SECTION_SIZE);
    put32(section + 16, INDEX_SIZE);
    put32(section + 20, LITERAL_LENGTH);
    put32(section + 24, LITERAL_LENGTH);
    memcpy(body, kLiteral, LITERAL_LENGTH);
    put32(body + LITERAL_LENGTH, 1);
    put32(body + LITERAL_LENGTH + 4, 3);
    put32(body + LITERAL_LENGTH + 8, 2);
    put32(body + LITERAL_LENGTH + 12, 7);
}

/* A zlib stream (RFC 1950) holding the bytes in one stored deflate block. */
static void make_stream(unsigned char* out, const unsigned char* data, uint32_t size) {
    uint32_t a = 1;
    uint32_t b = 0;
    uint32_t i;
    out[0] = 0x78;
    out[1] = 0x01;
    out[2] = 0x01; /* the final block, stored */
    out[3] = (unsigned char)size;
    out[4] = (unsigned char)(size >> 8);
    out[5] = (unsigned char)~size;
    out[6] = (unsigned char)(~size >> 8);
    memcpy(out + 7, data, size);
    for (i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521u;
        b = (b + a) % 65521u;
    }
    out[7 + size] = (unsigned char)(b >> 8);
    out[8 + size] = (unsigned char)b;
    out[9 + size] = (unsigned char)(a >> 8);
    out[10 + size] = (unsigned char)a;
}

/* Both sections hold the same ASCII text. */
static void make_catalog(unsigned char* catalog) {
    unsigned char section[SECTION_SIZE];
    memset(catalog, 0, 36);
    catalog[1] = 'Z';
    catalog[2] = 'R';
    catalog[3] = 'R';
    put32(catalog + 8, HIGHEST_ID);
    put32(catalog + 12, 36);
    put32(catalog + 16, STREAM_SIZE);
    put32(catalog + 20, SECTION_SIZE);
    put32(catalog + 24, 36 + STREAM_SIZE);
    put32(catalog + 28, STREAM_SIZE);
    put32(catalog + 32, SECTION_SIZE);
    make_section(section);
    make_stream(catalog + 36, section, SECTION_SIZE);
    make_stream(catalog + 36 + STREAM_SIZE, section, SECTION_SIZE);
}

static int write_file(
    const char* path, const unsigned char* prefix, size_t prefix_size, const unsigned char* bytes, size_t size) {
    FILE* out = fopen(path, "wb");
    int ok;
    if (out == NULL) return 0;
    ok =
        (prefix_size == 0 || fwrite(prefix, 1, prefix_size, out) == prefix_size) && fwrite(bytes, 1, size, out) == size;
    return fclose(out) == 0 && ok;
}

/* ---- Helpers ---------------------------------------------------------- */

static const char kCatalogPath[] = "c_api_test.cat";
static const lexmsg_wchar kCatalogPathWide[] = {
    'c', '_', 'a', 'p', 'i', '_', 't', 'e', 's', 't', '.', 'c', 'a', 't', 0};
static const char kHostPath[] = "c_api_test_host.bin";
static const char kExpected[] = "Hi Ana, n=5";

static int wide_equals(const lexmsg_wchar* text, const char* ascii) {
    size_t i = 0;
    for (; ascii[i] != '\0'; ++i) {
        if (text[i] != (lexmsg_wchar)(unsigned char)ascii[i]) return 0;
    }
    return text[i] == 0;
}

static lexmsg_arg_list* counted_list(unsigned int count, ...) {
    va_list args;
    lexmsg_arg_list* list;
    va_start(args, count);
    list = lexmsg_arg_list_from_va(count, args);
    va_end(args);
    return list;
}

static lexmsg_arg_list* sentinel_list(int dummy, ...) {
    va_list args;
    lexmsg_arg_list* list;
    va_start(args, dummy);
    list = lexmsg_arg_list_from_va_sentinel(args);
    va_end(args);
    return list;
}

static int wide_va(const lexmsg_handle* handle, lexmsg_wchar** buffer, uint32_t size, unsigned int count, ...) {
    va_list pairs;
    int rc;
    va_start(pairs, count);
    rc = handle != NULL ? lexmsg_vgetMessageW_mf(handle, 1, count, buffer, size, pairs)
                        : lexmsg_vgetMessageW(1, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

static int narrow_va(const lexmsg_handle* handle, char** buffer, uint32_t size, unsigned int count, ...) {
    va_list pairs;
    int rc;
    va_start(pairs, count);
    rc = handle != NULL ? lexmsg_vgetMessageA_mf(handle, 1, count, buffer, size, pairs)
                        : lexmsg_vgetMessageA(1, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

/* The message of a wide handle (or of the wide slot, for NULL) through the
 * list, va_list and variadic forms, allocated and into a buffer. */
static void check_wide_forms(const lexmsg_handle* handle, const lexmsg_arg_list* args) {
    lexmsg_wchar* allocated = NULL;
    lexmsg_wchar buffer[32];
    lexmsg_wchar* into = buffer;
    CHECK((handle != NULL ? lexmsg_lgetMessageW_mf(handle, 1, &allocated, 0, args)
                          : lexmsg_lgetMessageW(1, &allocated, 0, args)) == 0);
    CHECK(allocated != NULL && wide_equals(allocated, kExpected));
    lexmsg_free(allocated);
    memset(buffer, 0, sizeof buffer);
    CHECK(wide_va(handle, &into, sizeof buffer, 2, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5) == 0);
    CHECK(wide_equals(buffer, kExpected));
    /* Too small a buffer gives the size needed, terminator included. */
    CHECK((handle != NULL ? lexmsg_getMessageW_mf(handle, 1, 2, &into, 4, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5)
                          : lexmsg_getMessageW(1, 2, &into, 4, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5)) ==
          (int)(2 * sizeof kExpected));
}

static void check_narrow_forms(const lexmsg_handle* handle, const lexmsg_arg_list* args) {
    char* allocated = NULL;
    char buffer[32];
    char* into = buffer;
    CHECK((handle != NULL ? lexmsg_lgetMessageA_mf(handle, 1, &allocated, 0, args)
                          : lexmsg_lgetMessageA(1, &allocated, 0, args)) == 0);
    CHECK(allocated != NULL && strcmp(allocated, kExpected) == 0);
    lexmsg_free(allocated);
    memset(buffer, 0, sizeof buffer);
    CHECK(narrow_va(handle, &into, sizeof buffer, 2, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5) == 0);
    CHECK(strcmp(buffer, kExpected) == 0);
    memset(buffer, 0, sizeof buffer);
    CHECK((handle != NULL
               ? lexmsg_getMessageA_mf(handle, 1, 2, &into, sizeof buffer, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5)
               : lexmsg_getMessageA(1, 2, &into, sizeof buffer, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 5)) == 0);
    CHECK(strcmp(buffer, kExpected) == 0);
}

/* ---- The checks ------------------------------------------------------- */

static void check_lists(void) {
    static const unsigned char expected[] = {
        0x03, 0x00, 0x01, 0x2A, 0x00, 0x00, 0x00, 0x06, 0x02, 0x00, 0x00, 0x00, 'h', 'i', 0x04, 'z'};
    static const lexmsg_wchar wide[] = {0x41, 0};
    unsigned char out[64];
    uint32_t size = 0;
    int tag = 0;
    lexmsg_arg_list* copy = NULL;
    lexmsg_arg_list* list = sentinel_list(0, LEXMSG_ARG_INT, 42, LEXMSG_ARG_CHARP, "hi", LEXMSG_ARG_CHAR, 'z', 0);
    lexmsg_arg_list* built = lexmsg_arg_list_new();
    lexmsg_arg_list* counted = counted_list(2, LEXMSG_ARG_UINT, 7u, LEXMSG_ARG_WCHARP, wide);

    CHECK(list != NULL && built != NULL && counted != NULL);
    CHECK(lexmsg_arg_list_length(list) == 3);
    CHECK(lexmsg_arg_list_serialize(list, NULL, &size) == LEXMSG_E_OPEN);
    CHECK(size == sizeof expected);
    size = sizeof out;
    CHECK(lexmsg_arg_list_serialize(list, out, &size) == LEXMSG_OK);
    CHECK(size == sizeof expected && memcmp(out, expected, sizeof expected) == 0);

    CHECK(lexmsg_arg_list_deserialize(&copy, out, size) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_length(copy) == 3);
    CHECK(strcmp((const char*)lexmsg_arg_list_get(copy, 1, &tag), "hi") == 0 && tag == LEXMSG_ARG_CHARP);
    CHECK(lexmsg_arg_list_pop(copy) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_add_wcharp(copy, wide) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_get(copy, 2, &tag) == (intptr_t)wide && tag == LEXMSG_ARG_WCHARP);
    CHECK(lexmsg_arg_list_length(lexmsg_arg_list_empty()) == 0);

    /* Every kind of value, read back with its tag. */
    CHECK(lexmsg_arg_list_add_int(built, -3) == 0);
    CHECK(lexmsg_arg_list_add_uint(built, 4000000000u) == 0);
    CHECK(lexmsg_arg_list_add_long(built, -70000L) == 0);
    CHECK(lexmsg_arg_list_add_ulong(built, 70000UL) == 0);
    CHECK(lexmsg_arg_list_add_char(built, 'q') == 0);
    CHECK(lexmsg_arg_list_add_wchar(built, (lexmsg_wchar)0x20AC) == 0);
    CHECK(lexmsg_arg_list_add_charp(built, "text") == 0);
    CHECK(lexmsg_arg_list_length(built) == 7);
    CHECK((int)lexmsg_arg_list_get(built, 0, &tag) == -3 && tag == LEXMSG_ARG_INT);
    CHECK((unsigned int)lexmsg_arg_list_get(built, 1, &tag) == 4000000000u && tag == LEXMSG_ARG_UINT);
    CHECK((int)lexmsg_arg_list_get(built, 2, &tag) == -70000 && tag == LEXMSG_ARG_LONG);
    CHECK((unsigned int)lexmsg_arg_list_get(built, 3, &tag) == 70000u && tag == LEXMSG_ARG_ULONG);
    CHECK(lexmsg_arg_list_get(built, 4, &tag) == 'q' && tag == LEXMSG_ARG_CHAR);
    CHECK(lexmsg_arg_list_get(built, 5, &tag) == 0x20AC && tag == LEXMSG_ARG_WCHAR);
    CHECK(strcmp((const char*)lexmsg_arg_list_get(built, 6, &tag), "text") == 0 && tag == LEXMSG_ARG_CHARP);
    CHECK((unsigned int)lexmsg_arg_list_get(counted, 0, &tag) == 7u && tag == LEXMSG_ARG_UINT);
    CHECK(lexmsg_arg_list_get(counted, 1, &tag) == (intptr_t)wide && tag == LEXMSG_ARG_WCHARP);
    lexmsg_arg_list_clear(built);
    CHECK(lexmsg_arg_list_length(built) == 0);

    lexmsg_arg_list_free(counted);
    lexmsg_arg_list_free(built);
    lexmsg_arg_list_free(copy);
    lexmsg_arg_list_free(list);
}

static void check_catalogs(const unsigned char* catalog) {
    lexmsg_handle* wide_file = NULL;
    lexmsg_handle* wide_from_wide_path = NULL;
    lexmsg_handle* narrow_file = NULL;
    lexmsg_handle* narrow_from_wide_path = NULL;
    lexmsg_handle* embedded = NULL;
    lexmsg_handle* in_memory = NULL;
    lexmsg_arg_list* args = lexmsg_arg_list_new();

    CHECK(args != NULL && lexmsg_arg_list_add_charp(args, "Ana") == 0 && lexmsg_arg_list_add_int(args, 5) == 0);

    CHECK(lexmsg_initW_mf(kCatalogPath, &wide_file) == 0);
    CHECK(lexmsg_wcsinitW_mf(kCatalogPathWide, &wide_from_wide_path) == 0);
    CHECK(lexmsg_initA_mf(kCatalogPath, &narrow_file) == 0);
    CHECK(lexmsg_wcsinitA_mf(kCatalogPathWide, &narrow_from_wide_path) == 0);
    CHECK(lexmsg_initembA_mf("C:\\app\\c_api.exe", kHostPath, &embedded, 0) == 0);
    CHECK(lexmsg_init_rawA_mf(catalog, CATALOG_SIZE, &in_memory) == 0);
    if (wide_file != NULL) check_wide_forms(wide_file, args);
    if (wide_from_wide_path != NULL) check_wide_forms(wide_from_wide_path, args);
    if (narrow_file != NULL) check_narrow_forms(narrow_file, args);
    if (narrow_from_wide_path != NULL) check_narrow_forms(narrow_from_wide_path, args);
    if (embedded != NULL) check_narrow_forms(embedded, args);
    if (in_memory != NULL) check_narrow_forms(in_memory, args);
    CHECK(lexmsg_cleanupW_mf(wide_file) == 0);
    CHECK(lexmsg_cleanupW_mf(wide_from_wide_path) == 0);
    CHECK(lexmsg_cleanupA_mf(narrow_file) == 0);
    CHECK(lexmsg_cleanupA_mf(narrow_from_wide_path) == 0);
    CHECK(lexmsg_cleanupA_mf(embedded) == 0);
    CHECK(lexmsg_cleanupA_mf(in_memory) == 0);

    /* The default slots, each filled by every initialiser of its width in
     * turn; an empty slot cannot be cleaned up. */
    CHECK(lexmsg_initW(kCatalogPath) == 0);
    check_wide_forms(NULL, args);
    CHECK(lexmsg_cleanupW() == 0);
    CHECK(lexmsg_wcsinitW(kCatalogPathWide) == 0);
    check_wide_forms(NULL, args);
    CHECK(lexmsg_cleanupW() == 0);
    CHECK(lexmsg_cleanupW() == LEXMSG_E_FAIL);
    CHECK(lexmsg_initA(kCatalogPath) == 0);
    check_narrow_forms(NULL, args);
    CHECK(lexmsg_cleanupA() == 0);
    CHECK(lexmsg_wcsinitA(kCatalogPathWide) == 0);
    check_narrow_forms(NULL, args);
    CHECK(lexmsg_cleanupA() == 0);
    CHECK(lexmsg_initembA("C:\\app\\c_api.exe", kHostPath, 0) == 0);
    check_narrow_forms(NULL, args);
    CHECK(lexmsg_cleanupA() == 0);
    CHECK(lexmsg_cleanupA() == LEXMSG_E_FAIL);

    lexmsg_arg_list_free(args);
}

int main(void) {
    static const unsigned char marker[] = "filler ZRR:c_api.exe"; /* its zero byte ends the name */
    unsigned char catalog[CATALOG_SIZE];
    make_catalog(catalog);
    CHECK(write_file(kCatalogPath, NULL, 0, catalog, sizeof catalog));
    CHECK(write_file(kHostPath, marker, sizeof marker, catalog, sizeof catalog));

    check_lists();
    check_catalogs(catalog);

    remove(kCatalogPath);
    remove(kHostPath);
    if (failures == 0) printf("c_api_test: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
