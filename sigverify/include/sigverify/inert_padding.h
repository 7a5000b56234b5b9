// Which padding a file that is not a PE image may carry around its block: a
// script host reads every byte of a script.
#ifndef SIGVERIFY_INERT_PADDING_H
#define SIGVERIFY_INERT_PADDING_H

#include <cstddef>
#include <cstdint>

namespace sigverify {

// True when every byte is ASCII and no letter: padding that a script host
// reads but cannot run (zero bytes, white space, line breaks, punctuation).
bool padding_is_inert(const uint8_t* padding, size_t count);

}  // namespace sigverify

#endif
