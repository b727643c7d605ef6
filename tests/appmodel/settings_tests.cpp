#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"

#include "tests/support/event_loop.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

using namespace appmodel;
using foundation::box_value;
using foundation::PropertyValue;
using foundation::unbox_value;
namespace fs = std::filesystem;

namespace {

using test::file_text;

// A package identity and a private configuration folder for one test.
class Packaged : public ::testing::Test {
protected:
    fs::path settings_file() const { return m_config / "zintrel" / "settings.json"; }
    void write_settings(const std::string& text) const
    {
        fs::create_directories(settings_file().parent_path());
        std::ofstream(settings_file(), std::ios::binary) << text;
    }
    // The files in the settings folder.
    std::size_t files() const { return test::listing(settings_file().parent_path()).size(); }
    static std::shared_ptr<foundation::PropertySet> values() { return ApplicationData::Current()->LocalSettings()->Values(); }

    test::program_folder m_folder;
    const fs::path m_config = m_folder.config();
};

}  // namespace

TEST(Package, WithoutAManifestThereIsNoPackageAndNoApplicationData)
{
    test::program_folder unpackaged(false);
    try {
        Package::Current();
        FAIL() << "no manifest, no package";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.code()), 0x80073D54u);
    }
    EXPECT_THROW(ApplicationData::Current(), foundation::hresult_error);
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

TEST_F(Packaged, ADamagedFileStartsEmptyAndIsKeptAsideUnderANameOfItsOwn)
{
    // Set aside within the same second, each keeps its own name.
    const std::set<std::string> damaged = {"", "{\"values\": 5}", "{\"values\": [", "\x89PNG"};
    for (const std::string& garbage : damaged) {
        write_settings(garbage);
        reset_application_data_for_tests();
        EXPECT_EQ(values()->Size(), 0u) << "content: " << garbage;
        values()->Insert(u"k", PropertyValue::CreateString(u"v"));
        EXPECT_TRUE(fs::exists(settings_file())) << "the store writes a good file again";
    }
    std::set<std::string> kept;
    for (const auto& entry : fs::directory_iterator(settings_file().parent_path()))
        if (entry.path().filename().string().starts_with("settings.json.damaged-")) kept.insert(file_text(entry.path()));
    EXPECT_EQ(kept, damaged);
}

TEST_F(Packaged, AValueOutOfRangeIsLeftOutAloneAndNeverSavedAsNull)
{
    for (const char* version : {"-1", "1e30", "0.5"}) {
        write_settings(R"({"version": )" + std::string(version) + R"(, "values": {
            "kept": {"type": "String", "value": "SHA256"},
            "far": {"type": "Point", "value": [1e39, 0]},
            "negative": {"type": "UInt32", "value": -1},
            "fraction": {"type": "UInt32", "value": 1.5},
            "huge": {"type": "Int32", "value": 1e30},
            "WindowPlacement": {"type": "Composite", "value": {
                "showCmd": {"type": "UInt32", "value": 3},
                "rcNormalPosition": {"type": "Rect", "value": [1e10, 0, -4e38, 600]}}}}})");
        reset_application_data_for_tests();
        EXPECT_EQ(ApplicationData::Current()->Version(), 0u) << version;
        EXPECT_EQ(values()->Size(), 2u) << "only the values in range";
        EXPECT_EQ(unbox_value<hstring>(values()->Lookup(u"kept")), u"SHA256");
        const auto placement = std::dynamic_pointer_cast<ApplicationDataCompositeValue>(values()->Lookup(u"WindowPlacement"));
        ASSERT_NE(placement, nullptr);
        EXPECT_EQ(placement->Size(), 1u);
        EXPECT_EQ(unbox_value<std::uint32_t>(placement->Lookup(u"showCmd")), 3u);
        EXPECT_EQ(files(), 1u) << "nothing set aside";

        EXPECT_THROW(values()->Insert(u"x", PropertyValue::CreatePoint({INFINITY, 0})), foundation::hresult_invalid_argument);
        EXPECT_THROW(values()->Insert(u"x", PropertyValue::CreateDouble(NAN)), foundation::hresult_invalid_argument);
        values()->Insert(u"x", PropertyValue::CreateRect({1e10f, 0, 800, 600}));
        EXPECT_EQ(file_text(settings_file()).find("null"), std::string::npos) << file_text(settings_file());
        reset_application_data_for_tests();
        EXPECT_EQ(values()->Size(), 3u) << "what was saved comes back whole";
    }
}

// Runs as the user "nobody" for files while it lives: root reads every file.
struct file_access_as_nobody {
    file_access_as_nobody() { setfsuid(65534); }
    ~file_access_as_nobody() { setfsuid(0); }
};

TEST_F(Packaged, AFileThatCannotBeReadIsLeftAsItIs)
{
    const std::string saved = R"({"version": 0, "values": {"k": {"type": "String", "value": "mine"}}})";
    write_settings(saved);
    fs::permissions(settings_file().parent_path(), fs::perms::all);  // nobody could replace the file
    fs::permissions(settings_file(), fs::perms::owner_read | fs::perms::owner_write);
    std::string said;
    {
        file_access_as_nobody nobody;
        ASSERT_LT(::open(settings_file().c_str(), O_RDONLY), 0);
        ASSERT_EQ(errno, EACCES) << "the file must really be unreadable";
        testing::internal::CaptureStderr();
        EXPECT_EQ(values()->Size(), 0u);
        values()->Insert(u"k", PropertyValue::CreateString(u"new"));
        values()->Insert(u"l", PropertyValue::CreateString(u"new"));
        said = testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(file_text(settings_file()), saved);
    EXPECT_EQ(files(), 1u);
    EXPECT_NE(said.find("cannot be read (Permission denied)"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "said once: " << said;
}

// A pipe in the file's place would hold the start until something writes to it. It counts as
// unreadable at once, is said once and kept, and no save replaces it, also one made after the start.
TEST_F(Packaged, ASettingsFileThatIsAPipeIsNeitherWaitedOnNorReplaced)
{
    fs::create_directories(settings_file().parent_path());
    // Counted by name: reading what is there could wait on a pipe.
    const auto entries = [&] {
        const fs::directory_iterator listing(settings_file().parent_path());
        return std::distance(begin(listing), end(listing));
    };
    ASSERT_EQ(::mkfifo(settings_file().c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    std::atomic<bool> loaded = false;
    std::thread start([&] {
        values();
        loaded = true;
    });
    const bool waited = !test::run_until([&] { return loaded.load(); });
    // A writer that comes and goes frees a reader that waits.
    if (waited) test::run_until([&] { return ::close(::open(settings_file().c_str(), O_WRONLY | O_NONBLOCK)), loaded.load(); });
    start.join();
    values()->Insert(u"k", PropertyValue::CreateString(u"v"));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(waited) << "the start waited for a writer to the pipe";
    EXPECT_TRUE(fs::is_fifo(settings_file()));
    EXPECT_EQ(entries(), 1);
    EXPECT_NE(said.find("is not a regular file"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "said once: " << said;

    fs::remove(settings_file());
    reset_application_data_for_tests();
    values()->Insert(u"k", PropertyValue::CreateString(u"v"));
    fs::remove(settings_file());
    ASSERT_EQ(::mkfifo(settings_file().c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    values()->Insert(u"l", PropertyValue::CreateString(u"w"));
    values()->Insert(u"m", PropertyValue::CreateString(u"x"));
    said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_fifo(settings_file())) << "a save left the pipe in place";
    EXPECT_EQ(entries(), 1);
    EXPECT_NE(said.find("is not a regular file"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "said once: " << said;
}

TEST_F(Packaged, ASymbolicLinkIsWrittenThroughToItsTarget)
{
    const fs::path dotfiles = m_config.parent_path() / "dotfiles";
    const fs::path target = dotfiles / "zintrel.json";
    fs::create_directories(dotfiles);
    fs::create_directories(settings_file().parent_path());
    std::ofstream(target) << R"({"version": 0, "values": {"k": {"type": "String", "value": "kept elsewhere"}}})";
    fs::create_symlink("../../dotfiles/zintrel.json", settings_file());
    EXPECT_EQ(unbox_value<hstring>(values()->Lookup(u"k")), u"kept elsewhere");
    values()->Insert(u"l", PropertyValue::CreateUInt32(2));
    ASSERT_TRUE(fs::is_symlink(settings_file())) << "the link stays a link";
    EXPECT_EQ(fs::read_symlink(settings_file()), "../../dotfiles/zintrel.json");
    EXPECT_NE(file_text(target).find("\"l\""), std::string::npos) << file_text(target);
    for (const auto& folder : {dotfiles, settings_file().parent_path()})
        EXPECT_EQ(test::listing(folder).size(), 1u) << "nothing left beside " << folder;

    fs::remove(target);  // a link that leads nowhere yet makes its target
    reset_application_data_for_tests();
    values()->Insert(u"m", PropertyValue::CreateUInt32(3));
    EXPECT_TRUE(fs::is_symlink(settings_file()));
    EXPECT_NE(file_text(target).find("\"m\""), std::string::npos);
}

TEST_F(Packaged, ASaveCutShortLeavesNoOtherFile)
{
    values()->Insert(u"n", PropertyValue::CreateUInt32(0));
    for (int round = 0; round < 20; ++round) {
        // A process that saves again and again, killed after a few saves, in the middle of the next.
        int saved[2];
        ASSERT_EQ(::pipe(saved), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            for (std::uint32_t n = 1;; ++n) {
                values()->Insert(u"n", PropertyValue::CreateUInt32(n));
                if (::write(saved[1], "", 1) != 1) ::_exit(1);
            }
        }
        ::close(saved[1]);
        char byte;
        for (int i = 0; i <= round % 3; ++i) ASSERT_EQ(::read(saved[0], &byte, 1), 1);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(saved[0]);
    }
    reset_application_data_for_tests();  // the next start saves once
    ASSERT_NE(values()->TryLookup(u"n"), nullptr);
    values()->Insert(u"again", PropertyValue::CreateBoolean(true));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(settings_file().parent_path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"settings.json"});
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
    test::wait_for(operation);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(desired, 0u);
    EXPECT_EQ(data->Version(), 0u);
}
