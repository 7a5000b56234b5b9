/* lexmsg: numbered, localized messages from compressed catalogs, with typed
 * argument lists that can be serialized to bytes and back.
 *
 * Conventions
 * - Objects are opaque and reached through pointers: lexmsg_handle (one
 *   loaded catalog section) and lexmsg_arg_list (an ordered list of typed
 *   values). Their layout is private to the library.
 * - Who frees what: whatever the library hands out is released through the
 *   library, never with the caller's own allocator: lists with
 *   lexmsg_arg_list_free, message texts with lexmsg_free, handles with the
 *   cleanup function of their kind.
 * - Strings added to a list with lexmsg_arg_list_add_charp / _wcharp are
 *   borrowed: the caller keeps them alive and unchanged while they are in the
 *   list. Lists read by lexmsg_arg_list_deserialize own copies of their
 *   strings.
 * - Results: functions that report a status return 0 for success, a negative
 *   LEXMSG_E_* code for failure, and (message functions) a positive value for
 *   the output size in bytes that the caller must provide.
 * - Wide text is UTF-16 in lexmsg_wchar units: wchar_t on Windows, a 16-bit
 *   unsigned type elsewhere. long and unsigned long values are kept as 32-bit
 *   values on every build, and a serialized list is the same byte string on
 *   every build.
 * - A handle holds one section of a catalog: wide handles (W functions)
 *   deliver UTF-16, narrow handles (A functions) 8-bit text. Functions
 *   without the _mf suffix use one of two process-wide slots instead of an
 *   explicit handle: the wide slot for W, the narrow slot for A.
 * - Nothing is synchronized: a list or a default slot must not be changed by
 *   one thread while another uses it; a handle is read-only once loaded.
 */
#ifndef LEXMSG_H
#define LEXMSG_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(LEXMSG_DLL_IMPORT)
#define LEXMSG_API __declspec(dllimport)
#else
#define LEXMSG_API
#endif
#elif defined(__GNUC__)
#define LEXMSG_API __attribute__((visibility("default")))
#else
#define LEXMSG_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
typedef wchar_t lexmsg_wchar;
#elif defined(__cplusplus)
typedef char16_t lexmsg_wchar;
#else
typedef uint_least16_t lexmsg_wchar; /* the C11 char16_t */
#endif

typedef struct lexmsg_handle lexmsg_handle;
typedef struct lexmsg_arg_list lexmsg_arg_list;
typedef struct lexmsg_arg lexmsg_arg;

/* Result codes shared by every entry point that reports a status. */
#define LEXMSG_OK 0
#define LEXMSG_E_FAIL (-1)       /* general failure, null argument, no memory or wrong state */
#define LEXMSG_E_OPEN (-2)       /* file not opened, or serialized data too short / output too small */
#define LEXMSG_E_MALFORMED (-3)  /* malformed catalog */
#define LEXMSG_E_NO_MESSAGE (-4) /* no such message */
#define LEXMSG_E_ARG (-5)        /* an argument cannot be rendered */
#define LEXMSG_E_ARG_COUNT (-6)  /* argument count differs from the message; the message is still delivered */
#define LEXMSG_E_HANDLE (-7)     /* invalid handle */

/* Type tags of list elements; the same numbers are the serialized tags. */
#define LEXMSG_ARG_INT 1    /* signed 32-bit */
#define LEXMSG_ARG_LONG 2   /* long, kept as signed 32-bit */
#define LEXMSG_ARG_ULONG 3  /* unsigned long, kept as unsigned 32-bit */
#define LEXMSG_ARG_CHAR 4   /* one 8-bit character */
#define LEXMSG_ARG_WCHAR 5  /* one 16-bit wide character */
#define LEXMSG_ARG_CHARP 6  /* borrowed (or, when deserialized, owned) 8-bit string */
#define LEXMSG_ARG_WCHARP 7 /* borrowed (or, when deserialized, owned) wide string */
#define LEXMSG_ARG_UINT 8   /* unsigned 32-bit */

/* ---- Argument lists ---------------------------------------------------- */

/* A new empty list, or NULL if it cannot be allocated. */
LEXMSG_API lexmsg_arg_list* lexmsg_arg_list_new(void);

/* The shared read-only empty list. Only for reading (length, get, message
 * functions, serialize): never add to it, pop, clear or free it. */
LEXMSG_API const lexmsg_arg_list* lexmsg_arg_list_empty(void);

/* Append one value at the end. 0, or -1 when the list is NULL or memory runs
 * out (the list is then unchanged). A NULL string pointer is stored as an
 * empty string. */
LEXMSG_API int lexmsg_arg_list_add_int(lexmsg_arg_list* list, int value);
LEXMSG_API int lexmsg_arg_list_add_uint(lexmsg_arg_list* list, unsigned int value);
LEXMSG_API int lexmsg_arg_list_add_long(lexmsg_arg_list* list, long value);
LEXMSG_API int lexmsg_arg_list_add_ulong(lexmsg_arg_list* list, unsigned long value);
LEXMSG_API int lexmsg_arg_list_add_char(lexmsg_arg_list* list, char value);
LEXMSG_API int lexmsg_arg_list_add_wchar(lexmsg_arg_list* list, lexmsg_wchar value);
LEXMSG_API int lexmsg_arg_list_add_charp(lexmsg_arg_list* list, const char* value);
LEXMSG_API int lexmsg_arg_list_add_wcharp(lexmsg_arg_list* list, const lexmsg_wchar* value);

/* Removes the last element: 0, or -1 if the list is NULL or empty. */
LEXMSG_API int lexmsg_arg_list_pop(lexmsg_arg_list* list);

/* The element at the zero-based index: a char sign-extended, a wide char
 * zero-extended, a string its pointer value, an unknown tag 0. Its tag is
 * stored through tag (if not NULL). A NULL list or an index out of range
 * gives 0 and leaves *tag alone. */
LEXMSG_API intptr_t lexmsg_arg_list_get(const lexmsg_arg_list* list, int index, int* tag);

/* Number of elements; 0 for NULL. */
LEXMSG_API int lexmsg_arg_list_length(const lexmsg_arg_list* list);

/* Clear frees every element (and the strings the list owns); Free also
 * releases the list. Both accept NULL. */
LEXMSG_API void lexmsg_arg_list_clear(lexmsg_arg_list* list);
LEXMSG_API void lexmsg_arg_list_free(lexmsg_arg_list* list);

/* New lists from (int tag, value) pairs read from a variable argument list,
 * each value in its promoted type (int for tags 4 and 5). from_va reads
 * count pairs; from_va_sentinel reads until a tag 0, which is not stored. An
 * unknown tag reads no value and appends an element that no message can
 * render. NULL if the list cannot be allocated; a pair whose append fails is
 * skipped. */
LEXMSG_API lexmsg_arg_list* lexmsg_arg_list_from_va(unsigned int count, va_list args);
LEXMSG_API lexmsg_arg_list* lexmsg_arg_list_from_va_sentinel(va_list args);

/* ---- Serialization ------------------------------------------------------- */
/* Byte form, little-endian: a 16-bit element count, then per element a tag
 * byte and its payload (int, unsigned, wide char: 4 bytes; char: 1 byte;
 * strings: a 32-bit count and the text, wide units 4 bytes each).
 *
 * serialize: *size is the output area's size on entry, the size written or
 * needed on return. 0 on success; -2 (nothing written) if *size is too small,
 * with the needed size stored; -1 for a NULL list or size pointer, a NULL
 * output area with a sufficient size, or a list of more than 65535 elements
 * (which the 16-bit count cannot carry; nothing is written, *size is left
 * alone).
 *
 * deserialize: stores a new list through out (the caller frees it whatever
 * the result). 0 on success; -1 for NULL pointers or no memory; -2 if the
 * data ends before the counted elements. Elements of unknown tag are skipped;
 * bytes after the last element are ignored. */
LEXMSG_API int lexmsg_arg_list_serialize(const lexmsg_arg_list* list, void* out, uint32_t* size);
LEXMSG_API int lexmsg_arg_list_deserialize(lexmsg_arg_list** out, const void* data, uint32_t length);

/* ---- Catalogs and messages ------------------------------------------------ */
/* A catalog holds numbered messages in a wide section (UTF-8 text, delivered
 * as UTF-16) and a narrow section (8-bit text, delivered unchanged). A handle
 * holds one section: W functions take wide handles, A functions narrow ones.
 * The _mf functions take an explicit handle; the others use one of two
 * process-wide slots (the wide slot for W, the narrow slot for A).
 *
 * Initialisers: 0 on success; -2 if the file cannot be opened (handle out
 * untouched); -1 (read, seek or decompression failure, no memory) or -3
 * (malformed catalog, or the section is absent) with a NULL handle stored.
 * lexmsg_init_rawA_mf returns -3 without touching the handle out for a NULL
 * image, a length below 36 or a wrong magic; the image may be released when
 * it returns. lexmsg_initembA_mf finds the catalog behind the marker "ZRR:"
 * followed by the module path's base name (what follows its last backslash)
 * in the host file, and reads the host file as a catalog if there is none.
 * The plain initialisers return -1 while their slot is loaded. */
LEXMSG_API int lexmsg_initW_mf(const char* path, lexmsg_handle** handle);
LEXMSG_API int lexmsg_wcsinitW_mf(const lexmsg_wchar* path, lexmsg_handle** handle);
LEXMSG_API int lexmsg_initA_mf(const char* path, lexmsg_handle** handle);
LEXMSG_API int lexmsg_wcsinitA_mf(const lexmsg_wchar* path, lexmsg_handle** handle);
LEXMSG_API int lexmsg_initembA_mf(const char* module_path,
                                  const char* host_path,
                                  lexmsg_handle** handle,
                                  uint32_t reserved);
LEXMSG_API int lexmsg_init_rawA_mf(const void* image, uint32_t length, lexmsg_handle** handle);
LEXMSG_API int lexmsg_initW(const char* path);
LEXMSG_API int lexmsg_wcsinitW(const lexmsg_wchar* path);
LEXMSG_API int lexmsg_initA(const char* path);
LEXMSG_API int lexmsg_wcsinitA(const lexmsg_wchar* path);
LEXMSG_API int lexmsg_initembA(const char* module_path, const char* host_path, uint32_t reserved);

/* Cleanup: 0, or -7 (nothing freed) for a NULL handle or one of the other
 * kind. The plain forms return -1 when their slot is empty. */
LEXMSG_API int lexmsg_cleanupW_mf(lexmsg_handle* handle);
LEXMSG_API int lexmsg_cleanupA_mf(lexmsg_handle* handle);
LEXMSG_API int lexmsg_cleanupW(void);
LEXMSG_API int lexmsg_cleanupA(void);

/* Releases a block that the library allocated (a message text); NULL is
 * accepted. */
LEXMSG_API void lexmsg_free(void* block);

/* Message id with the arguments of the list (NULL: none) inserted, delivered
 * zero-terminated into *buffer. size is in bytes, terminator included (two
 * bytes per UTF-16 unit for W): with size 0 the library allocates exactly the
 * needed size, stores it in *buffer (release it with lexmsg_free), and the
 * block is the caller's whatever the result; otherwise *buffer is the
 * caller's buffer of size bytes.
 * Results: 0; -6 when the argument count differs from the highest argument
 * number the message uses (the message is delivered all the same; missing
 * arguments insert nothing); a positive needed size when size is too small
 * (nothing written); -7 bad handle (plain forms: -1); -4 no such message; -3
 * malformed message; -5 an argument of unknown tag or no memory to render
 * it; -1 no memory, NULL buffer, empty slot, or literal text that does not
 * convert within its stated length.
 * The v and variadic forms take count (int tag, value) pairs as
 * lexmsg_arg_list_from_va reads them. */
LEXMSG_API int lexmsg_lgetMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args);
LEXMSG_API int lexmsg_lgetMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args);
LEXMSG_API int lexmsg_vgetMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, va_list pairs);
LEXMSG_API int lexmsg_vgetMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, char** buffer, uint32_t size, va_list pairs);
LEXMSG_API int lexmsg_getMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, ...);
LEXMSG_API int lexmsg_getMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, char** buffer, uint32_t size, ...);
LEXMSG_API int lexmsg_lgetMessageW(uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args);
LEXMSG_API int lexmsg_lgetMessageA(uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args);
LEXMSG_API int lexmsg_vgetMessageW(
    uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, va_list pairs);
LEXMSG_API int lexmsg_vgetMessageA(uint32_t id, unsigned int count, char** buffer, uint32_t size, va_list pairs);
LEXMSG_API int lexmsg_getMessageW(uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, ...);
LEXMSG_API int lexmsg_getMessageA(uint32_t id, unsigned int count, char** buffer, uint32_t size, ...);

#ifdef __cplusplus
}
#endif

#endif /* LEXMSG_H */
