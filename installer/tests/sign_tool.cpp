// Signs the end-to-end tests' stand-ins with the development primary key:
// a binary block for a program, a hex-text block on a comment line for a
// script, so that the script still runs. Built for the Windows builds, and
// natively for runs where every Windows process is costly.
//   installer_sign_tool program|script IN OUT
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "sig_test_support.h"

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "program") != 0 && std::strcmp(argv[1], "script") != 0)) {
        std::fputs("usage: installer_sign_tool program|script IN OUT\n", stderr);
        return 2;
    }
    sigverify::BlockOptions options;
    if (std::strcmp(argv[1], "script") == 0) {
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
