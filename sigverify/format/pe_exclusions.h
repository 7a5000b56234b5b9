// The PE header items that the signed content leaves out.
#ifndef SIGVERIFY_PE_EXCLUSIONS_H
#define SIGVERIFY_PE_EXCLUSIONS_H

#include <cstdint>

#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

// The certificate-table directory entry as read from the file; it is not
// signed, so the caller checks where it points before trusting it.
struct PeCertTable {
    bool present;  // the address is not 0
    uint32_t address;
    uint32_t size;
    bool image;  // the file starts with "MZ"
};

// For a file starting with "MZ", appends the checksum-field range, the
// certificate-table directory-entry range and, when its address is not 0,
// the certificate-table range (address .. address + size - 1) to *list, and
// describes the entry in *cert; an entry whose range 32 bits cannot hold
// (size 0, or an end past 4 GiB) gets no range and must be rejected. A file
// not starting with "MZ" gets no ranges and cert->image false. False when a header field cannot be sought or read in
// full (code 5 at the caller) or memory runs out (*out_of_memory set).
bool collect_pe_exclusions(SigFile* file, excluded_range** list, PeCertTable* cert, bool* out_of_memory);

}  // namespace sigverify

#endif
