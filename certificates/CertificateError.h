#pragma once
// Failures of a certificate run that the library does not describe: a field or name a
// certificate cannot hold, an output file that cannot be written.
//
// They travel like the library's failures, as a thrown std::error_code, so the runs catch one
// type. Each code's message says what failed (naming the field, the name or the file), in words
// a user can act on; the category is named "certificate".

#include <filesystem>
#include <string>
#include <system_error>

namespace Zintrel {

enum class certificate_errc {
    validity_too_long = 1,
    nul_character,
    invalid_alt_name,
    key_file_is_output,
    passphrase_too_long,
    control_character,
    invalid_subject_field,
    output_not_a_file,
};

// A code of the value with this message. Codes with the same value and message compare equal.
std::error_code certificate_error(certificate_errc value, std::string message);

// A file-system failure of the file at path: the value is the system's error number (so the
// code compares equal to the matching std::errc), the message names the file and the reason.
std::error_code file_error(const std::error_code& system, const std::filesystem::path& path);

}  // namespace Zintrel
