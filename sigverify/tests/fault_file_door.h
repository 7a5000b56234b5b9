// A door to the file system for tests: opens files through the platform's
// door, numbers every open, seek and read in the order they happen, and can
// make exactly one of them fail. It also counts the files left open.
#ifndef SIGVERIFY_TESTS_FAULT_FILE_DOOR_H
#define SIGVERIFY_TESTS_FAULT_FILE_DOOR_H

#include <cstdint>
#include <string>
#include <vector>

#include "sigverify/sig_file.h"

namespace sigtest {

enum class IoStep { open, seek, read };

class FaultFileDoor final : public sigverify::SigFileDoor {
public:
    // The step with this 0-based number (counted from now) fails; -1 lets
    // every step succeed. Forgets the steps seen so far.
    void fail_at(long step) {
        fail_at_ = step;
        steps_.clear();
    }
    // The steps taken since fail_at, in order.
    const std::vector<IoStep>& steps() const { return steps_; }
    long open_files() const { return open_files_; }

    bool exists(const wchar_t* path) override { return sigverify::platform_file_door().exists(path); }

    sigverify::SigFile* open(const wchar_t* path) override {
        if (take(IoStep::open)) return nullptr;
        sigverify::SigFile* inner = sigverify::platform_file_door().open(path);
        if (inner == nullptr) return nullptr;
        return new CountedFile(this, inner);
    }

private:
    class CountedFile final : public sigverify::SigFile {
    public:
        CountedFile(FaultFileDoor* door, sigverify::SigFile* inner) : door_(door), inner_(inner) {
            ++door_->open_files_;
        }
        ~CountedFile() override {
            sigverify::sig_file_close(&inner_);
            --door_->open_files_;
        }
        int64_t length() override { return inner_->length(); }
        bool seek(int64_t offset, bool from_end) override {
            return !door_->take(IoStep::seek) && inner_->seek(offset, from_end);
        }
        int64_t read(void* buffer, uint32_t size) override {
            return door_->take(IoStep::read) ? -1 : inner_->read(buffer, size);
        }

    private:
        FaultFileDoor* door_;
        sigverify::SigFile* inner_;
    };

    // Records the step; true when it is the one to fail.
    bool take(IoStep step) {
        steps_.push_back(step);
        return static_cast<long>(steps_.size()) - 1 == fail_at_;
    }

    long fail_at_ = -1;
    long open_files_ = 0;
    std::vector<IoStep> steps_;
};

inline const char* step_name(IoStep step) {
    switch (step) {
        case IoStep::open:
            return "open";
        case IoStep::seek:
            return "seek";
        case IoStep::read:
            break;
    }
    return "read";
}

}  // namespace sigtest

#endif
