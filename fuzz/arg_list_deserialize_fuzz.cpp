// Arbitrary bytes as a serialized argument list: whatever is read must
// serialize again, and reading those bytes must give the same bytes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lexmsg.h"

namespace {

std::vector<uint8_t> serialize(const lexmsg_arg_list* list) {
    uint32_t size = 0;
    if (lexmsg_arg_list_serialize(list, nullptr, &size) != LEXMSG_E_OPEN) std::abort();
    std::vector<uint8_t> out(size);
    if (lexmsg_arg_list_serialize(list, out.data(), &size) != LEXMSG_OK || size != out.size()) std::abort();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    lexmsg_arg_list* list = nullptr;
    const int rc = lexmsg_arg_list_deserialize(
        &list, data == nullptr ? reinterpret_cast<const uint8_t*>("") : data, static_cast<uint32_t>(size));
    if (rc != LEXMSG_OK && rc != LEXMSG_E_OPEN) std::abort();
    if (list != nullptr) {
        const std::vector<uint8_t> first = serialize(list);
        lexmsg_arg_list* again = nullptr;
        if (lexmsg_arg_list_deserialize(&again, first.data(), static_cast<uint32_t>(first.size())) != LEXMSG_OK) {
            std::abort();
        }
        if (lexmsg_arg_list_length(again) != lexmsg_arg_list_length(list)) std::abort();
        if (serialize(again) != first) std::abort();
        lexmsg_arg_list_free(again);
    }
    lexmsg_arg_list_free(list);
    return 0;
}
