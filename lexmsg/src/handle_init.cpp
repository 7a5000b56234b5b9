// Creates and destroys explicit handles over catalogs from files (8-bit and
// wide paths), embedded in a host file, or in memory; also lexmsg_free.
#include "handle_init.h"

#include <cstring>

#include "catalog_loader.h"
#include "handle.h"
#include "lexmsg.h"
#include "memory.h"

namespace lexmsg {
namespace {

// Wraps a loaded section in a new handle, or frees it: 0 or -1.
int make_handle(const LoadedSection& loaded, Section which, lexmsg_handle** out) {
    auto* handle = static_cast<lexmsg_handle*>(mem_alloc(sizeof(lexmsg_handle)));
    if (handle == nullptr) {
        mem_free(loaded.data);
        return LEXMSG_E_FAIL;
    }
    handle->kind = static_cast<uint32_t>(which);
    handle->section = loaded.data;
    handle->section_size = loaded.size;
    handle->highest_id = loaded.highest_id;
    *out = handle;
    return LEXMSG_OK;
}

// Wide delivery converts UTF-8 at lookup time, so preparing the "WCHAR_T"
// target needs no work here.
int prepare_encoding(const char* /*target*/) { return LEXMSG_OK; }

// Loads the section at base from an open file, closes it, and stores the
// handle or null.
int init_from_open_file(CatalogFile* file, uint64_t base, Section which, lexmsg_handle** out) {
    LoadedSection loaded{};
    lexmsg_handle* handle = nullptr;
    int rc = load_section_from_file(file, base, which, &loaded);
    if (rc == LEXMSG_OK) rc = make_handle(loaded, which, &handle);
    if (rc == LEXMSG_OK && which == Section::wide) rc = prepare_encoding("WCHAR_T");
    delete file;
    *out = handle;
    return rc;
}

int init_from_path(CatalogFile* file, Section which, lexmsg_handle** out) {
    if (file == nullptr) return LEXMSG_E_OPEN;
    return init_from_open_file(file, 0, which, out);
}

// The base name of a module path: what follows the last backslash.
const char* module_name(const char* module_path) {
    const char* slash = std::strrchr(module_path, '\\');
    return slash == nullptr ? module_path : slash + 1;
}

int cleanup(lexmsg_handle* handle, Section which) {
    if (handle == nullptr || handle->kind != static_cast<uint32_t>(which) || handle->section == nullptr) {
        return LEXMSG_E_HANDLE;
    }
    mem_free(handle->section);
    mem_free(handle);
    return LEXMSG_OK;
}

}  // namespace

int init_file(FileDoor& door, const char* path, Section which, lexmsg_handle** handle) {
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return init_from_path(path == nullptr ? nullptr : door.open(path), which, handle);
}

int init_file_wide(FileDoor& door, const lexmsg_wchar* path, Section which, lexmsg_handle** handle) {
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return init_from_path(path == nullptr ? nullptr : door.open_wide(path), which, handle);
}

int init_embedded(FileDoor& door, const char* module_path, const char* host_path, lexmsg_handle** handle) {
    if (handle == nullptr) return LEXMSG_E_FAIL;
    if (module_path == nullptr || host_path == nullptr) return LEXMSG_E_OPEN;
    const char* name = module_name(module_path);
    CatalogFile* file = door.open(host_path);
    if (file == nullptr) return LEXMSG_E_OPEN;
    const uint64_t base = find_embedded_catalog(file, name);
    return init_from_open_file(file, base, Section::narrow, handle);
}

}  // namespace lexmsg

using lexmsg::Section;
using lexmsg::platform_file_door;

extern "C" {

int lexmsg_initW_mf(const char* path, lexmsg_handle** handle) {
    return lexmsg::init_file(platform_file_door(), path, Section::wide, handle);
}

int lexmsg_wcsinitW_mf(const lexmsg_wchar* path, lexmsg_handle** handle) {
    return lexmsg::init_file_wide(platform_file_door(), path, Section::wide, handle);
}

int lexmsg_initA_mf(const char* path, lexmsg_handle** handle) {
    return lexmsg::init_file(platform_file_door(), path, Section::narrow, handle);
}

int lexmsg_wcsinitA_mf(const lexmsg_wchar* path, lexmsg_handle** handle) {
    return lexmsg::init_file_wide(platform_file_door(), path, Section::narrow, handle);
}

int lexmsg_initembA_mf(const char* module_path, const char* host_path, lexmsg_handle** handle, uint32_t /*reserved*/) {
    return lexmsg::init_embedded(platform_file_door(), module_path, host_path, handle);
}

int lexmsg_init_rawA_mf(const void* image, uint32_t length, lexmsg_handle** handle) {
    const auto* bytes = static_cast<const unsigned char*>(image);
    if (bytes == nullptr || length < lexmsg::kHeaderSize ||
        lexmsg::decode_header(bytes).magic != lexmsg::kCatalogMagic) {
        return LEXMSG_E_MALFORMED;
    }
    if (handle == nullptr) return LEXMSG_E_FAIL;
    lexmsg::LoadedSection loaded{};
    lexmsg_handle* created = nullptr;
    int rc = lexmsg::load_section_from_memory(bytes, length, Section::narrow, &loaded);
    if (rc == LEXMSG_OK) rc = lexmsg::make_handle(loaded, Section::narrow, &created);
    *handle = created;
    return rc;
}

int lexmsg_cleanupW_mf(lexmsg_handle* handle) { return lexmsg::cleanup(handle, Section::wide); }

int lexmsg_cleanupA_mf(lexmsg_handle* handle) { return lexmsg::cleanup(handle, Section::narrow); }

void lexmsg_free(void* block) { lexmsg::mem_free(block); }

}  // extern "C"
