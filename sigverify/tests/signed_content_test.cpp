// Reading the signed content around the ranges, and its digests.
#include "signed_content.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "md5.h"
#include "sha256.h"
#include "sig_test_support.h"

using namespace sigverify;  // the code under test

namespace {

using sigtest::bytes;
using sigverify::excluded_range;
using span_list = std::vector<std::pair<uint32_t, uint32_t>>;

bytes numbered(size_t n) {
    bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
    return b;
}

// The bytes of 0..limit-1 in no range, computed the plain way.
bytes expected_content(const bytes& file, uint32_t limit, const span_list& ranges) {
    bytes out;
    for (uint32_t i = 0; i < limit && i < file.size(); ++i) {
        bool excluded = false;
        for (const auto& r : ranges) excluded = excluded || (i >= r.first && i <= r.second);
        if (!excluded) out.push_back(file[i]);
    }
    return out;
}

TEST(SignedContent, ReadsAroundRanges) {
    const bytes file = numbered(100);
    // skipped: the bytes that the reading leaves out, as the plain way
    // computes them.
    struct ContentCase {
        const char* name;
        span_list ranges;
        uint32_t limit;
        span_list skipped;
    };
    const ContentCase cases[] = {
        {"no_ranges", {}, 100, {}},
        {"one_inside", {{10, 19}}, 100, {{10, 19}}},
        {"at_start", {{0, 4}}, 100, {{0, 4}}},
        {"at_end", {{90, 99}}, 100, {{90, 99}}},
        {"adjacent", {{10, 19}, {20, 29}}, 100, {{10, 29}}},
        {"limit_inside_range", {{10, 19}, {50, 70}}, 60, {{10, 19}, {50, 70}}},
        {"limit_before_ranges", {{50, 70}}, 40, {}},
        {"limit_at_range_end", {{10, 19}}, 20, {{10, 19}}},
        {"whole_file", {{0, 99}}, 100, {{0, 99}}},
        // Unsound lists never read backwards: an overlap only skips what it
        // adds, a range behind the position adds nothing, and one whose last
        // byte lies below its first skips nothing.
        {"overlapping", {{10, 30}, {20, 40}}, 100, {{10, 40}}},
        {"out_of_order", {{50, 60}, {10, 20}}, 100, {{50, 60}}},
        {"last_below_first", {{30, 20}}, 100, {}},
        {"past_end_of_file", {{95, 0xFFFFFFFF}}, 100, {{95, 99}}},
    };
    for (const ContentCase& c : cases) {
        sigtest::TempFile f(file);
        sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
        ASSERT_NE(handle, nullptr);
        excluded_range* list = nullptr;
        for (const auto& r : c.ranges) sigverify::append_range(&list, r.first, r.second);
        bytes buffer(100, 0xEE);
        uint32_t count = 0;
        int code = 0;
        const bool ok = sigverify::read_signed_content(handle, c.limit, list, buffer.data(), &count, &code);
        sigverify::release_ranges(&list);
        sigverify::sig_file_close(&handle);
        ASSERT_TRUE(ok) << c.name;
        const bytes expected = expected_content(file, c.limit, c.skipped);
        EXPECT_EQ(bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count)), expected) << c.name;
    }
}

TEST(SignedContent, ShortFileIsAReadFailure) {
    sigtest::TempFile f(numbered(10));
    sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
    ASSERT_NE(handle, nullptr);
    bytes buffer(20);
    uint32_t count = 0;
    int code = 0;
    EXPECT_FALSE(sigverify::read_signed_content(handle, 20, nullptr, buffer.data(), &count, &code));
    EXPECT_EQ(code, 13);
    sigverify::sig_file_close(&handle);
}

TEST(SignedContent, DigestsOfTheContent) {
    const bytes file = numbered(5000);
    sigtest::TempFile f(file);
    sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
    ASSERT_NE(handle, nullptr);
    excluded_range* list = nullptr;
    sigverify::append_range(&list, 100, 103);
    sigverify::append_range(&list, 4000, 4999);
    sigverify::sig_payload payload{};
    int code = 0;
    ASSERT_TRUE(sigverify::compute_content_digests(handle, list, &payload, &code));
    sigverify::release_ranges(&list);
    sigverify::sig_file_close(&handle);

    const bytes content = expected_content(file, 5000, {{100, 103}, {4000, 4999}});
    uint8_t md5[16];
    uint8_t sha[32];
    md5_digest(content.data(), static_cast<uint32_t>(content.size()), md5);
    sha256_digest(content.data(), static_cast<uint32_t>(content.size()), sha);
    EXPECT_EQ(payload.signed_length_low, 3996u);
    EXPECT_EQ(payload.signed_length_high, 0u);
    EXPECT_EQ(bytes(md5, md5 + 16), bytes(payload.content_md5, payload.content_md5 + 16));
    EXPECT_EQ(bytes(sha, sha + 32), bytes(payload.content_sha256, payload.content_sha256 + 32));

    int missing = 0;
    EXPECT_FALSE(sigverify::compute_content_digests(nullptr, nullptr, &payload, &missing));
    EXPECT_EQ(missing, 4);
}

}  // namespace
