// A signature block beside a real Authenticode signature: a small PE32 and a
// PE32+ from the Windows cross compilers, signed by sweepkit-sign, then by
// osslsigncode with a throwaway certificate. Both verifications accept them,
// and both reject them after one byte of a section changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tool_runner.h"

namespace {

using tooltest::quote;
using tooltest::run;
using tooltest::tool;

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct ImageKind {
    const char* name;
    const char* compiler;
    uint16_t magic;
    uint32_t directory;  // from e_lfanew
};

TEST(Authenticode, CoexistsWithTheSignatureBlock) {
    ASSERT_EQ(run("command -v osslsigncode >/dev/null && command -v openssl >/dev/null").exit_code, 0)
        << "osslsigncode and openssl are needed (scripts/setup.sh installs them)";
    const std::string key = tooltest::test_file("key.pem");
    const std::string cert = tooltest::test_file("cert.pem");
    ASSERT_EQ(run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Sweepkit throwaway test signer'"
                  " -keyout " +
                  quote(key) + " -out " + quote(cert) + " 2>/dev/null")
                  .exit_code,
              0);
    const ImageKind kinds[] = {
        {"pe32", "i686-w64-mingw32-gcc", 0x10B, 152},
        {"pe32_plus", "x86_64-w64-mingw32-gcc", 0x20B, 168},
    };
    std::string missing;
    for (const ImageKind& k : kinds) {
        SCOPED_TRACE(k.name);
        if (run(std::string("command -v ") + k.compiler + " >/dev/null 2>&1").exit_code != 0) {
            missing += std::string(" ") + k.compiler;
            continue;
        }
        const std::string source = tooltest::test_file(std::string(k.name) + "-tiny.c");
        const std::string exe = tooltest::test_file(std::string(k.name) + "-tiny.exe");
        const std::string both = tooltest::test_file(std::string(k.name) + "-tiny-authenticode.exe");
        {
            const std::string text = "int main(void) { return 7; }\n";
            tooltest::write_bytes(source, std::vector<uint8_t>(text.begin(), text.end()));
        }
        ASSERT_EQ(run(std::string(k.compiler) + " -O2 -s -o " + quote(exe) + " " + quote(source)).exit_code, 0);
        ASSERT_EQ(run(tool({"sign", exe})).exit_code, 0);
        ASSERT_EQ(run("osslsigncode sign -certs " + quote(cert) + " -key " + quote(key) + " -in " + quote(exe) +
                      " -out " + quote(both) + " >/dev/null 2>&1")
                      .exit_code,
                  0);

        // The certificate table now follows the block.
        const std::vector<uint8_t> image = tooltest::read_bytes(both);
        const uint32_t e_lfanew = le32(image, 60);
        ASSERT_EQ(le16(image, e_lfanew + 24), k.magic);
        const uint32_t table = le32(image, e_lfanew + k.directory);
        EXPECT_EQ(table, tooltest::read_bytes(exe).size());
        EXPECT_GT(le32(image, e_lfanew + k.directory + 4), 0u);

        const auto ours = run(tool({"verify", both}));
        EXPECT_EQ(ours.output.rfind("accepted 3: ", 0), 0u) << ours.output;
        EXPECT_EQ(ours.exit_code, 0);
        const std::string peer_verify = "osslsigncode verify -CAfile " + quote(cert) + " -in ";
        EXPECT_EQ(run(peer_verify + quote(both) + " >/dev/null 2>&1").exit_code, 0);

        // One changed byte in the first section's raw data.
        const uint16_t optional_size = le16(image, e_lfanew + 20);
        const size_t section = e_lfanew + 24 + optional_size;
        const uint32_t raw = le32(image, section + 20);
        std::vector<uint8_t> changed = image;
        changed[raw + 16] ^= 0x01;
        const std::string tampered = tooltest::test_file(std::string(k.name) + "-tampered.exe");
        tooltest::write_bytes(tampered, changed);
        const auto ours_tampered = run(tool({"verify", tampered}));
        EXPECT_EQ(ours_tampered.output.rfind("rejected 9: ", 0), 0u) << ours_tampered.output;
        EXPECT_EQ(ours_tampered.exit_code, 1);
        EXPECT_NE(run(peer_verify + quote(tampered) + " >/dev/null 2>&1").exit_code, 0);
        for (const std::string& f : {source, exe, both, tampered}) std::remove(f.c_str());
    }
    for (const std::string& f : {key, cert}) std::remove(f.c_str());
    if (!missing.empty()) GTEST_SKIP() << "not installed (scripts/setup.sh installs them):" << missing;
}

}  // namespace
