// The command line's split, the dispatch, and the program's two catches.
#include "program.h"

#include <cstdint>
#include <new>

#include "exit_codes.h"
#include "modes.h"

namespace installer {
namespace {

// Frees the split's array on every path.
class ArgumentArray {
public:
    ArgumentArray(Platform& platform, wchar_t** arguments) : platform_(platform), arguments_(arguments) {}
    ~ArgumentArray() {
        if (arguments_ != nullptr) platform_.LocalFree(static_cast<void*>(arguments_));
    }
    ArgumentArray(const ArgumentArray&) = delete;
    ArgumentArray& operator=(const ArgumentArray&) = delete;

private:
    Platform& platform_;
    wchar_t** arguments_;
};

}  // namespace

int RunProgram(Platform& platform) {
    int count = 0;
    wchar_t** arguments = platform.CommandLineToArgvW(platform.GetCommandLineW(), &count);
    if (arguments == nullptr) count = 0;
    const ArgumentArray split(platform, arguments);
    try {
        return DispatchCommandLine(platform, count, arguments);
    } catch (const uint32_t&) {
        return kExitOtherInstance;
    } catch (const std::bad_alloc&) {
        return kExitNotVerified;
    }
}

}  // namespace installer
