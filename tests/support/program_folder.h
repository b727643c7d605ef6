#pragma once
// A program folder of one test's own, with or without a package manifest, and a private
// configuration folder, so that tests may run side by side and never touch the user's settings.

#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"
#include "tests/support/environment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace test {

class program_folder {
public:
    explicit program_folder(bool packaged = true)
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        auto name = "zintrel-" + std::to_string(getpid()) + "-" + test->test_suite_name() + "-" + test->name();
        std::replace(name.begin(), name.end(), '/', '-');  // parameterised tests
        m_dir = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(m_dir / "program");
        m_environment.set("XDG_CONFIG_HOME", config().c_str());
        appmodel::set_package_folder_for_tests(foundation::hstring((m_dir / "program").u16string()));
        package(packaged);
    }
    ~program_folder()
    {
        appmodel::set_package_folder_for_tests({});
        appmodel::reset_application_data_for_tests();
        std::filesystem::remove_all(m_dir);
    }
    program_folder(const program_folder&) = delete;
    program_folder& operator=(const program_folder&) = delete;

    // Writes or removes the manifest; the application data is then read afresh, as by a new process.
    void package(bool packaged) const
    {
        const auto manifest = m_dir / "program" / appmodel::PackageManifestName;
        if (packaged) std::ofstream(manifest) << "<Package><Identity Name=\"Varnholt.Zintrel\" Version=\"3.1.3.0\"/></Package>\n";
        else std::filesystem::remove(manifest);
        appmodel::reset_application_data_for_tests();
    }
    const std::filesystem::path& dir() const { return m_dir; }
    std::filesystem::path config() const { return m_dir / "config"; }

private:
    std::filesystem::path m_dir;
    scoped_environment m_environment;
};

}  // namespace test
