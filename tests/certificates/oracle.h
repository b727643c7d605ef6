#pragma once
// The openssl and certtool command-line tools as independent judges of what the certificate
// layer makes: objects are written to a temporary folder and the tools read the files.

#include <QTemporaryDir>

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

namespace test {

struct tool_result {
    int exit_code = -1;
    std::string output;  // standard output and error together
};

// Runs openssl or certtool (or any program) and waits for it to end.
tool_result run_tool(const std::string& program, const std::vector<std::string>& arguments);
// The output of a run that must succeed.
std::string accepted(const std::string& program, const std::vector<std::string>& arguments);

class scratch_folder {
public:
    std::string path(const std::string& name) const;

    // Each writes a PEM file and returns its path.
    std::string write(const std::string& name, X509* certificate) const;
    std::string write(const std::string& name, X509_REQ* request) const;
    std::string write(const std::string& name, EVP_PKEY* key) const;

private:
    QTemporaryDir m_folder;
};

// The library's reason text for an error value, as `openssl errstr` gives it.
std::string library_reason(int value);

// The lines indented deeper than the first line that holds header, trimmed; empty when no line
// holds it. Reads certtool's tab-indented blocks.
std::vector<std::string> indented_block(const std::string& text, const std::string& header);

// The first line that holds the text, trimmed; empty when none does.
std::string line_with(const std::string& text, const std::string& part);

}  // namespace test
