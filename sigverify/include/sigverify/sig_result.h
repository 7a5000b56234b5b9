// Result codes of the verification. A code is read together with the
// boolean beside it: 2 and 3 mean success with true and failure with false.
#ifndef SIGVERIFY_SIG_RESULT_H
#define SIGVERIFY_SIG_RESULT_H

namespace sigverify {

enum SigCode : int {
    kCodeNotFound = 1,        // false: the file does not exist
    kCodeLegacyVerified = 2,  // true: legacy trailer verified; false: file cannot be opened
    kCodeCannotOpen = 2,
    kCodeBlockVerified = 3,    // true: block verified with the primary key
    kCodeNoMemory = 3,         // false: memory ran out, or the seek to the signature value failed
    kCodeMissingArgument = 4,  // also: the seek to the start of the content failed
    kCodeBadPeHeaders = 5,
    kCodeNoBlock = 7,
    kCodeMalformed = 8,  // also: a block that does not end the file's own data or leaves a byte free
    kCodeMismatch = 9,
    kCodeNoSignatureRecord = 10,
    kCodeSecondaryKey = 11,
    kCodeIoError = 13,
};

// One line saying what a code means together with its boolean.
const char* sig_code_meaning(bool accepted, int code);

}  // namespace sigverify

#endif
