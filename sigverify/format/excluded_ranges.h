// The list of excluded ranges: building it, placing the signature block's
// range in it, and checking that it describes a sound file layout.
#ifndef SIGVERIFY_EXCLUDED_RANGES_H
#define SIGVERIFY_EXCLUDED_RANGES_H

#include <cstdint>

#include "sigverify/sig_types.h"

namespace sigverify {

// Places a new range after the list's first range, in front of the first
// later range whose first offset exceeds the new range's last offset, or at
// the end; an empty list becomes the one range. False when memory runs out.
bool insert_block_range(excluded_range** list, uint32_t first, uint32_t last);

// True when every range has first <= last, lies inside the file, and starts
// after the previous range ends (ascending, no overlap).
bool ranges_are_sound(const excluded_range* list, uint32_t file_length);

// The number of bytes the ranges cover.
uint64_t ranges_total(const excluded_range* list);

}  // namespace sigverify

#endif
