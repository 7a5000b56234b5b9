// The bytes of the signature block, its signed message and the legacy
// trailer, described once: markers, field positions and sizes. The logic
// that reads and writes them lives elsewhere and takes every position from here.
#ifndef SIGVERIFY_SIG_FORMAT_H
#define SIGVERIFY_SIG_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace sigverify {

constexpr char kStartMarker[] = "ZRCS4F3A4200C37O";
constexpr char kEndMarker[] = "62F3AB0132FZRCSE";
constexpr uint32_t kMarkerSize = 16;

// Writers put this value in every type tag; readers skip tags unchecked.
constexpr uint8_t kTypeTag = 3;
constexpr uint8_t kSignatureRecordType = 3;
constexpr char kEncodingBinary = 'B';
constexpr char kEncodingHexText = 'T';
constexpr char kKeyPrimary = 'P';
constexpr char kKeySecondary = 'D';

constexpr uint32_t kMaxPadding = 32;
// The parser reads at most this many bytes from the end of the file.
constexpr uint32_t kSearchWindow = 0xA0498;
// An end marker closer than this to the start of the window gives 8.
constexpr uint32_t kMinEndMarkerPosition = 21;
constexpr uint32_t kSignatureSize = 256;
// The record count is a u8 field.
constexpr uint32_t kMaxRecords = 255;

// Positions of one encoding's fields. Offsets count file bytes from block
// start (header, record table) or from the record's first byte; trailer
// positions count back from the first byte of the end marker.
struct BlockLayout {
    uint32_t u8_width;   // characters of a u8 field
    uint32_t u32_width;  // characters of a u32 field
    uint32_t header_size;
    uint32_t header_lead_pad;
    uint32_t header_span;
    uint32_t header_record_count;
    uint32_t record_size;
    uint32_t record_type;
    uint32_t record_value_offset;
    uint32_t record_value_length;
    uint32_t record_key_selector;
    uint32_t trailer_size;
    uint32_t trailer_end_offset;  // back from the end marker
    uint32_t trailer_tail_pad;    // back from the end marker
    // The type tag beside each u32 field: in front of it in the header and
    // the records, behind it in the trailer.
    uint32_t header_lead_pad_tag;
    uint32_t header_span_tag;
    uint32_t record_value_offset_tag;
    uint32_t record_value_length_tag;
    uint32_t trailer_end_offset_tag;  // back from the end marker
    uint32_t trailer_tail_pad_tag;    // back from the end marker
    // Reserved bytes that writers leave between the signature value and the
    // trailer.
    uint32_t value_gap;
};

// The tables keep one group of fields to a line, in the order of the struct.
// clang-format off
constexpr BlockLayout kBinaryLayout = {
    1, 4,
    39, 17, 22, 26,
    20, 0, 2, 7, 11,
    11, 11, 6,
    16, 21, 1, 6, 7, 2,
    12,
};

constexpr BlockLayout kHexTextLayout = {
    2, 8,
    62, 18, 28, 36,
    39, 0, 4, 14, 22,
    21, 21, 11,
    16, 26, 2, 12, 13, 3,
    0,
};
// clang-format on

inline const BlockLayout& layout_for(char encoding) {
    return encoding == kEncodingHexText ? kHexTextLayout : kBinaryLayout;
}

// The signed message that the RSA operation recovers from a block's
// signature, most significant byte first.
constexpr uint32_t kMessageSize = 256;
constexpr char kMessageMagic[] = "ZRSIGN";
constexpr uint32_t kMessageMagicSize = 6;
constexpr uint32_t kMessageLengthLow = 6;
constexpr uint32_t kMessageLengthHigh = 10;
constexpr uint32_t kMessageHeadDigest = 14;
constexpr uint32_t kMessageContentMd5 = 30;
constexpr uint32_t kMessageContentSha256 = 46;
constexpr uint32_t kMessageReserved1 = 78;
constexpr uint32_t kMessageReserved2 = 110;
constexpr uint32_t kMessageBodySize = 174;  // bytes 0..173 form the payload
// The head digest covers signed content within this many first file bytes.
constexpr uint32_t kHeadDigestLimit = 4096;

// The legacy trailer's message, counted from its first non-zero byte; it
// starts with its tag.
constexpr char kLegacyMessageTag[] = "ZRLEGACY";
constexpr uint32_t kLegacyMessageTagSize = 8;
constexpr uint32_t kLegacyBinaryTrailerSize = 257;
constexpr uint32_t kLegacyHexTrailerSize = 513;
constexpr uint32_t kLegacyLength = 20;
constexpr uint32_t kLegacyMd5 = 32;
constexpr uint32_t kLegacyLengthSeed = 0x5D2C81E6;

// PE header fields that the signed content leaves out.
constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kDosLfanewOffset = 60;
constexpr uint32_t kPeOptionalMagic = 24;  // from e_lfanew
constexpr uint32_t kPeChecksum = 88;       // from e_lfanew
constexpr uint32_t kPeChecksumSize = 4;
constexpr uint32_t kPeCertDirectory32 = 152;  // from e_lfanew, PE32
constexpr uint32_t kPeCertDirectory64 = 168;  // from e_lfanew, any other magic
constexpr uint32_t kPeCertDirectorySize = 8;
constexpr uint16_t kPe32Magic = 0x10B;

}  // namespace sigverify

#endif
