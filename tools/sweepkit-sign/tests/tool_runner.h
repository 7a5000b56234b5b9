// Runs command lines for the tool's tests and collects what they print.
#ifndef SWEEPKIT_SIGN_TESTS_TOOL_RUNNER_H
#define SWEEPKIT_SIGN_TESTS_TOOL_RUNNER_H

#include <cstdint>
#include <string>
#include <vector>

namespace tooltest {

struct RunResult {
    int exit_code;       // -1 when the command did not end normally
    std::string output;  // standard output
};

// Runs the command line through the shell; standard error goes to the
// test's own standard error.
RunResult run(const std::string& command);

// The signing tool followed by its arguments, each quoted for the shell.
std::string tool(const std::vector<std::string>& args);
std::string quote(const std::string& arg);

std::vector<uint8_t> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<uint8_t>& content);
// A file name in the working folder unique to the running test.
std::string test_file(const std::string& suffix);

}  // namespace tooltest

#endif
