#include "oracle.h"

#include <QProcess>
#include <QStringList>

#include <openssl/pem.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>

namespace test {

namespace {

std::string trimmed(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r\n") - first + 1);
}

std::size_t indentation(const std::string& line) { return line.find_first_not_of(" \t"); }

template <class Writer>
std::string write_pem(const std::string& path, Writer write)
{
    FILE* file = std::fopen(path.c_str(), "w");
    EXPECT_NE(file, nullptr) << "cannot write " << path;
    if (file) {
        EXPECT_EQ(write(file), 1) << "cannot write " << path;
        std::fclose(file);
    }
    return path;
}

}  // namespace

tool_result run_tool(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList list;
    for (const auto& argument : arguments) list << QString::fromStdString(argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QString::fromStdString(program), list);
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        ADD_FAILURE() << program << " did not run; install it with scripts/setup.sh";
        return {};
    }
    const QByteArray output = process.readAll();
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, output.toStdString()};
}

std::string accepted(const std::string& program, const std::vector<std::string>& arguments)
{
    const auto result = run_tool(program, arguments);
    EXPECT_EQ(result.exit_code, 0) << program << " refused the file:\n" << result.output;
    return result.output;
}

std::string scratch_folder::path(const std::string& name) const
{
    return m_folder.filePath(QString::fromStdString(name)).toStdString();
}

std::string scratch_folder::write(const std::string& name, X509* certificate) const
{
    return write_pem(path(name), [&](FILE* file) { return PEM_write_X509(file, certificate); });
}

std::string scratch_folder::write(const std::string& name, X509_REQ* request) const
{
    return write_pem(path(name), [&](FILE* file) { return PEM_write_X509_REQ(file, request); });
}

std::string scratch_folder::write(const std::string& name, EVP_PKEY* key) const
{
    return write_pem(path(name), [&](FILE* file) {
        return PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr);
    });
}

std::string library_reason(int value)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<std::uint32_t>(value));
    // error:CODE:library:function:reason
    std::string text = trimmed(run_tool("openssl", {"errstr", hex}).output);
    for (int field = 0; field < 4; ++field) {
        const auto colon = text.find(':');
        if (colon == std::string::npos) return {};
        text.erase(0, colon + 1);
    }
    return text;
}

std::vector<std::string> indented_block(const std::string& text, const std::string& header)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line) && line.find(header) == std::string::npos) {}
    if (!lines) return {};
    const std::size_t depth = indentation(line);
    std::vector<std::string> block;
    while (std::getline(lines, line) && indentation(line) != std::string::npos && indentation(line) > depth)
        block.push_back(trimmed(line));
    return block;
}

std::string line_with(const std::string& text, const std::string& part)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.find(part) != std::string::npos) return trimmed(line);
    return {};
}

}  // namespace test
