// Signs the end-to-end tests' stand-ins with the development primary key:
// a binary block for a program, a hex-text block on a comment line for a
// script, so that the script still runs.
//   installer_sign_tool program|script IN OUT
#include <cstdio>
#include <cwchar>
#include <filesystem>

#include "sig_test_support.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 || (std::wcscmp(argv[1], L"program") != 0 && std::wcscmp(argv[1], L"script") != 0)) {
        std::fputs("usage: installer_sign_tool program|script IN OUT\n", stderr);
        return 2;
    }
    sigverify::block_options options;
    if (std::wcscmp(argv[1], L"script") == 0) {
        options.encoding = 'T';
        options.lead_pad = 2;
        options.lead_text = "' ";  // the block is a comment of the script
    }
    const sigtest::bytes content = sigtest::read_bytes(std::filesystem::path(argv[2]));
    if (content.empty()) {
        std::fputs("cannot read the input\n", stderr);
        return 1;
    }
    sigtest::write_bytes(std::filesystem::path(argv[3]), sigtest::sign(content, options));
    return 0;
}
