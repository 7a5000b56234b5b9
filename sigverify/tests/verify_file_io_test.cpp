// Every open, seek and read of a verification made to fail in turn, through
// a door that fails one step: each gives the code for the step that failed,
// and the file and every allocation are released.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "fault_file_door.h"
#include "heap_watch.h"
#include "sig_test_support.h"
#include "sigverify/verify_file.h"

namespace {

using sigtest::IoStep;

std::string trace(const std::vector<IoStep>& steps) {
    std::string text;
    for (IoStep step : steps) text += std::string(sigtest::step_name(step)) + " ";
    return text;
}

struct StepCase {
    IoStep step;
    sigtest::Outcome when_failed;  // what verify_file_signature gives when this step fails
    const char* what;
};

// The steps of verifying a signed PE image, in order, for both encodings.
const StepCase kBlockSteps[] = {
    {IoStep::open, {false, 2}, "open the file"},
    {IoStep::seek, {false, 5}, "seek to the DOS header"},
    {IoStep::read, {false, 5}, "read the DOS header"},
    {IoStep::seek, {false, 5}, "seek to the optional-header magic"},
    {IoStep::read, {false, 5}, "read the optional-header magic"},
    {IoStep::seek, {false, 5}, "seek to the certificate-table entry"},
    {IoStep::read, {false, 5}, "read the certificate-table entry"},
    {IoStep::seek, {false, 13}, "seek to the search window"},
    {IoStep::read, {false, 13}, "read the search window"},
    {IoStep::seek, {false, 13}, "seek to the block"},
    {IoStep::read, {false, 13}, "read the block"},
    {IoStep::seek, {false, 3}, "seek to the signature value"},
    {IoStep::read, {false, 13}, "read the signature value"},
    {IoStep::seek, {false, 4}, "seek to the start of the content"},
    {IoStep::read, {false, 13}, "read the content before the checksum"},
    {IoStep::seek, {false, 13}, "seek past the checksum"},
    {IoStep::read, {false, 13}, "read the content before the directory entry"},
    {IoStep::seek, {false, 13}, "seek past the directory entry"},
    {IoStep::read, {false, 13}, "read the content before the block"},
    {IoStep::seek, {false, 13}, "seek to the block for its checks"},
    {IoStep::read, {false, 13}, "read the block for its checks"},
};

// The steps of a file with a legacy trailer and no block, mode 2: the block
// verification finds no block (7) and the legacy check runs. A failure in
// the block verification gives another code there, but the legacy trailer
// still verifies; a failure in the legacy check leaves the block
// verification's 7.
const StepCase kLegacySteps[] = {
    {IoStep::open, {true, 2}, "open the file"},
    {IoStep::seek, {true, 2}, "seek to the DOS header"},
    {IoStep::read, {true, 2}, "read the DOS header"},
    {IoStep::seek, {true, 2}, "seek to the optional-header magic"},
    {IoStep::read, {true, 2}, "read the optional-header magic"},
    {IoStep::seek, {true, 2}, "seek to the certificate-table entry"},
    {IoStep::read, {true, 2}, "read the certificate-table entry"},
    {IoStep::seek, {true, 2}, "seek to the search window"},
    {IoStep::read, {true, 2}, "read the search window"},
    {IoStep::open, {false, 7}, "open the file for the legacy check"},
    {IoStep::seek, {false, 7}, "seek to the encoding character"},
    {IoStep::read, {false, 7}, "read the encoding character"},
    {IoStep::seek, {false, 7}, "seek to the trailer"},
    {IoStep::read, {false, 7}, "read the trailer"},
    {IoStep::seek, {false, 7}, "seek to the start of the content"},
    {IoStep::read, {false, 7}, "read the content"},
};

// Fails each step in turn and checks its code; the run without a failure
// takes exactly the steps of the table and gives `success`.
void expect_each_step_gives_its_code(const sigtest::bytes& content,
                                     const StepCase* table,
                                     size_t count,
                                     sigtest::Outcome success) {
    sigtest::TempFile f(content);
    sigtest::FaultFileDoor door;
    for (long failing = -1; failing < static_cast<long>(count); ++failing) {
        const std::string what = failing < 0 ? "no failure" : table[failing].what;
        SCOPED_TRACE(what);
        HeapWatch heap;
        door.fail_at(failing);
        int code = 0;
        const bool accepted = sigverify::verify_file_signature(door, f.wide(), &code, 2);
        const sigtest::Outcome expected = failing < 0 ? success : table[failing].when_failed;
        EXPECT_EQ((sigtest::Outcome{accepted, code}), expected);
        EXPECT_EQ(door.open_files(), 0);
        EXPECT_EQ(heap.live_blocks(), 0u);
        EXPECT_EQ(heap.unwiped_releases(), 0);
        if (failing < 0) {
            // The table names the steps of a verification that succeeds.
            ASSERT_EQ(door.steps().size(), count) << trace(door.steps());
            for (size_t i = 0; i < count; ++i) EXPECT_EQ(door.steps()[i], table[i].step) << table[i].what;
        }
    }
}

TEST(VerifyFileIo, EachStepOfABlockVerificationFailsWithItsCode) {
    for (char encoding : {'B', 'T'}) {
        SCOPED_TRACE(encoding);
        sigverify::BlockOptions options;
        options.encoding = encoding;
        expect_each_step_gives_its_code(sigtest::sign(sigtest::make_pe(0x600), options),
                                        kBlockSteps,
                                        sizeof kBlockSteps / sizeof kBlockSteps[0],
                                        {true, 3});
    }
}

TEST(VerifyFileIo, EachStepOfALegacyCheckLeavesTheBlockCode) {
    for (char encoding : {'B', 'T'}) {
        SCOPED_TRACE(encoding);
        expect_each_step_gives_its_code(sigtest::sign_legacy(sigtest::make_pe(0x600), encoding),
                                        kLegacySteps,
                                        sizeof kLegacySteps / sizeof kLegacySteps[0],
                                        {true, 2});
    }
}

}  // namespace
