#include "certificates/SubjectNames.h"

#include "certificates/SslHandles.h"
#include "platform/shell/net.h"

#include <climits>

namespace Zintrel {

namespace {

constexpr std::string_view white_space = " \t\n\r\v\f";

void add_entry(X509_NAME* name, const char* field, std::string_view value)
{
    // A length of -1 would make the library read up to a terminator the view does not have.
    if (value.size() > static_cast<std::size_t>(INT_MAX)) throw_ssl_error(ERR_LIB_X509, ERR_R_PASSED_INVALID_ARGUMENT);
    ssl_check(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                         reinterpret_cast<const unsigned char*>(value.data()),
                                         static_cast<int>(value.size()), -1, 0));
}

bool is_address(int family, const std::string& token)
{
    unsigned char address[16];
    return shell::inet_pton(family, token.c_str(), address) == 1;
}

}  // namespace

X509_NAME* add_subject_entries(std::string_view common_name, std::string_view organization,
                               std::string_view organizational_unit, std::string_view location,
                               std::string_view state, std::string_view country_code, X509_NAME* name)
{
    add_entry(name, "CN", common_name);
    const std::pair<const char*, std::string_view> optional_entries[] = {
        {"O", organization}, {"OU", organizational_unit}, {"L", location}, {"ST", state}, {"C", country_code},
    };
    for (const auto& [field, value] : optional_entries)
        if (!value.empty()) add_entry(name, field, value);
    return name;
}

std::string prefixed_alt_name(std::string token)
{
    const char* prefix = "DNS:";
    if (is_address(shell::AF_INET, token) || is_address(shell::AF_INET6, token))
        prefix = "IP:";
    else if (token.find('@') != std::string::npos)
        prefix = "email:";
    else if (token.find("://") != std::string::npos)
        prefix = "URI:";
    return prefix + std::move(token);
}

generator<std::string> subject_alt_names(std::string_view alt_names)
{
    std::size_t start = alt_names.find_first_not_of(white_space);
    while (start != std::string_view::npos) {
        const std::size_t end = alt_names.find_first_of(white_space, start);
        co_yield prefixed_alt_name(std::string(alt_names.substr(start, end - start)));
        start = alt_names.find_first_not_of(white_space, end);
    }
}

}  // namespace Zintrel
