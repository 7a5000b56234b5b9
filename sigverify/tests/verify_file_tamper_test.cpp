// Tampering with signed files: every changed byte of the signed content, an
// appended or removed byte is rejected; the unsigned areas may change; and
// each layout that would hide a change behind the unsigned fields gives 8.
#include "sigverify/verify_file.h"

#include <gtest/gtest.h>

#include "block_fixture.h"

using namespace sigverify;  // the code under test

namespace {

using sigtest::BlockFixture;
using sigtest::bytes;
using sigtest::Outcome;
using sigverify::BlockOptions;

constexpr uint32_t kPeSize = 0x400;
constexpr uint32_t kLfanew = 0x80;
constexpr uint32_t kCertSize = 64;

// A signed PE32 image with a certificate table after its block.
struct SignedPe {
    bytes file;
    size_t block_first = 0;  // the block's range, padding included
    size_t block_last = 0;
    size_t cert_first = 0;
};

SignedPe make_signed_pe(char encoding) {
    BlockOptions o;
    o.encoding = encoding;
    o.lead_pad = 8;
    SignedPe pe;
    pe.file = sigtest::sign(sigtest::make_pe(kPeSize, kLfanew), o);
    pe.block_first = kPeSize;
    pe.block_last = pe.file.size() - 1;
    pe.cert_first = pe.file.size();
    sigtest::set_cert_entry(&pe.file, static_cast<uint32_t>(pe.cert_first), kCertSize);
    pe.file.resize(pe.file.size() + kCertSize, 0x77);
    return pe;
}

bool in(size_t at, size_t first, size_t last) { return at >= first && at <= last; }

TEST(VerifyFileTamper, EveryByteOfASignedPe) {
    for (char encoding : {'B', 'T'}) {
        const SignedPe pe = make_signed_pe(encoding);
        ASSERT_EQ(sigtest::verify_bytes(pe.file), (Outcome{true, 3}));
        const size_t checksum = kLfanew + 88;
        const size_t directory = kLfanew + 152;
        const size_t block_start = pe.block_first + 8;
        const size_t end_marker_end = block_start + BlockFixture{pe.file, block_start, encoding}.end_offset() + 16;
        for (size_t at = 0; at < pe.file.size(); ++at) {
            bytes changed = pe.file;
            changed[at] ^= 0x01;
            const Outcome o = sigtest::verify_bytes(changed);
            if (in(at, checksum, checksum + 3) || in(at, pe.cert_first, pe.file.size() - 1) ||
                in(at, pe.block_first, block_start - 1) || in(at, end_marker_end, pe.block_last)) {
                EXPECT_TRUE(o.accepted) << encoding << " unsigned byte " << at << ": " << sigtest::describe(o);
            } else if (!in(at, directory, directory + 7) && !in(at, block_start, end_marker_end - 1)) {
                EXPECT_FALSE(o.accepted) << encoding << " signed byte " << at;
            }
        }
        bytes appended = pe.file;
        appended.push_back(0);
        EXPECT_EQ(sigtest::verify_bytes(appended), (Outcome{false, 9})) << encoding;
        for (size_t at : {size_t{0}, size_t{kLfanew + 40}, size_t{0x200}, pe.file.size() - 1}) {
            bytes removed = pe.file;
            removed.erase(removed.begin() + static_cast<std::ptrdiff_t>(at));
            EXPECT_FALSE(sigtest::verify_bytes(removed).accepted) << encoding << " removed byte " << at;
        }
    }
}

TEST(VerifyFileTamper, EveryByteOfASignedScript) {
    BlockOptions o;
    o.encoding = 'T';
    o.lead_pad = 2;
    o.lead_text = "' ";
    o.tail_pad = 2;
    const bytes content = sigtest::make_script(6);
    bytes file = sigtest::sign(content, o);
    file[file.size() - 2] = '\r';  // the line ends in the tail padding
    file[file.size() - 1] = '\n';
    ASSERT_EQ(sigtest::verify_bytes(file), (Outcome{true, 3}));
    const size_t block_start = content.size() + 2;
    for (size_t at = 0; at < file.size(); ++at) {
        if (in(at, block_start, file.size() - 3)) continue;  // the block itself
        bytes changed = file;
        changed[at] = changed[at] == 'x' ? 'y' : 'x';
        const Outcome result = sigtest::verify_bytes(changed);
        if (at < content.size()) {
            EXPECT_EQ(result, (Outcome{false, 9})) << "signed byte " << at;
            continue;
        }
        // A script's padding may change, but only to bytes a script host
        // cannot run: a letter there is refused.
        EXPECT_EQ(result, (Outcome{false, 8})) << "letter in padding byte " << at;
        changed[at] = '-';
        EXPECT_EQ(sigtest::verify_bytes(changed), (Outcome{true, 3})) << "padding byte " << at;
    }
    for (const bytes& extra : {bytes{'x'}, bytes{'\r', '\n'}}) {
        bytes appended = file;
        appended.insert(appended.end(), extra.begin(), extra.end());
        EXPECT_EQ(sigtest::verify_bytes(appended), (Outcome{false, 9}));
    }
    for (size_t at : {size_t{0}, size_t{37}, content.size() - 1}) {
        bytes removed = file;
        removed.erase(removed.begin() + static_cast<std::ptrdiff_t>(at));
        EXPECT_EQ(sigtest::verify_bytes(removed), (Outcome{false, 9})) << "removed byte " << at;
    }
    bytes removed_tail = file;
    removed_tail.pop_back();
    EXPECT_EQ(sigtest::verify_bytes(removed_tail), (Outcome{false, 8}));  // padding past the end
}

// Layouts that only the unsigned fields produce. Each one keeps the signed
// content's digests intact or is signed afresh for what the flow computes, so
// nothing but the layout check stands between it and acceptance.
TEST(VerifyFileTamper, SpanEnlargedOverAppendedCode) {
    for (char encoding : {'B', 'T'}) {
        BlockOptions o;
        o.encoding = encoding;
        o.tail_pad = 0;
        BlockFixture f = BlockFixture::signed_block(sigtest::make_script(), o);
        const bytes code = {'\r', '\n', 'E', 'v', 'i', 'l', '\r', '\n'};
        f.file.insert(f.file.end(), code.begin(), code.end());
        f.set_span(f.span() + static_cast<uint32_t>(code.size()));
        EXPECT_EQ(sigtest::verify_bytes(f.file), (Outcome{false, 8})) << encoding;
        // With the trailer's tail padding enlarged to match, it is padding,
        // which in a script may hold no letter.
        f.set_tail_pad(static_cast<uint32_t>(code.size()));
        EXPECT_EQ(sigtest::verify_bytes(f.file), (Outcome{false, 8})) << encoding;
        // Padding that no script host runs stays allowed (up to 32 bytes).
        std::fill(f.file.end() - 6, f.file.end() - 2, static_cast<uint8_t>('\''));
        EXPECT_EQ(sigtest::verify_bytes(f.file), (Outcome{true, 3})) << encoding;
    }
}

TEST(VerifyFileTamper, BlockRangeOutsideTheFile) {
    for (char encoding : {'B', 'T'}) {
        BlockOptions o;
        o.encoding = encoding;
        o.tail_pad = 0;
        // Tail padding claimed past the end of the file.
        BlockFixture tail = BlockFixture::signed_block(sigtest::make_script(), o);
        tail.set_tail_pad(4);
        tail.set_span(tail.span() + 4);
        EXPECT_EQ(sigtest::verify_bytes(tail.file), (Outcome{false, 8})) << encoding;
        // Lead padding claimed in front of the start of the file.
        BlockFixture lead = BlockFixture::signed_block(bytes{'a', 'b'}, o);
        lead.set_lead_pad(10);
        lead.set_span(lead.span() + 10);
        EXPECT_EQ(sigtest::verify_bytes(lead.file), (Outcome{false, 8})) << encoding;
    }
}

TEST(VerifyFileTamper, CertificateTableInFrontOfTheBlock) {
    for (char encoding : {'B', 'T'}) {
        BlockOptions o;
        o.encoding = encoding;
        const bytes signed_file = sigtest::sign(sigtest::make_pe(kPeSize, kLfanew), o);
        // Replacement code inserted at a section's raw offset, hidden as the
        // certificate table: the signed content is unchanged.
        bytes forged = signed_file;
        const bytes code(0x40, 0xCC);
        forged.insert(forged.begin() + 0x200, code.begin(), code.end());
        sigtest::set_cert_entry(&forged, 0x200, 0x40);
        EXPECT_EQ(sigtest::verify_bytes(forged), (Outcome{false, 8})) << encoding;

        struct Entry {
            const char* name;
            uint32_t address;
            uint32_t size;
            size_t appended;
            Outcome expected;
        };
        const auto end = static_cast<uint32_t>(signed_file.size());
        const Entry entries[] = {
            {"right_after_block", end, 16, 16, {true, 3}},
            {"overlapping_block", end - 1, 17, 16, {false, 8}},
            {"past_end_of_file", end, 17, 16, {false, 8}},
            {"size_zero", end, 0, 16, {false, 8}},
            {"wrapping_size", end, 0xFFFFFFF0, 16, {false, 8}},
        };
        for (const Entry& e : entries) {
            bytes file = signed_file;
            sigtest::set_cert_entry(&file, e.address, e.size);
            file.resize(file.size() + e.appended, 0x11);
            const Outcome result = sigtest::verify_bytes(file);
            // Bytes after a zero-size table are signed content: 8 comes first.
            EXPECT_EQ(result, e.expected) << encoding << " " << e.name << ": " << sigtest::describe(result);
        }
    }
}

TEST(VerifyFileTamper, OverlappingOrUnorderedRanges) {
    for (char encoding : {'B', 'T'}) {
        // The directory entry ends 4 bytes before the block; lead padding of
        // 10 bytes would reach into it.
        const uint32_t size = 0x300;
        const uint32_t lfanew = size - 4 - 160;
        BlockOptions o;
        o.encoding = encoding;
        BlockFixture overlap = BlockFixture::signed_block(sigtest::make_pe(size, lfanew), o);
        ASSERT_EQ(sigtest::verify_bytes(overlap.file), (Outcome{true, 3}));
        overlap.file.erase(overlap.file.begin() + size - 6, overlap.file.begin() + size);
        overlap.file.insert(overlap.file.begin() + size - 6, 6, 0);  // same bytes count, new lead padding
        overlap.set_lead_pad(10);
        overlap.set_span(overlap.span() + 10);
        sigtest::resign(&overlap.file);
        EXPECT_EQ(sigtest::verify_bytes(overlap.file), (Outcome{false, 8})) << encoding;

        // PE headers after the block: the block's range would follow the
        // first range in the list, out of order.
        BlockFixture unordered = BlockFixture::signed_block(sigtest::make_pe(0x400), o);
        const auto header = static_cast<uint32_t>(unordered.file.size());
        unordered.file.resize(unordered.file.size() + 0x100, 0x22);
        sigtest::store_le32(&unordered.file, 60, header);
        unordered.file[header + 24] = 0x0B;
        unordered.file[header + 25] = 0x01;
        sigtest::set_cert_entry(&unordered.file, 0, 0);
        sigtest::resign(&unordered.file);
        EXPECT_EQ(sigtest::verify_bytes(unordered.file), (Outcome{false, 8})) << encoding;
    }
}

TEST(VerifyFileTamper, LineBreakInsideAHexTextBlock) {
    BlockOptions o;
    o.encoding = 'T';
    BlockFixture f = BlockFixture::signed_block(sigtest::make_script(), o);
    ASSERT_EQ(sigtest::verify_bytes(f.file), (Outcome{true, 3}));
    // A reserved character: the parser does not read it, the line break
    // alone rejects the block there.
    const uint8_t reserved = f.file[f.block_start + 40];
    f.file[f.block_start + 40] = '\n';
    EXPECT_EQ(sigtest::verify_bytes(f.file), (Outcome{false, 8}));
    f.file[f.block_start + 40] = reserved;
    EXPECT_EQ(sigtest::verify_bytes(f.file), (Outcome{true, 3}));
}

}  // namespace
