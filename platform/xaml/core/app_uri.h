#pragma once
// Where "ms-appx:///" URIs lead: markup files and pictures beside the program.

#include "platform/foundation/hstring.h"

#include <filesystem>

namespace xaml {

using foundation::hstring;

// The folder that "ms-appx:///" names: the application's folder (foundation::application_folder)
// unless set here; an empty path returns to that.
void set_markup_folder(const std::filesystem::path& folder);
std::filesystem::path markup_folder();

// The file an "ms-appx:///Folder/Name" URI names in that folder; other URIs, and ones that
// would leave the folder, fail with hresult_invalid_argument.
std::filesystem::path resolve_app_uri(const hstring& uri);

}  // namespace xaml
