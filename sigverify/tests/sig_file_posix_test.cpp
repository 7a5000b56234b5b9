// The POSIX file interface: wide paths reach the file system as UTF-8, and
// verifications give back every descriptor they open.
#include "sigverify/sig_file.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "sig_test_support.h"
#include "sigverify/verify_file.h"

namespace {

using sigtest::bytes;

size_t open_descriptors() {
    size_t count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return 0;
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
    return count;
}

TEST(SigFilePosix, WidePathBecomesUtf8) {
    const std::filesystem::path path = std::filesystem::current_path() / u8"sig_file_\u00e9\u4e2d\U0001F600.bin";
    sigtest::write_bytes(path, bytes{1, 2, 3});
    const std::wstring wide =
        std::wstring(std::filesystem::current_path().wstring()) + L"/sig_file_\u00e9\u4e2d\U0001F600.bin";
    EXPECT_TRUE(sigverify::platform_file_door().exists(wide.c_str()));
    sigverify::SigFile* file = sigverify::platform_file_door().open(wide.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(sigverify::sig_file_length(file), 3);
    uint8_t buffer[8] = {};
    EXPECT_TRUE(sigverify::sig_file_seek(file, -2, true));
    EXPECT_EQ(sigverify::sig_file_read(file, buffer, 8), 2);
    EXPECT_EQ(buffer[0], 2);
    EXPECT_FALSE(sigverify::sig_file_seek(file, -4, true));
    sigverify::sig_file_close(&file);
    EXPECT_EQ(file, nullptr);
    std::filesystem::remove(path);
    const wchar_t lone_surrogate[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_FALSE(sigverify::platform_file_door().exists(lone_surrogate));
    EXPECT_EQ(sigverify::platform_file_door().open(lone_surrogate), nullptr);
}

TEST(SigFilePosix, VerificationsReleaseTheirDescriptors) {
    const bytes good = sigtest::sign(sigtest::make_pe(0x300));
    bytes changed = good;
    changed[0x100] ^= 1;
    bytes no_block = sigtest::make_pe(0x300);
    bytes legacy = sigtest::sign_legacy(sigtest::make_script(), 'B');
    sigtest::TempFile files[] = {sigtest::TempFile(good),
                                 sigtest::TempFile(changed),
                                 sigtest::TempFile(no_block),
                                 sigtest::TempFile(legacy),
                                 sigtest::TempFile(bytes{}),
                                 sigtest::TempFile(bytes(10, 'x'))};
    const size_t before = open_descriptors();
    ASSERT_GT(before, 0u);
    size_t accepted = 0;
    for (int i = 0; i < 1000; ++i) {
        const sigtest::TempFile& f = files[static_cast<size_t>(i) % std::size(files)];
        int code = 0;
        if (sigverify::verify_file_signature(f.wide(), &code, 2)) ++accepted;
    }
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_EQ(accepted, 334u);  // the good file and the legacy file, 167 times each
}

}  // namespace
