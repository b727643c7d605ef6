#include "certificates/OutputFiles.h"

#include "certificates/CertificateError.h"

#include <openssl/crypto.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>

#include <cctype>
#include <span>
#include <string>
#include <system_error>
#include <utility>

namespace Zintrel {

namespace {

using pkcs12_ptr = ssl_ptr<PKCS12, PKCS12_free>;

std::string quoted(const std::filesystem::path& path) { return "“" + path.filename().string() + "”"; }

// What the path names when that is not a regular file, or null. A missing path, or one that
// cannot be looked at, is left to the write to report.
const char* not_a_file(const std::filesystem::path& path)
{
    std::error_code unknown;
    switch (std::filesystem::status(path, unknown).type()) {
    case std::filesystem::file_type::directory: return "a folder";
    case std::filesystem::file_type::fifo: return "a pipe";
    case std::filesystem::file_type::socket: return "a socket";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character: return "a device";
    default: return nullptr;
    }
}

// Every file is staged before the first is moved into place: the failures that can be
// foreseen (a folder that cannot be written, a directory in the way, a full disk) all happen
// while staging, when nothing has been replaced yet.
std::vector<std::filesystem::path> commit_all(std::span<output_file> files)
{
    std::vector<storage::staged_file*> staged;
    std::vector<std::filesystem::path> written;
    for (auto& file : files) {
        staged.push_back(&file.stage());
        written.push_back(file.path());
    }
    // A certificate is of no use beside another key: they are replaced together or not at all.
    try {
        storage::commit_together(staged);
    } catch (const std::filesystem::filesystem_error& error) {
        throw file_error(error.code(), error.path1());
    }
    return written;
}

void write_pkcs8_key(BIO* bio, const EVP_PKEY& key, std::string_view passphrase)
{
    const secret_text copy(passphrase);
    const EVP_CIPHER* cipher = copy.empty() ? nullptr : EVP_aes_256_cbc();
    // The library takes the passphrase as writable bytes but only reads them.
    ssl_check(PEM_write_bio_PKCS8PrivateKey(bio, &key, cipher, const_cast<char*>(copy.c_str()),
                                            static_cast<int>(copy.view().size()), nullptr, nullptr));
}

// The two outputs of a PEM run; the paths come back as object, then key.
template <class Write>
std::vector<std::filesystem::path> write_with_key(const EVP_PKEY& key, const std::filesystem::path& output,
                                                  std::string_view passphrase, Write write_object)
{
    check_outputs(output, true);
    check_passphrase(passphrase);
    output_file files[] = {open_output_bio(output), open_output_bio(key_path_for(output), storage::file_access::owner_only)};
    write_object(files[0].bio());
    write_pkcs8_key(files[1].bio(), key, passphrase);
    return commit_all(files);
}

}  // namespace

secret_text::secret_text(std::string&& text) noexcept : m_text(std::move(text))
{
    OPENSSL_cleanse(text.data(), text.capacity());
}

secret_text::~secret_text() { OPENSSL_cleanse(m_text.data(), m_text.capacity()); }

output_file::output_file(std::filesystem::path path, storage::file_access access)
    : m_path(std::move(path)), m_access(access), m_bio(ssl_check(BIO_new(BIO_s_secmem())))
{
}

storage::staged_file& output_file::stage()
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(m_bio.get(), &data);
    if (size < 0) throw_last_ssl_error();
    try {
        m_file.emplace(m_path, m_access);
        m_file->write(std::as_bytes(std::span(data, static_cast<std::size_t>(size))));
        m_file->close();
    } catch (const std::system_error& error) {
        throw file_error(error.code(), m_path);
    }
    return *m_file;
}

output_file open_output_bio(const std::filesystem::path& path, storage::file_access access)
{
    return output_file(path, access);
}

std::filesystem::path key_path_for(const std::filesystem::path& output)
{
    return std::filesystem::path(output).replace_extension(".key");
}

void check_key_path(const std::filesystem::path& output)
{
    std::string extension = output.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".key")
        throw certificate_error(certificate_errc::key_file_is_output,
                                quoted(output) + " ends in “.key”, the name the private key is written to beside it. "
                                                 "Choose a name with another extension. Nothing was written.");
    std::error_code unknown;
    const auto key = key_path_for(output);
    if (std::filesystem::equivalent(output, key, unknown))
        throw certificate_error(certificate_errc::key_file_is_output,
                                quoted(output) + " and its key file " + quoted(key) +
                                    " are one file. Choose another name. Nothing was written.");
}

void check_outputs(const std::filesystem::path& output, bool with_key_file)
{
    if (with_key_file) check_key_path(output);
    const auto refuse = [](const std::string& what, const char* kind) {
        throw certificate_error(certificate_errc::output_not_a_file,
                                what + " is " + kind + ", not a file. Choose another name. Nothing was written.");
    };
    if (const char* kind = not_a_file(output)) refuse(quoted(output), kind);
    if (!with_key_file) return;
    const auto key = key_path_for(output);
    if (const char* kind = not_a_file(key)) refuse("The key file " + quoted(key) + " that goes beside " + quoted(output), kind);
}

// A NUL inside would end the passphrase early where the library reads it as terminated text, and
// the tools that open the files read no more than the longest one allowed, so in both cases the
// file would open with less than was typed.
void check_passphrase(std::string_view passphrase)
{
    if (passphrase.find('\0') != std::string_view::npos)
        throw certificate_error(certificate_errc::nul_character,
                                "The passphrase holds a NUL character, which cannot be part of a passphrase.");
    if (passphrase.size() > max_passphrase_bytes)
        throw certificate_error(certificate_errc::passphrase_too_long,
                                "The passphrase is " + std::to_string(passphrase.size()) +
                                    " bytes long in UTF-8; other programs open keys only with passphrases of at most " +
                                    std::to_string(max_passphrase_bytes) + " bytes. Choose a shorter one.");
}

std::vector<std::filesystem::path> write_pem_pair(const X509& certificate, const EVP_PKEY& key,
                                                  const std::filesystem::path& output, std::string_view passphrase)
{
    return write_with_key(key, output, passphrase,
                          [&](BIO* bio) { ssl_check(PEM_write_bio_X509(bio, &certificate)); });
}

std::vector<std::filesystem::path> write_request_pair(const X509_REQ& request, const EVP_PKEY& key,
                                                      const std::filesystem::path& output,
                                                      std::string_view passphrase)
{
    return write_with_key(key, output, passphrase,
                          [&](BIO* bio) { ssl_check(PEM_write_bio_X509_REQ(bio, &request)); });
}

std::vector<std::filesystem::path> write_pkcs12(X509& certificate, EVP_PKEY& key, const std::filesystem::path& output,
                                                std::string_view passphrase)
{
    check_outputs(output, false);
    check_passphrase(passphrase);
    const secret_text copy(passphrase);
    // Key encryption 0 is the library's default algorithm, -1 none; the certificate stays clear.
    const pkcs12_ptr pkcs12{ssl_check(
        PKCS12_create(copy.c_str(), nullptr, &key, &certificate, nullptr, copy.empty() ? -1 : 0, -1, 0, 0, 0))};
    output_file file = open_output_bio(output, storage::file_access::owner_only);
    ssl_check(i2d_PKCS12_bio(file.bio(), pkcs12.get()));
    return commit_all(std::span(&file, 1));
}

}  // namespace Zintrel
