// Replays a fuzz corpus without libFuzzer: every file named on the command
// line, or found in a directory named there, is fed to the target once.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy with no slack, so a sanitizer sees any read past the end.
    std::vector<uint8_t> exact(bytes);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) {
                    ok = replay_file(entry.path()) && ok;
                    ++count;
                }
            }
        } else {
            ok = replay_file(arg) && ok;
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    if (count == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    return ok ? 0 : 1;
}
