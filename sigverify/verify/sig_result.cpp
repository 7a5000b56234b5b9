// Says what each result code of the verification means.
#include "sigverify/sig_result.h"

namespace sigverify {

const char* sig_code_meaning(bool accepted, int code) {
    if (accepted) {
        switch (code) {
            case kCodeLegacyVerified:
                return "the legacy trailer verified with the secondary key";
            case kCodeBlockVerified:
                return "the signature block verified with the primary key";
            default:
                return "accepted with an unknown code";
        }
    }
    switch (code) {
        case kCodeNotFound:
            return "the file does not exist";
        case kCodeCannotOpen:
            return "the file exists but cannot be opened";
        case kCodeNoMemory:
            return "memory ran out, or seeking to the signature value failed";
        case kCodeMissingArgument:
            return "a required argument is missing, or the seek to the start of the content failed";
        case kCodeBadPeHeaders:
            return "the PE headers cannot be read (file shorter than 64 bytes, or a header seek or read failed)";
        case kCodeNoBlock:
            return "no signature block (no end marker, unknown encoding, or no start marker)";
        case kCodeMalformed:
            return "malformed signature block or signature, or a block that does not end the file or leaves bytes "
                   "free";
        case kCodeMismatch:
            return "the file was changed: signed length, MD5 or SHA-256 differs";
        case kCodeNoSignatureRecord:
            return "the signature block has no signature record";
        case kCodeSecondaryKey:
            return "the signature block verified, but with the secondary key";
        case kCodeIoError:
            return "the file is empty, or a seek or read failed";
        default:
            return "rejected with an unknown code";
    }
}

}  // namespace sigverify
