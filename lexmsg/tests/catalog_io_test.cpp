// Every open, seek and read of a catalog load made to fail in turn, through
// a door that fails one step: each gives the library's code for that step,
// no handle is made, and no file is left open.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "catalog_fixture.h"
#include "file_door.h"
#include "handle_init.h"
#include "lexmsg.h"

namespace {

using lexmsg::Section;
using lexmsg_test::Bytes;

enum class Step { open, seek, size, read };

const char* step_name(Step step) {
    switch (step) {
        case Step::open:
            return "open";
        case Step::seek:
            return "seek";
        case Step::size:
            return "size";
        case Step::read:
            break;
    }
    return "read";
}

// Opens files through the platform's door, numbers every step and fails the
// chosen one; counts the files left open.
class FaultDoor final : public lexmsg::FileDoor {
public:
    void fail_at(long step) {
        fail_at_ = step;
        steps_.clear();
    }
    const std::vector<Step>& steps() const { return steps_; }
    long open_files() const { return open_files_; }

    lexmsg::CatalogFile* open(const char* path) override {
        if (take(Step::open)) return nullptr;
        lexmsg::CatalogFile* inner = lexmsg::platform_file_door().open(path);
        return inner == nullptr ? nullptr : new CountedFile(this, inner);
    }
    lexmsg::CatalogFile* open_wide(const lexmsg_wchar* path) override {
        if (take(Step::open)) return nullptr;
        lexmsg::CatalogFile* inner = lexmsg::platform_file_door().open_wide(path);
        return inner == nullptr ? nullptr : new CountedFile(this, inner);
    }

private:
    class CountedFile final : public lexmsg::CatalogFile {
    public:
        CountedFile(FaultDoor* door, lexmsg::CatalogFile* inner) : door_(door), inner_(inner) { ++door_->open_files_; }
        ~CountedFile() override {
            delete inner_;
            --door_->open_files_;
        }
        bool seek(uint64_t offset) override { return !door_->take(Step::seek) && inner_->seek(offset); }
        bool size(uint64_t* bytes) override { return !door_->take(Step::size) && inner_->size(bytes); }
        bool read(void* buffer, size_t wanted, size_t* got) override {
            if (door_->take(Step::read)) {
                *got = 0;
                return false;
            }
            return inner_->read(buffer, wanted, got);
        }

    private:
        FaultDoor* door_;
        lexmsg::CatalogFile* inner_;
    };

    bool take(Step step) {
        steps_.push_back(step);
        return static_cast<long>(steps_.size()) - 1 == fail_at_;
    }

    long fail_at_ = -1;
    long open_files_ = 0;
    std::vector<Step> steps_;
};

struct StepCase {
    Step step;
    int code;  // what the load gives when this step fails; 0: it still loads
    const char* what;
};

// A catalog file whose section stream fits in one read.
const StepCase kFileSteps[] = {
    {Step::open, LEXMSG_E_OPEN, "open the catalog"},
    {Step::seek, LEXMSG_E_FAIL, "seek to the header"},
    {Step::read, LEXMSG_E_MALFORMED, "read the header"},
    // The size bounds what a section may expand to; without it the bound is
    // 4 KiB, which this small section stays below, so the load goes on.
    {Step::size, LEXMSG_OK, "take the size, which bounds the expanded section"},
    {Step::seek, LEXMSG_E_FAIL, "seek to the section"},
    {Step::read, LEXMSG_E_FAIL, "read the section stream"},
};

// A host file with the catalog embedded behind its marker: the search reads
// one window, then the load goes on from the header it found. A failure in
// the search leaves the header to be read from the start of the host, which
// is no catalog.
const StepCase kEmbeddedSteps[] = {
    {Step::open, LEXMSG_E_OPEN, "open the host"},
    {Step::size, LEXMSG_E_MALFORMED, "take the host's size, which bounds the search"},
    {Step::seek, LEXMSG_E_MALFORMED, "seek to the start of the search"},
    {Step::read, LEXMSG_E_MALFORMED, "read the search window"},
    {Step::seek, LEXMSG_E_FAIL, "seek to the header"},
    {Step::read, LEXMSG_E_MALFORMED, "read the header"},
    // The size bounds what a section may expand to; without it the bound is
    // 4 KiB, which this small section stays below, so the load goes on.
    {Step::size, LEXMSG_OK, "take the size, which bounds the expanded section"},
    {Step::seek, LEXMSG_E_FAIL, "seek to the section"},
    {Step::read, LEXMSG_E_FAIL, "read the section stream"},
};

std::string trace(const std::vector<Step>& steps) {
    std::string text;
    for (Step step : steps) text += std::string(step_name(step)) + " ";
    return text;
}

// cleanup releases a handle of the kind that load makes.
template <typename Load>
void expect_each_step_gives_its_code(const StepCase* table, size_t count, Load load, int (*cleanup)(lexmsg_handle*)) {
    FaultDoor door;
    for (long failing = -1; failing < static_cast<long>(count); ++failing) {
        SCOPED_TRACE(failing < 0 ? "no failure" : table[failing].what);
        door.fail_at(failing);
        lexmsg_handle* handle = nullptr;
        const int rc = load(door, &handle);
        EXPECT_EQ(door.open_files(), 0);
        if (failing < 0) {
            EXPECT_EQ(rc, LEXMSG_OK);
            ASSERT_NE(handle, nullptr);
            ASSERT_EQ(door.steps().size(), count) << trace(door.steps());
            for (size_t i = 0; i < count; ++i) EXPECT_EQ(door.steps()[i], table[i].step) << table[i].what;
            EXPECT_EQ(cleanup(handle), 0);
        } else {
            EXPECT_EQ(rc, table[failing].code);
            EXPECT_EQ(handle != nullptr, table[failing].code == LEXMSG_OK);
            if (handle != nullptr) {
                EXPECT_EQ(cleanup(handle), 0);
            }
        }
    }
}

const std::vector<lexmsg_test::Authored> kMessages = {{1, "one %1"}, {2, "two"}};

TEST(CatalogIo, EachStepOfAFileLoadFailsWithItsCode) {
    lexmsg_test::TempFile file("catalog_io.cat", lexmsg_test::both_catalog(kMessages));
    for (Section which : {Section::wide, Section::narrow}) {
        SCOPED_TRACE(which == Section::wide ? "wide" : "narrow");
        expect_each_step_gives_its_code(
            kFileSteps,
            sizeof kFileSteps / sizeof kFileSteps[0],
            [&](lexmsg::FileDoor& door, lexmsg_handle** handle) {
                return lexmsg::init_file(door, file.path(), which, handle);
            },
            which == Section::wide ? lexmsg_cleanupW_mf : lexmsg_cleanupA_mf);
    }
}

TEST(CatalogIo, EachStepOfAnEmbeddedLoadFailsWithItsCode) {
    Bytes host(200, 0x90);
    for (char c : std::string("ZRR:module.exe")) host.push_back(static_cast<unsigned char>(c));
    host.push_back(0);
    for (unsigned char b : lexmsg_test::both_catalog(kMessages)) host.push_back(b);
    lexmsg_test::TempFile file("catalog_io_host.bin", host);
    expect_each_step_gives_its_code(
        kEmbeddedSteps,
        sizeof kEmbeddedSteps / sizeof kEmbeddedSteps[0],
        [&](lexmsg::FileDoor& door, lexmsg_handle** handle) {
            return lexmsg::init_embedded(door, "C:\\app\\module.exe", file.path(), handle);
        },
        lexmsg_cleanupA_mf);
}

}  // namespace
