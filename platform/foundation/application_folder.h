#pragma once
// Where the program finds its own files: markup, pictures and the package manifest.

#include <filesystem>

namespace foundation {

// The folder of the running executable.
std::filesystem::path executable_folder();

// Installed, the architecture-independent share/zintrel beside the program's bin folder; run
// from the build tree, the program's own folder, where the build puts those files.
std::filesystem::path application_folder();

}  // namespace foundation
