#pragma once
// The files a certificate run writes: a PEM certificate or request with its PKCS#8 key beside
// it, or one PKCS#12 file.
//
// Every output is complete before it appears: each is written to an unnamed file in its folder
// and all of them are moved into place together only when every write has succeeded, so a
// failure, even one while they are moved in, leaves no new file and every existing one as it was. Key and PKCS#12 files are readable by their owner
// alone, also when they replace an existing file. Copies of the passphrase are wiped after use.
//
// Failures throw a std::error_code: the library's in the vh::ssl_category(), the file system's
// and the refused outputs as certificate errors (CertificateError.h).

#include "certificates/SslHandles.h"
#include "platform/storage/staged_file.h"

#include <openssl/bio.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Zintrel {

using bio_ptr = ssl_ptr<BIO, BIO_vfree>;

// Text wiped from memory when it goes, such as the UTF-8 passphrase a run keeps while it works.
// It may be moved, never copied.
class secret_text {
public:
    secret_text() = default;
    explicit secret_text(std::string_view text) : m_text(text) {}
    // Takes the text and wipes what the moved-from string may still hold.
    explicit secret_text(std::string&& text) noexcept;
    secret_text(secret_text&& other) noexcept : secret_text(std::move(other.m_text)) {}
    secret_text& operator=(secret_text&&) = delete;
    ~secret_text();

    std::string_view view() const noexcept { return m_text; }
    const char* c_str() const noexcept { return m_text.c_str(); }
    bool empty() const noexcept { return m_text.empty(); }

private:
    std::string m_text;
};

// One output being made: the library writes into bio(), held in memory that is wiped when freed;
// stage() writes it to an unnamed file beside the path, for commit_all to move in.
class output_file {
public:
    output_file(std::filesystem::path path, storage::file_access access);

    BIO* bio() const noexcept { return m_bio.get(); }
    const std::filesystem::path& path() const noexcept { return m_path; }

    storage::staged_file& stage();

private:
    std::filesystem::path m_path;
    storage::file_access m_access;
    bio_ptr m_bio;
    std::optional<storage::staged_file> m_file;
};

// A new output for the path; nothing is on the disk until it is staged.
output_file open_output_bio(const std::filesystem::path& path,
                            storage::file_access access = storage::file_access::shared);

// The chosen path with its extension replaced by ".key". A leading dot starts no extension, so
// ".name" keeps its whole name (".name.key") rather than sharing ".key" with every such name.
std::filesystem::path key_path_for(const std::filesystem::path& output);

// Refuses an output that would be its own key file: one named with the extension ".key" in any
// case (one file with the key on file systems that ignore case), or another name of that file.
void check_key_path(const std::filesystem::path& output);

// Refuses outputs that cannot be written as asked: the checks of check_key_path when a key file
// goes beside the output, and an existing output or key file that is not a regular file (a
// folder, a pipe, a socket or a device, also behind a symbolic link), which a written file would
// not replace as the user means.
void check_outputs(const std::filesystem::path& output, bool with_key_file);

// The longest passphrase, in bytes of UTF-8, that the tools opening the files take whole.
constexpr std::size_t max_passphrase_bytes = 1023;

// Refuses a passphrase that is longer or holds a NUL character.
void check_passphrase(std::string_view passphrase);

// Writes a PEM certificate at output and its PKCS#8 PEM key at key_path_for(output), the key
// encrypted with AES-256-CBC when the passphrase is not empty. Returns the written paths
// (certificate, key). Outputs and passphrases that the checks above refuse are refused.
std::vector<std::filesystem::path> write_pem_pair(const X509& certificate, const EVP_PKEY& key,
                                                  const std::filesystem::path& output, std::string_view passphrase);

// The same with a PEM certificate signing request.
std::vector<std::filesystem::path> write_request_pair(const X509_REQ& request, const EVP_PKEY& key,
                                                      const std::filesystem::path& output,
                                                      std::string_view passphrase);

// One PKCS#12 file holding key and certificate: the key encrypted with the library's default
// only when there is a passphrase, the certificate never; without one the password is the empty
// text. Returns the written path.
std::vector<std::filesystem::path> write_pkcs12(X509& certificate, EVP_PKEY& key, const std::filesystem::path& output,
                                                std::string_view passphrase);

}  // namespace Zintrel
