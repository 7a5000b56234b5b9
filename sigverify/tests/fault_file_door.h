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

enum class io_step { open, seek, read };

class fault_file_door final : public sigverify::sig_file_door {
public:
    // The step with this 0-based number (counted from now) fails; -1 lets
    // every step succeed. Forgets the steps seen so far.
    void fail_at(long step) {
        fail_at_ = step;
        steps_.clear();
    }
    // The steps taken since fail_at, in order.
    const std::vector<io_step>& steps() const { return steps_; }
    long open_files() const { return open_files_; }

    bool exists(const wchar_t* path) override { return sigverify::platform_file_door().exists(path); }

    sigverify::sig_file* open(const wchar_t* path) override {
        if (take(io_step::open)) return nullptr;
        sigverify::sig_file* inner = sigverify::platform_file_door().open(path);
        if (inner == nullptr) return nullptr;
        return new counted_file(this, inner);
    }

private:
    class counted_file final : public sigverify::sig_file {
    public:
        counted_file(fault_file_door* door, sigverify::sig_file* inner) : door_(door), inner_(inner) {
            ++door_->open_files_;
        }
        ~counted_file() override {
            sigverify::sig_file_close(&inner_);
            --door_->open_files_;
        }
        int64_t length() override { return inner_->length(); }
        bool seek(int64_t offset, bool from_end) override {
            return !door_->take(io_step::seek) && inner_->seek(offset, from_end);
        }
        int64_t read(void* buffer, uint32_t size) override {
            return door_->take(io_step::read) ? -1 : inner_->read(buffer, size);
        }

    private:
        fault_file_door* door_;
        sigverify::sig_file* inner_;
    };

    // Records the step; true when it is the one to fail.
    bool take(io_step step) {
        steps_.push_back(step);
        return static_cast<long>(steps_.size()) - 1 == fail_at_;
    }

    long fail_at_ = -1;
    long open_files_ = 0;
    std::vector<io_step> steps_;
};

inline const char* step_name(io_step step) {
    switch (step) {
        case io_step::open:
            return "open";
        case io_step::seek:
            return "seek";
        case io_step::read:
            break;
    }
    return "read";
}

}  // namespace sigtest

#endif
