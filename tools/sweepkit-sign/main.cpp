// sweepkit-sign: the maker's signing tool. Appends signature blocks and
// legacy trailers, and runs the kit's own verification on a file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "private_key.h"
#include "sigverify/builtin_keys.h"
#include "sigverify/inert_padding.h"
#include "sigverify/sig_memory_file.h"
#include "sigverify/sig_result.h"
#include "sigverify/signature_writer.h"
#include "sigverify/verify_file.h"
#include "utf8_path.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRejected = 1;
constexpr int kExitError = 2;

void usage(std::FILE* to) {
    std::fputs(
        "usage:\n"
        "  sweepkit-sign sign [--encoding B|T] [--key primary|secondary] [--private-key PEM]\n"
        "                     [--lead-pad N] [--lead-text TEXT] [--tail-pad N] [--extra-records N]\n"
        "                     [--output OUT] FILE\n"
        "  sweepkit-sign sign-legacy [--encoding B|T] [--private-key PEM] [--output OUT] FILE\n"
        "  sweepkit-sign verify [--mode N] FILE\n"
        "  sweepkit-sign --help | --version\n"
        "Signing appends to FILE (or writes FILE plus the signature to OUT). Without\n"
        "--private-key the development keys in " SK_DEV_KEYS_DIR
        " are used.\n"
        "verify prints 'accepted CODE' or 'rejected CODE' with the code's meaning and exits\n"
        "0 (accepted), 1 (rejected) or 2 (usage or I/O error). See sweepkit-sign(1).\n",
        to);
}

struct Arguments {
    std::string file;
    std::string output;
    std::string private_key;
    char encoding = 'B';
    char key = 'P';
    uint32_t mode = 0;
    sigverify::BlockOptions block;
};

bool parse_number(const char* text, uint32_t max, uint32_t* value) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || v > max) return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

// Options of all commands; which ones a command takes is checked by `allowed`.
bool parse_arguments(int argc, char** argv, const std::string& allowed, Arguments* args) {
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--", 0) != 0) {
            if (!args->file.empty()) return false;
            args->file = option;
            continue;
        }
        if (allowed.find(option + " ") == std::string::npos || i + 1 >= argc) return false;
        const char* value = argv[++i];
        uint32_t number = 0;
        if (option == "--encoding") {
            if (std::strcmp(value, "B") != 0 && std::strcmp(value, "T") != 0) return false;
            args->encoding = value[0];
        } else if (option == "--key") {
            if (std::strcmp(value, "primary") == 0) {
                args->key = 'P';
            } else if (std::strcmp(value, "secondary") == 0) {
                args->key = 'D';
            } else {
                return false;
            }
        } else if (option == "--private-key") {
            args->private_key = value;
        } else if (option == "--output") {
            args->output = value;
        } else if (option == "--mode") {
            if (!parse_number(value, UINT32_MAX, &args->mode)) return false;
        } else if (option == "--lead-pad") {
            if (!parse_number(value, 32, &number)) return false;
            args->block.lead_pad = number;
        } else if (option == "--tail-pad") {
            if (!parse_number(value, 32, &number)) return false;
            args->block.tail_pad = number;
        } else if (option == "--lead-text") {
            args->block.lead_text = value;
        } else if (option == "--extra-records") {
            if (!parse_number(value, 254, &number)) return false;
            args->block.extra_records = number;
        }
    }
    return !args->file.empty();
}

bool read_file(const std::string& path, std::vector<uint8_t>* content) {
    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    content->clear();
    uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        content->insert(content->end(), buffer, buffer + n);
    return std::ferror(in.get()) == 0;
}

// Writes the file's content plus the appended bytes through a temporary file
// renamed into place, so a failure leaves the target as it was.
bool write_signed(const std::string& target,
                  const std::vector<uint8_t>& content,
                  const std::vector<uint8_t>& appended,
                  std::string* error) {
    const std::string temporary = target + ".sweepkit-sign.tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        out.write(reinterpret_cast<const char*>(appended.data()), static_cast<std::streamsize>(appended.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary);
            *error = "cannot write " + temporary;
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary);
        *error = "cannot replace " + target + ": " + ec.message();
        return false;
    }
    return true;
}

std::string default_key(char selector) {
    return std::string(SK_DEV_KEYS_DIR) + (selector == 'D' ? "/secondary_private.pem" : "/primary_private.pem");
}

// Signs with the key and warns when it is not the key this build verifies with.
bool sign_message(const Arguments& args, char selector, const uint8_t message[256], uint8_t signature[256]) {
    const std::string pem = args.private_key.empty() ? default_key(selector) : args.private_key;
    uint8_t modulus[256];
    std::string error;
    if (!sweepkit_sign::private_key_operation(pem, message, signature, modulus, &error)) {
        std::fprintf(stderr, "sweepkit-sign: %s\n", error.c_str());
        return false;
    }
    const uint8_t* builtin =
        selector == 'D' ? sigverify::builtin_secondary_modulus : sigverify::builtin_primary_modulus;
    if (std::memcmp(modulus, builtin, 256) != 0) {
        std::fprintf(stderr,
                     "sweepkit-sign: warning: %s is not the %s key built into this verifier\n",
                     pem.c_str(),
                     selector == 'D' ? "secondary" : "primary");
    }
    return true;
}

int fail(const std::string& file, const std::string& why) {
    std::fprintf(stderr, "sweepkit-sign: %s: %s; nothing written\n", file.c_str(), why.c_str());
    return kExitError;
}

int command_sign(const Arguments& args) {
    // The file is read once: the payload is computed over exactly the bytes
    // that are written out in front of the block.
    std::vector<uint8_t> content;
    if (!read_file(args.file, &content)) return fail(args.file, "cannot read the file");
    sigverify::SigMemoryFile file(content.data(), content.size());
    sigverify::sig_payload payload{};
    const sigverify::SignCheck check = sigverify::compute_signing_payload(&file, &payload);
    if (!check.ok) return fail(args.file, check.reason);
    const std::string& lead_text = args.block.lead_text;
    if (!check.image &&
        !sigverify::padding_is_inert(reinterpret_cast<const uint8_t*>(lead_text.data()), lead_text.size())) {
        return fail(args.file,
                    "--lead-text holds a letter or a byte outside ASCII; the file is not a PE image, so a script "
                    "host reads its padding, which the verification then refuses");
    }

    uint8_t message[256];
    uint8_t signature[256];
    sigverify::build_signed_message(payload, message);
    if (!sign_message(args, args.key, message, signature)) return fail(args.file, "not signed");
    sigverify::BlockOptions options = args.block;
    options.encoding = args.encoding;
    options.key_selector = args.key;
    std::vector<uint8_t> block;
    if (!sigverify::build_signature_block(options, content.size(), signature, &block)) {
        return fail(args.file, "the block options are out of range (--lead-text longer than --lead-pad?)");
    }
    if (check.image && (content.size() + block.size()) % 8 != 0) {
        std::fprintf(stderr,
                     "sweepkit-sign: warning: %s: the block does not end on a multiple of 8 bytes; an Authenticode "
                     "signature added later would be aligned behind padding, and the file would no longer verify\n",
                     args.file.c_str());
    }
    std::string error;
    if (!write_signed(args.output.empty() ? args.file : args.output, content, block, &error)) {
        return fail(args.file, error);
    }
    std::printf("signed %s: %c block, %s key, %zu bytes appended\n",
                args.file.c_str(),
                args.encoding,
                args.key == 'D' ? "secondary" : "primary",
                block.size());
    return kExitOk;
}

int command_sign_legacy(const Arguments& args) {
    std::vector<uint8_t> content;
    if (!read_file(args.file, &content)) return fail(args.file, "cannot read the file");
    uint8_t message[256];
    uint8_t signature[256];
    if (!sigverify::build_legacy_message_for(content.data(), content.size(), args.encoding, message)) {
        return fail(args.file, "the file is too large to sign");
    }
    if (!sign_message(args, 'D', message, signature)) return fail(args.file, "not signed");
    std::vector<uint8_t> trailer;
    sigverify::build_legacy_trailer(args.encoding, signature, &trailer);
    std::string error;
    if (!write_signed(args.output.empty() ? args.file : args.output, content, trailer, &error)) {
        return fail(args.file, error);
    }
    std::printf("signed %s: legacy %c trailer, %zu bytes appended\n", args.file.c_str(), args.encoding, trailer.size());
    return kExitOk;
}

int command_verify(const Arguments& args) {
    std::wstring wide;
    if (!sweepkit_sign::utf8_to_wide(args.file, &wide)) return fail(args.file, "the path is not UTF-8");
    int code = 0;
    const bool accepted = sigverify::verify_file_signature(wide.c_str(), &code, args.mode);
    std::printf("%s %d: %s\n", accepted ? "accepted" : "rejected", code, sigverify::sig_code_meaning(accepted, code));
    if (accepted) return kExitOk;
    // Codes that say the file could not be looked at, rather than judged.
    const bool io_error = code == sigverify::kCodeNotFound || code == sigverify::kCodeCannotOpen ||
                          code == sigverify::kCodeNoMemory || code == sigverify::kCodeMissingArgument ||
                          code == sigverify::kCodeIoError;
    return io_error ? kExitError : kExitRejected;
}

}  // namespace

int main(int argc, char** argv) {
    enum class Command { sign, sign_legacy, verify, unknown };
    const std::string name = argc > 1 ? argv[1] : "";
    if (argc == 2 && name == "--help") {
        usage(stdout);
        return kExitOk;
    }
    if (argc == 2 && name == "--version") {
        std::printf("sweepkit-sign (Ostrel Sweepkit) %s\n", SK_TOOL_VERSION);
        return kExitOk;
    }
    const Command which = name == "sign"          ? Command::sign
                          : name == "sign-legacy" ? Command::sign_legacy
                          : name == "verify"      ? Command::verify
                                                  : Command::unknown;
    Arguments args;
    switch (which) {
        case Command::sign:
            if (!parse_arguments(argc,
                                 argv,
                                 "--encoding --key --private-key --lead-pad --lead-text --tail-pad --extra-records "
                                 "--output ",
                                 &args)) {
                break;
            }
            return command_sign(args);
        case Command::sign_legacy:
            if (!parse_arguments(argc, argv, "--encoding --private-key --output ", &args)) break;
            return command_sign_legacy(args);
        case Command::verify:
            if (!parse_arguments(argc, argv, "--mode ", &args)) break;
            return command_verify(args);
        case Command::unknown:
            break;
    }
    usage(stderr);
    return kExitError;
}
