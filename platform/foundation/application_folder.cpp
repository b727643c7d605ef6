#include "platform/foundation/application_folder.h"

#include "platform/foundation/error.h"
#include "platform/foundation/utf.h"

namespace foundation {

std::filesystem::path executable_folder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw hresult_error(hresult_from_errno(error.value()),
                            u"Cannot find the program's folder: " + utf::utf8_to_utf16(error.message()));
    return executable.parent_path();
}

std::filesystem::path application_folder()
{
    const auto folder = executable_folder();
    const auto installed = folder.parent_path() / "share" / "zintrel";
    std::error_code error;
    return std::filesystem::is_directory(installed, error) ? installed : folder;
}

}  // namespace foundation
