// Runs the library's own embedded-catalog search over bytes in memory.
#include "embedded_search.h"

#include <cstring>

#include "catalog_loader.h"
#include "file_door.h"

namespace lexmsg_compile {
namespace {

// The host's bytes as a file for the search.
class HostBytes final : public lexmsg::CatalogFile {
public:
    explicit HostBytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool seek(uint64_t offset) override {
        position_ = offset;
        return true;
    }
    bool size(uint64_t* bytes) override {
        *bytes = bytes_.size();
        return true;
    }
    bool read(void* buffer, size_t wanted, size_t* got) override {
        const uint64_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        *got = left < wanted ? static_cast<size_t>(left) : wanted;
        if (*got > 0) std::memcpy(buffer, bytes_.data() + position_, *got);
        position_ += *got;
        return true;
    }

private:
    const std::vector<uint8_t>& bytes_;
    uint64_t position_ = 0;
};

}  // namespace

uint64_t embedded_catalog_offset(const std::vector<uint8_t>& host, const std::string& name) {
    HostBytes file(host);
    return lexmsg::find_embedded_catalog(&file, name.c_str());
}

}  // namespace lexmsg_compile
