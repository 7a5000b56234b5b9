// Reads the PE fields that place the checksum, the certificate-table
// directory entry and the certificate table.
#include "pe_exclusions.h"

#include "sig_bytes.h"
#include "sig_format.h"

namespace sigverify {

namespace {

bool read_at(SigFile* file, uint64_t offset, uint8_t* out, uint32_t size) {
    if (offset > INT64_MAX / 2) return false;
    return sig_file_seek(file, static_cast<int64_t>(offset), false) &&
           sig_file_read(file, out, size) == static_cast<int64_t>(size);
}

}  // namespace

bool collect_pe_exclusions(SigFile* file, excluded_range** list, PeCertTable* cert, bool* out_of_memory) {
    *cert = PeCertTable{false, 0, 0, false};
    *out_of_memory = false;
    uint8_t dos[kDosHeaderSize] = {};
    if (!read_at(file, 0, dos, kDosHeaderSize)) return false;
    if (dos[0] != 'M' || dos[1] != 'Z') return true;
    cert->image = true;

    const uint64_t lfanew = load_le32(dos + kDosLfanewOffset);
    uint8_t magic[4] = {};
    if (!read_at(file, lfanew + kPeOptionalMagic, magic, sizeof magic)) return false;
    const uint64_t directory = lfanew + (load_le16(magic) == kPe32Magic ? kPeCertDirectory32 : kPeCertDirectory64);
    uint8_t entry[kPeCertDirectorySize] = {};
    // A successful read puts the whole entry, and the checksum in front of
    // it, inside the file, so their offsets fit 32 bits.
    if (!read_at(file, directory, entry, sizeof entry)) return false;

    const auto checksum = static_cast<uint32_t>(lfanew + kPeChecksum);
    const auto directory32 = static_cast<uint32_t>(directory);
    cert->address = load_le32(entry);
    cert->size = load_le32(entry + 4);
    cert->present = cert->address != 0;
    // An empty table or one past 4 GiB has no range that 32 bits can hold;
    // the caller rejects such an entry, so it gets none here.
    const uint64_t cert_end = static_cast<uint64_t>(cert->address) + cert->size;
    const bool cert_range = cert->present && cert->size != 0 && cert_end <= UINT64_C(0x100000000);
    if (!append_range(list, checksum, checksum + kPeChecksumSize - 1) ||
        !append_range(list, directory32, directory32 + kPeCertDirectorySize - 1) ||
        (cert_range && !append_range(list, cert->address, static_cast<uint32_t>(cert_end - 1)))) {
        *out_of_memory = true;
        return false;
    }
    return true;
}

}  // namespace sigverify
