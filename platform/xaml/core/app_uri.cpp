#include "platform/xaml/core/app_uri.h"

#include "platform/foundation/application_folder.h"
#include "platform/foundation/error.h"

#include <mutex>
#include <string_view>

namespace xaml {

namespace {

std::mutex folder_mutex;
std::filesystem::path folder_override;

constexpr std::u16string_view app_scheme = u"ms-appx:///";

}  // namespace

std::filesystem::path resolve_app_uri(const hstring& uri)
{
    const std::u16string_view text = uri;
    if (!text.starts_with(app_scheme))
        throw foundation::hresult_invalid_argument(u"Markup is loaded from ms-appx:/// URIs, not from " + uri);
    const std::filesystem::path relative(foundation::to_narrow(text.substr(app_scheme.size())));
    if (relative.empty() || relative.is_absolute() || !relative.has_filename())
        throw foundation::hresult_invalid_argument(u"The URI " + uri + u" names no file");
    for (const auto& part : relative)
        if (part == "..") throw foundation::hresult_invalid_argument(u"The URI " + uri + u" leaves the application's folder");
    return markup_folder() / relative;
}

void set_markup_folder(const std::filesystem::path& folder)
{
    std::lock_guard lock(folder_mutex);
    folder_override = folder;
}

std::filesystem::path markup_folder()
{
    {
        std::lock_guard lock(folder_mutex);
        if (!folder_override.empty()) return folder_override;
    }
    return foundation::application_folder();
}

}  // namespace xaml
