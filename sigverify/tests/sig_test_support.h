// Helpers for the verification tests: files in the test's working folder,
// small PE images, and signing with the development keys through our own
// arithmetic (so the same tests run natively and under Wine).
#ifndef SIGVERIFY_TESTS_SIG_TEST_SUPPORT_H
#define SIGVERIFY_TESTS_SIG_TEST_SUPPORT_H

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "sigverify/sig_types.h"
#include "sigverify/signature_writer.h"

namespace sigtest {

using bytes = std::vector<uint8_t>;

// A file that is removed when the object goes.
class TempFile {
public:
    explicit TempFile(const bytes& content);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const wchar_t* wide() const { return wide_.c_str(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::wstring wide_;
};

bytes read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const bytes& content);

// s = m^d mod n with the development key named by 'P' or 'D'.
void private_key_operation(char key_selector, const uint8_t message[256], uint8_t signature[256]);

// The content with a signature block appended, as the signing tool makes it.
bytes sign(const bytes& content, const sigverify::BlockOptions& options = {});

// A block for a payload of the caller's choice, appended to content: what a
// forger who controls the unsigned fields would make of a signed message.
bytes append_block_for(const bytes& content,
                       const sigverify::sig_payload& payload,
                       const sigverify::BlockOptions& options);

// Signs the file's block afresh, as a forger holding the key would: the
// payload is what the verification computes from the ranges the file's
// unsigned fields place, taken as they are without any soundness check; the
// new signature replaces the value of the block's signature record.
void resign(bytes* file, char key_selector = 'P');

// number += modulus, both 256 bytes, most significant first: the same
// signature in its second form. False when the sum needs 257 bytes.
bool add_modulus(uint8_t number[256], const uint8_t modulus[256]);

// The content with a legacy trailer ('B' or 'T') appended.
bytes sign_legacy(const bytes& content, char encoding);

// A PE image of `size` bytes: "MZ", e_lfanew, "PE\0\0", the optional-header
// magic (0x10B for PE32, 0x20B otherwise) and deterministic filler.
bytes make_pe(uint32_t size, uint32_t e_lfanew = 0x80, bool pe32 = true);
// Writes the certificate-table directory entry of a PE image.
void set_cert_entry(bytes* pe, uint32_t address, uint32_t size);
// A small text file, as a script would be.
bytes make_script(size_t lines = 8);

struct Outcome {
    bool accepted;
    int code;
    bool operator==(const Outcome& other) const { return accepted == other.accepted && code == other.code; }
};
// Writes the bytes to a file and runs verify_file_signature on it.
Outcome verify_bytes(const bytes& file, uint32_t mode = 2);
std::string describe(const Outcome& o);
// Shows an outcome as "accepted 3" in test failures.
void PrintTo(const Outcome& o, std::ostream* out);

void store_le32(bytes* file, size_t offset, uint32_t value);
uint32_t load_le32(const bytes& file, size_t offset);

}  // namespace sigtest

#endif
