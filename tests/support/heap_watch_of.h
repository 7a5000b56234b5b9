// A watch on a library's heap for tests, over the allocation hooks that
// both libraries offer in one shape (may_allocate, allocated, releasing,
// context): fails chosen allocations, counts live blocks and counts the
// blocks released with anything but zero bytes in them.
#ifndef SK_TESTING_HEAP_WATCH_OF_H
#define SK_TESTING_HEAP_WATCH_OF_H

#include <cstddef>
#include <cstdint>
#include <map>

namespace sk_testing {

template <typename Hooks, void (*set_hooks)(const Hooks*)>
class HeapWatch {
public:
    HeapWatch() {
        const Hooks hooks = {&HeapWatch::may_allocate, &HeapWatch::allocated, &HeapWatch::releasing, this};
        set_hooks(&hooks);
    }
    ~HeapWatch() { set_hooks(nullptr); }
    HeapWatch(const HeapWatch&) = delete;
    HeapWatch& operator=(const HeapWatch&) = delete;

    // The allocation with this 0-based index (counted from now) fails, and
    // with fail_later also every one after it; -1 lets all succeed.
    void fail_at(long index, bool fail_later = false) {
        fail_index_ = index;
        fail_later_ = fail_later;
        attempts_ = 0;
    }

    long attempts() const { return attempts_; }
    size_t live_blocks() const { return live_.size(); }
    // Blocks released with any non-zero byte left in them.
    long unwiped_releases() const { return unwiped_; }

private:
    static bool may_allocate(size_t, void* context) {
        HeapWatch* self = static_cast<HeapWatch*>(context);
        const long index = self->attempts_++;
        if (self->fail_index_ < 0) return true;
        return self->fail_later_ ? index < self->fail_index_ : index != self->fail_index_;
    }
    static void allocated(void* block, size_t bytes, void* context) {
        static_cast<HeapWatch*>(context)->live_[block] = bytes;
    }
    static void releasing(void* block, void* context) {
        HeapWatch* self = static_cast<HeapWatch*>(context);
        auto found = self->live_.find(block);
        if (found == self->live_.end()) return;
        const uint8_t* bytes = static_cast<const uint8_t*>(block);
        for (size_t i = 0; i < found->second; ++i) {
            if (bytes[i] != 0) {
                ++self->unwiped_;
                break;
            }
        }
        self->live_.erase(found);
    }

    std::map<void*, size_t> live_;
    long fail_index_ = -1;
    bool fail_later_ = false;
    long attempts_ = 0;
    long unwiped_ = 0;
};

}  // namespace sk_testing

#endif
