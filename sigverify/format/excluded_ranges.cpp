// Keeps the excluded ranges in a singly linked list, in ascending file order.
#include "excluded_ranges.h"

#include "crypto_alloc.h"

namespace sigverify {

namespace {

excluded_range* new_range(uint32_t first, uint32_t last) {
    auto* range = static_cast<excluded_range*>(crypto_calloc(1, sizeof(excluded_range)));
    if (range != nullptr) *range = excluded_range{first, 0, last, 0, nullptr};
    return range;
}

}  // namespace

bool append_range(excluded_range** list, uint32_t first, uint32_t last) {
    excluded_range* range = new_range(first, last);
    if (range == nullptr) return false;
    excluded_range** tail = list;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = range;
    return true;
}

void release_ranges(excluded_range** list) {
    excluded_range* range = *list;
    while (range != nullptr) {
        excluded_range* next = range->next;
        crypto_free(range, sizeof *range);
        range = next;
    }
    *list = nullptr;
}

bool insert_block_range(excluded_range** list, uint32_t first, uint32_t last) {
    excluded_range* range = new_range(first, last);
    if (range == nullptr) return false;
    if (*list == nullptr) {
        *list = range;
        return true;
    }
    excluded_range* current = *list;
    while (current->next != nullptr && current->next->first <= last) current = current->next;
    range->next = current->next;
    current->next = range;
    return true;
}

bool ranges_are_sound(const excluded_range* list, uint32_t file_length) {
    uint64_t next_free = 0;
    for (const excluded_range* r = list; r != nullptr; r = r->next) {
        if (r->first_high != 0 || r->last_high != 0) return false;
        if (r->first > r->last || r->last >= file_length) return false;
        if (r->first < next_free) return false;
        next_free = static_cast<uint64_t>(r->last) + 1;
    }
    return true;
}

uint64_t ranges_total(const excluded_range* list) {
    uint64_t total = 0;
    for (const excluded_range* r = list; r != nullptr; r = r->next) {
        if (r->last >= r->first) total += static_cast<uint64_t>(r->last) - r->first + 1;
    }
    return total;
}

}  // namespace sigverify
