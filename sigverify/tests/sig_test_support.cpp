// Test helpers: temporary files, PE images and signing with the development keys.
#include "sig_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "bignum.h"
#include "excluded_ranges.h"
#include "md5.h"
#include "pe_exclusions.h"
#include "sigverify/sig_file.h"
#include "signature_block_parser.h"
#include "signed_content.h"
#include "sig_format.h"
#include "test_private_keys.h"
#include "sigverify/verify_file.h"

using namespace sigverify;  // the code under test

namespace sigtest {

namespace {

std::filesystem::path unique_path() {
    static std::atomic<unsigned> counter{0};
    std::string name = "sigtest";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        name += std::string("_") + info->test_suite_name() + "_" + info->name();
    }
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':') c = '_';
    }
    name += "_" + std::to_string(counter++) + ".bin";
    return std::filesystem::current_path() / name;
}

}  // namespace

TempFile::TempFile(const bytes& content) : path_(unique_path()), wide_(path_.wstring()) { write_bytes(path_, content); }

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

bytes read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& path, const bytes& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void private_key_operation(char key_selector, const uint8_t message[256], uint8_t signature[256]) {
    const TestPrivateKey& key = key_selector == 'D' ? test_secondary_key : test_primary_key;
    BigNum* n = bignum_new();
    BigNum* d = bignum_new();
    BigNum* m = bignum_new();
    BigNum* s = bignum_new();
    if (n == nullptr || d == nullptr || m == nullptr || s == nullptr) throw std::bad_alloc();
    bignum_from_bytes(n, key.modulus, 256);
    bignum_from_bytes(d, key.private_exponent, 256);
    bignum_from_bytes(m, message, 256);
    if (bignum_mod_exp(s, m, d, n) != 0) throw std::runtime_error("private-key operation failed");
    bignum_to_bytes(s, signature, 256);
    bignum_free(&n);
    bignum_free(&d);
    bignum_free(&m);
    bignum_free(&s);
}

bytes append_block_for(const bytes& content,
                       const sigverify::sig_payload& payload,
                       const sigverify::BlockOptions& options) {
    uint8_t message[256];
    uint8_t signature[256];
    sigverify::build_signed_message(payload, message);
    private_key_operation(options.key_selector, message, signature);
    bytes block;
    if (!sigverify::build_signature_block(options, content.size(), signature, &block)) {
        throw std::invalid_argument("bad block options");
    }
    bytes out = content;
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

bytes sign(const bytes& content, const sigverify::BlockOptions& options) {
    TempFile file(content);
    sigverify::sig_payload payload{};
    const sigverify::SignCheck check = sigverify::compute_signing_payload(file.wide(), &payload);
    if (!check.ok) throw std::runtime_error("cannot sign: " + check.reason);
    return append_block_for(content, payload, options);
}

bool add_modulus(uint8_t number[256], const uint8_t modulus[256]) {
    unsigned carry = 0;
    for (size_t i = 256; i-- > 0;) {
        const unsigned sum = number[i] + modulus[i] + carry;
        number[i] = static_cast<uint8_t>(sum);
        carry = sum >> 8;
    }
    return carry == 0;
}

bytes sign_legacy(const bytes& content, char encoding) {
    const auto total = static_cast<uint32_t>(content.size() + (encoding == 'T' ? 513 : 257));
    uint8_t digest[16];
    md5_digest(content.data(), static_cast<uint32_t>(content.size()), digest);
    uint8_t message[256];
    uint8_t signature[256];
    sigverify::build_legacy_message(total, digest, message);
    private_key_operation('D', message, signature);
    bytes trailer;
    sigverify::build_legacy_trailer(encoding, signature, &trailer);
    bytes out = content;
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

bytes make_pe(uint32_t size, uint32_t e_lfanew, bool pe32) {
    bytes pe(size);
    uint32_t x = 0x12345678;
    for (auto& b : pe) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 24);
    }
    pe[0] = 'M';
    pe[1] = 'Z';
    store_le32(&pe, sigverify::kDosLfanewOffset, e_lfanew);
    std::memcpy(pe.data() + e_lfanew, "PE\0\0", 4);
    const uint16_t magic = pe32 ? 0x10B : 0x20B;
    pe[e_lfanew + 24] = static_cast<uint8_t>(magic);
    pe[e_lfanew + 25] = static_cast<uint8_t>(magic >> 8);
    set_cert_entry(&pe, 0, 0);
    return pe;
}

void set_cert_entry(bytes* pe, uint32_t address, uint32_t size) {
    const uint32_t e_lfanew = load_le32(*pe, sigverify::kDosLfanewOffset);
    const bool pe32 = (*pe)[e_lfanew + 24] == 0x0B && (*pe)[e_lfanew + 25] == 0x01;
    const uint32_t entry = e_lfanew + (pe32 ? sigverify::kPeCertDirectory32 : sigverify::kPeCertDirectory64);
    store_le32(pe, entry, address);
    store_le32(pe, entry + 4, size);
}

bytes make_script(size_t lines) {
    std::string text;
    for (size_t i = 0; i < lines; ++i) {
        text += "WScript.Echo \"line " + std::to_string(i) + "\"\r\n";
    }
    return bytes(text.begin(), text.end());
}

void resign(bytes* file, char key_selector) {
    TempFile f(*file);
    sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
    if (handle == nullptr) throw std::runtime_error("cannot open");
    const auto length = static_cast<uint32_t>(file->size());
    sigverify::excluded_range* ranges = nullptr;
    sigverify::PeCertTable cert{};
    bool oom = false;
    sigverify::sig_block_info info{};
    int code = 0;
    const bool ok = (length < 64 || sigverify::collect_pe_exclusions(handle, &ranges, &cert, &oom)) &&
                    sigverify::parse_signature_block(handle, length, &info, &code);
    if (!ok) {
        sigverify::release_ranges(&ranges);
        sigverify::sig_file_close(&handle);
        throw std::runtime_error("resign: no block, code " + std::to_string(code));
    }
    const uint32_t block_start = length - info.block_distance;
    const uint32_t first = block_start - info.lead_pad;
    sigverify::insert_block_range(&ranges, first, first + info.span - 1);
    sigverify::sig_payload payload{};
    sigverify::compute_content_digests(handle, ranges, &payload, &code);
    uint32_t value_offset = 0;
    for (uint32_t i = 0; i < info.record_count; ++i) {
        if (info.records[i].record_type == 3) {
            value_offset = info.records[i].value_offset;
            break;
        }
    }
    const char encoding = info.encoding;
    sigverify::release_block_info(&info);
    sigverify::release_ranges(&ranges);
    sigverify::sig_file_close(&handle);

    uint8_t message[256];
    uint8_t signature[256];
    sigverify::build_signed_message(payload, message);
    private_key_operation(key_selector, message, signature);
    uint8_t* value = file->data() + block_start + value_offset;
    if (encoding == 'T') {
        static const char digits[] = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i) {
            value[2 * i] = static_cast<uint8_t>(digits[signature[i] >> 4]);
            value[2 * i + 1] = static_cast<uint8_t>(digits[signature[i] & 0xF]);
        }
    } else {
        std::memcpy(value, signature, 256);
    }
}

Outcome verify_bytes(const bytes& file, uint32_t mode) {
    TempFile f(file);
    Outcome o{false, -1};
    o.accepted = sigverify::verify_file_signature(f.wide(), &o.code, mode);
    return o;
}

std::string describe(const Outcome& o) {
    return std::string(o.accepted ? "accepted " : "rejected ") + std::to_string(o.code);
}

void PrintTo(const Outcome& o, std::ostream* out) { *out << describe(o); }

void store_le32(bytes* file, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*file)[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t load_le32(const bytes& file, size_t offset) {
    return static_cast<uint32_t>(file[offset]) | static_cast<uint32_t>(file[offset + 1]) << 8 |
           static_cast<uint32_t>(file[offset + 2]) << 16 | static_cast<uint32_t>(file[offset + 3]) << 24;
}

}  // namespace sigtest
