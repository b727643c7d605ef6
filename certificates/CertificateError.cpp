#include "certificates/CertificateError.h"

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace Zintrel {

namespace {

// A code carries only a value and a category, so the text travels in the category: one per
// distinct message, kept for the life of the process because codes may outlive any scope. A
// session makes a handful of them.
class described_category final : public std::error_category {
public:
    described_category(std::string message, bool system_value) : m_message(std::move(message)), m_system(system_value) {}

    const char* name() const noexcept override { return "certificate"; }
    std::string message(int) const override { return m_message; }
    std::error_condition default_error_condition(int value) const noexcept override
    {
        return m_system ? std::error_condition(value, std::generic_category()) : std::error_condition(value, *this);
    }

private:
    std::string m_message;
    bool m_system;
};

const std::error_category& category_for(std::string message, bool system_value)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, bool>, std::unique_ptr<described_category>> categories;
    const std::lock_guard lock(mutex);
    auto& category = categories[{message, system_value}];
    if (!category) category = std::make_unique<described_category>(std::move(message), system_value);
    return *category;
}

}  // namespace

std::error_code certificate_error(certificate_errc value, std::string message)
{
    return {static_cast<int>(value), category_for(std::move(message), false)};
}

std::error_code file_error(const std::error_code& system, const std::filesystem::path& path)
{
    // Value 0 would read as success.
    const int value = system.value() != 0 ? system.value() : EIO;
    // The code's own text: the error number's for the system's codes, a clearer reason for the
    // storage's own (such as a folder still busy with another save).
    const std::string reason = system.value() != 0 ? system.message() : std::generic_category().message(value);
    return {value, category_for("Could not write " + path.string() + ": " + reason, true)};
}

}  // namespace Zintrel
