#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace appmodel;
using foundation::box_value;
using foundation::PropertyValue;
using foundation::unbox_value;
namespace fs = std::filesystem;

namespace {

// Each test has its own folder standing for the program's, so tests may run side by side.
fs::path test_folder()
{
    return fs::temp_directory_path() / ("zintrel-test-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

fs::path manifest_path() { return test_folder() / "program" / PackageManifestName; }

void use_test_folder()
{
    fs::create_directories(test_folder() / "program");
    set_package_folder_for_tests(hstring((test_folder() / "program").u16string()));
}

// A package identity and a private configuration folder for one test.
class Packaged : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_test_folder();
        m_config = test_folder() / "config";
        fs::remove_all(m_config);
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        std::ofstream(manifest_path()) << "<Package><Identity Name=\"Varnholt.Zintrel\" Version=\"3.1.3.0\"/></Package>\n";
        reset_application_data_for_tests();
    }
    void TearDown() override
    {
        reset_application_data_for_tests();
        fs::remove_all(test_folder());
    }
    fs::path settings_file() const { return m_config / "zintrel" / "settings.json"; }
    static std::shared_ptr<foundation::PropertySet> values() { return ApplicationData::Current()->LocalSettings()->Values(); }

    fs::path m_config;
};

}  // namespace

TEST(Package, WithoutAManifestThereIsNoPackageAndNoApplicationData)
{
    use_test_folder();
    reset_application_data_for_tests();
    try {
        Package::Current();
        FAIL() << "no manifest, no package";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.code()), 0x80073D54u);
    }
    EXPECT_THROW(ApplicationData::Current(), foundation::hresult_error);
    fs::remove_all(test_folder());
}

TEST_F(Packaged, ValuesSurviveARestart)
{
    ASSERT_EQ(Package::Current()->Id().Name(), u"Varnholt.Zintrel");
    auto placement = foundation::make<ApplicationDataCompositeValue>();
    placement->Insert(u"showCmd", PropertyValue::CreateUInt32(3));
    placement->Insert(u"rcNormalPosition", PropertyValue::CreateRect({100, 50, 800, 600}));
    values()->Insert(u"WindowPlacement", placement);
    values()->Insert(u"ChosenAlgorithms", PropertyValue::CreateString(u"SHA256,SHA3-512"));
    EXPECT_TRUE(fs::exists(settings_file()));

    reset_application_data_for_tests();  // as a new process would
    const auto again = values();
    EXPECT_EQ(unbox_value<hstring>(again->Lookup(u"ChosenAlgorithms")), u"SHA256,SHA3-512");
    const auto restored = std::dynamic_pointer_cast<ApplicationDataCompositeValue>(again->Lookup(u"WindowPlacement"));
    ASSERT_NE(restored, nullptr) << "a composite comes back as a composite";
    EXPECT_EQ(unbox_value<std::uint32_t>(restored->Lookup(u"showCmd")), 3u);
    EXPECT_EQ(unbox_value<foundation::Rect>(restored->Lookup(u"rcNormalPosition")), (foundation::Rect{100, 50, 800, 600}));
    EXPECT_THROW(again->Insert(u"Bad", foundation::make<foundation::PropertySet>()), foundation::hresult_invalid_argument);
}

TEST_F(Packaged, ADamagedFileStartsEmptyAndIsKeptAside)
{
    for (const std::string garbage : {"", "{\"values\": {\"a\": {\"type\": \"UInt32\", \"value\": -1}}}", "{\"values\": [", "\x89PNG"}) {
        fs::create_directories(settings_file().parent_path());
        std::ofstream(settings_file(), std::ios::binary) << garbage;
        reset_application_data_for_tests();
        EXPECT_EQ(values()->Size(), 0u) << "content: " << garbage;
        bool kept = false;
        for (const auto& entry : fs::directory_iterator(settings_file().parent_path()))
            kept |= entry.path().filename().string().starts_with("settings.json.damaged-");
        EXPECT_TRUE(kept);
        values()->Insert(u"k", PropertyValue::CreateString(u"v"));
        EXPECT_TRUE(fs::exists(settings_file())) << "the store writes a good file again";
        for (const auto& entry : fs::directory_iterator(settings_file().parent_path())) fs::remove(entry.path());
    }
}

TEST_F(Packaged, AnUnwritableFolderKeepsValuesInMemory)
{
    // A file where the settings folder should be: no one, root included, can write there.
    fs::create_directories(m_config);
    std::ofstream(m_config / "zintrel") << "in the way";
    EXPECT_NO_THROW(values()->Insert(u"k", PropertyValue::CreateUInt32(1)));
    EXPECT_EQ(unbox_value<std::uint32_t>(values()->Lookup(u"k")), 1u);
    EXPECT_FALSE(fs::exists(settings_file()));
}

TEST_F(Packaged, SetVersionRunsTheHandlerAndRecordsTheVersion)
{
    auto data = ApplicationData::Current();
    std::atomic<int> calls = 0;
    std::uint32_t desired = 99;
    auto operation = data->SetVersionAsync(0, [&](const SetVersionRequest& request) {
        desired = request.DesiredVersion();
        ++calls;
    });
    ASSERT_TRUE(test::run_until([&] { return operation.Status() != foundation::AsyncStatus::Started; }));
    operation.GetResults();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(desired, 0u);
    EXPECT_EQ(data->Version(), 0u);
}
