// The smoke catalog, made by the compiler's writer, written as a file on its
// own and embedded in a host file as the compiler embeds it: the host's
// bytes, "ZRR:", the module's name, a zero byte, the catalog.
#include "smoke_catalogs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "catalog_fixture.h"

namespace {

bool write_file(const char* path, const lexmsg_test::Bytes& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

unsigned char* smoke_make_catalogs(const char* catalog_path,
                                   const char* host_path,
                                   const char* module_name,
                                   uint32_t* size) {
    try {
        const lexmsg_test::Bytes catalog = lexmsg_test::both_catalog({
            {SMOKE_GREETING, "Hola %1, tienes %2 mensajes (%3 bytes)."},
            {SMOKE_KEY, "%1=%2 (%3)"},
        });
        lexmsg_test::Bytes host(1000, 0x90);
        const std::string marker = std::string("ZRR:") + module_name;
        host.insert(host.end(), marker.begin(), marker.end());
        host.push_back(0);
        host.insert(host.end(), catalog.begin(), catalog.end());
        if (!write_file(catalog_path, catalog) || !write_file(host_path, host)) return nullptr;

        auto* copy = static_cast<unsigned char*>(std::malloc(catalog.size()));
        if (copy == nullptr) return nullptr;
        std::memcpy(copy, catalog.data(), catalog.size());
        *size = static_cast<uint32_t>(catalog.size());
        return copy;
    } catch (const std::exception&) {
        return nullptr;
    }
}
