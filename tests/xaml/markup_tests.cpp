#include "markup_test_page.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/controls/Image.h"
#include "platform/xaml/controls/Frame.h"
#include "platform/xaml/controls/NavigationView.h"
#include "platform/xaml/controls/VisualStateManager.h"
#include "platform/xaml/window/Window.h"
#include "platform/xaml/core/qt_bridge.h"

#include "tests/support/event_loop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>
#include <fstream>

using namespace markup_test;

namespace {

// The page's brushes; the application's own, for the default theme, is red.
std::shared_ptr<SolidColorBrush> theme_brush(ElementTheme theme)
{
    return make<SolidColorBrush>(theme == ElementTheme::Dark    ? Color{255, 0x9C, 0xC7, 0xF0}
                                 : theme == ElementTheme::Light ? Color{255, 0x1F, 0x4E, 0x79}
                                                                : Color{255, 255, 0, 0});
}

Color foreground_of(const std::shared_ptr<TextBlock>& text)
{
    auto brush = std::dynamic_pointer_cast<SolidColorBrush>(text->Foreground());
    return brush ? brush->Color() : Color{};
}

// Markup files written by a test into a folder of their own, which ms-appx:/// then names.
class MarkupFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("zintrel-markup-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
        set_markup_folder(m_folder);
    }
    void TearDown() override
    {
        set_markup_folder({});
        std::filesystem::remove_all(m_folder);
    }

    // Loads the page body (lines after the root's start tag) into a test page and returns the failure.
    foundation::hresult_error load_failure(const std::string& body)
    {
        std::ofstream(m_folder / "Broken.xaml")
            << "<Page xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
               "      xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\">\n"
            << body << "\n</Page>\n";
        try {
            load_component(make<MarkupTestPage>(), u"ms-appx:///Broken.xaml");
        } catch (const foundation::hresult_error& e) {
            return e;
        }
        ADD_FAILURE() << "the markup loaded:\n" << body;
        return foundation::hresult_error(foundation::S_OK);
    }

    std::string path_of(const char* name) const { return (m_folder / name).string(); }

    std::filesystem::path m_folder;
};

std::string message_of(const foundation::hresult_error& e) { return foundation::to_narrow(e.message()); }

}  // namespace

TEST(Markup, TheTestPageConnectsItsIdsInDocumentOrder)
{
    auto page = load_test_page();
    const std::vector<std::pair<std::int32_t, hstring>> expected = {
        {1, u"Microsoft.UI.Xaml.Controls.Page"},           {5, u"Microsoft.UI.Xaml.Controls.Grid"},
        {6, u"Microsoft.UI.Xaml.Controls.ColumnDefinition"}, {7, u"Microsoft.UI.Xaml.Controls.TextBlock"},
        {8, u"Microsoft.UI.Xaml.Documents.Run"},           {9, u"Microsoft.UI.Xaml.Controls.TextBox"},
        {10, u"Microsoft.UI.Xaml.Controls.Button"},        {11, u"Microsoft.UI.Xaml.Controls.ItemsRepeater"},
        {13, u"Microsoft.UI.Xaml.Controls.ItemsRepeater"}, {14, u"Microsoft.UI.Xaml.Controls.ComboBox"},
        {15, u"Microsoft.UI.Xaml.Controls.NumberBox"},     {16, u"Microsoft.UI.Xaml.Controls.PasswordBox"},
        {17, u"Microsoft.UI.Xaml.Controls.RadioButtons"},  {18, u"Microsoft.UI.Xaml.Controls.RadioButton"},
        {19, u"Microsoft.UI.Xaml.Controls.CheckBox"},      {20, u"Microsoft.UI.Xaml.Controls.Border"},
        {21, u"Microsoft.UI.Xaml.Controls.RelativePanel"}, {22, u"Microsoft.UI.Xaml.Controls.TextBox"},
        {23, u"Microsoft.UI.Xaml.Controls.MenuFlyout"},    {24, u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem"},
        {25, u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem"}, {26, u"Microsoft.UI.Xaml.Controls.TextBox"},
        {27, u"Microsoft.UI.Xaml.Controls.TextBlock"},
    };
    EXPECT_EQ(page->connections, expected) << "template ids wait for their items";
    ASSERT_TRUE(page->rootBindings);
    EXPECT_EQ(page->rootBindings->ids, (std::vector<std::int32_t>{1, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27}))
        << "the root's binding object receives every id in its scope";
    EXPECT_EQ(page->Content(), page->layoutRoot);
    EXPECT_EQ(page->titleText->Name(), u"titleText");
    EXPECT_EQ(page->layoutRoot->FindName(u"fileNameBox"), page->fileNameBox);
}

TEST(Markup, TheTestPageShowsWhatItsPropertiesSay)
{
    auto page = load_test_page();
    auto root = test::show(page, 560, 640);

    EXPECT_EQ(page->titleText->Text(), u"Checksums of no file yet") << "text and runs keep single spaces";
    page->fileRun->Text(u"a.iso");
    EXPECT_EQ(static_cast<QLabel*>(page->titleText->widget())->text(), QString("Checksums of a.iso yet"));
    EXPECT_EQ(page->titleText->FontSize(), 20.0);
    EXPECT_EQ(foreground_of(page->titleText), theme_brush(page->titleText->ActualTheme())->Color());

    EXPECT_EQ(foundation::unbox_value<hstring>(page->fileNameBox->Header()), u"File");
    EXPECT_EQ(static_cast<QLineEdit*>(page->fileNameBox->editor())->placeholderText(), QString("Path of a file"));
    EXPECT_EQ(page->browseButton->button()->text(), QString::fromUtf8("Browse…")) << "a string resource";
    EXPECT_EQ(page->layoutRoot->Margin(), (Thickness{16, 16, 16, 16}));
    EXPECT_EQ(get_value<double>(*page->layoutRoot, Grid::RowSpacingProperty()), 8.0) << "an x:Double resource";
    EXPECT_EQ(page->statusText->Visibility(), Visibility::Collapsed);
    EXPECT_EQ(page->algorithmList->Layout()->GetRuntimeClassName(), u"Microsoft.UI.Xaml.Controls.StackLayout");

    // The text box and the browse button share the second row, left and right.
    const QRect box = page->fileNameBox->widget()->geometry();
    const QRect button = page->browseButton->widget()->geometry();
    EXPECT_GT(button.left(), box.right());
    EXPECT_NEAR(button.bottom(), box.bottom(), 1) << "the button sits at the bottom of its row";
    EXPECT_GT(box.top(), page->titleText->widget()->geometry().bottom()) << "row 1 is below row 0";
    EXPECT_GT(page->labelColumn->ActualWidth(), 200);
    const auto texts = page->widget()->findChildren<QLabel*>();
    const bool contentShown = std::any_of(texts.begin(), texts.end(), [](QLabel* l) { return l->text() == "Results appear above."; });
    const bool userControlShown = std::any_of(texts.begin(), texts.end(), [](QLabel* l) {
        return l->text() == "Nothing is hashed until a file is chosen." && l->isVisible();
    });
    EXPECT_TRUE(contentShown && userControlShown);

    EXPECT_EQ(page->keyTypeList->SelectedIndex(), 1) << "the index waits for its items";
    EXPECT_EQ(foundation::unbox_value<hstring>(as<ComboBoxItem>(page->keyTypeList->Items()->GetAt(1))->Content()), u"RSA 3072");
    EXPECT_EQ(page->validDaysBox->Text(), u"365") << "the formatter from markup rounds down to whole days";
    EXPECT_EQ(page->validDaysBox->Maximum(), 7300.0);
    EXPECT_EQ(page->passphraseBox->Password(), u"secret");
    EXPECT_EQ(page->purposeChoice->SelectedIndex(), 0);
    EXPECT_EQ(page->forDigitalSigning->IsChecked(), false);
    page->purposeChoice->SelectedIndex(1);
    EXPECT_EQ(page->forDigitalSigning->IsChecked(), true) << "the named item is the list's own button";
    EXPECT_EQ(page->exportCheck->IsChecked(), true);

    EXPECT_EQ(page->commonNameBox->ContextFlyout(), page->commonNameMenu);
    ASSERT_EQ(page->commonNameMenu->Items()->Size(), 2u);
    EXPECT_EQ(page->menuItems.at(0)->Text(), u"Copy");
    EXPECT_FALSE(page->menuItems.at(1)->IsEnabled());
    EXPECT_EQ(foundation::unbox_value<hstring>(ToolTipService::GetToolTip(page->commonNameBox)), u"Fully qualified host name");
    EXPECT_TRUE(as<ScrollViewer>(page->subjectBorder->Child()));
    EXPECT_EQ(get_value<Thickness>(*page->subjectBorder, Border::BorderThicknessProperty()), (Thickness{1, 1, 1, 1}));
    const QRect commonName = page->commonNameBox->widget()->geometry();
    const QRect organization = page->organizationBox->widget()->geometry();
    EXPECT_GE(organization.top(), commonName.bottom()) << "RelativePanel.Below names its sibling";
    EXPECT_EQ(organization.left(), commonName.left());
    const auto dialog = as<ContentDialog>(page->Resources()->Lookup(u"FailureDialog"));
    EXPECT_EQ(foundation::unbox_value<hstring>(dialog->Title()), u"Failure reading file");
    EXPECT_EQ(dialog->CloseButtonText(), u"OK");
}

TEST(Markup, ThemeResourcesFollowTheTheme)
{
    // The application's entry of the same key is further away than the page's.
    application_resources()->Insert(u"AccentText", theme_brush(ElementTheme::Default));
    auto page = load_test_page();
    EXPECT_EQ(foreground_of(page->titleText), theme_brush(page->titleText->ActualTheme())->Color());
    page->RequestedTheme(ElementTheme::Dark);
    EXPECT_EQ(foreground_of(page->titleText), theme_brush(ElementTheme::Dark)->Color());
    page->RequestedTheme(ElementTheme::Light);
    EXPECT_EQ(foreground_of(page->titleText), theme_brush(ElementTheme::Light)->Color());
}

TEST(Markup, VisualStatesOfTheMarkupSwitch)
{
    auto page = load_test_page();
    ASSERT_TRUE(VisualStateManager::GoToState(page, u"InProgress", false));
    EXPECT_FALSE(page->browseButton->IsEnabled());
    EXPECT_EQ(page->statusText->Visibility(), Visibility::Visible);
    EXPECT_EQ(Grid::GetColumn(page->statusText), 1) << "a setter of an attached property";
    EXPECT_EQ(get_value<std::int32_t>(*page->fileNameBox, TestHelpers::WeightProperty()), 5) << "and of the program's own";

    ASSERT_TRUE(VisualStateManager::GoToState(page, u"Normal", false));
    EXPECT_TRUE(page->browseButton->IsEnabled());
    EXPECT_EQ(page->statusText->Visibility(), Visibility::Collapsed) << "the markup's own value comes back";
    EXPECT_EQ(Grid::GetColumn(page->statusText), 0);
    EXPECT_EQ(get_value<std::int32_t>(*page->fileNameBox, TestHelpers::WeightProperty()), 3) << "local:TestHelpers.Weight";
}

TEST_F(MarkupFiles, BrokenMarkupFailsNamingFileLineAndWhatIsWrong)
{
    const struct {
        std::string body;
        foundation::hresult code;  // S_OK: any failure
        std::vector<std::string> said;
    } cases[] = {
        // The attribute sits on the second line of a start tag.
        {"  <Button Content=\"Go\"\n          Width=\"wide\"/>", foundation::E_INVALIDARG, {":4:", "Width", "wide"}},
        {"  <Frobnicator/>", E_XAMLPARSEFAILED, {"Frobnicator"}},
        {"  <Button Colour=\"Red\"/>", foundation::S_OK, {"Colour"}},
        {"  <Button Grid.Rows=\"1\"/>", foundation::S_OK, {"Grid.Rows"}},
        {"  <Button Content=\"{StaticResource Missing}\"/>", foundation::S_OK, {"Missing"}},
        {"  <Button Content=\"{Binding Name}\"/>", foundation::S_OK, {"Binding"}},
        {"  <Button x:Nmae=\"b\"/>", foundation::S_OK, {"Nmae"}},
        {"  <ItemsRepeater>\n    <DataTemplate>\n      <Button Wdth=\"3\"/>\n    </DataTemplate>\n  </ItemsRepeater>", foundation::S_OK, {"Wdth"}},
        {"  <Grid>\n    <VisualStateManager.VisualStateGroups>\n      <VisualStateGroup>\n        <VisualState x:Name=\"A\">\n"
         "          <VisualState.Setters><Setter Target=\"nobody.Width\" Value=\"1\"/></VisualState.Setters>\n"
         "        </VisualState>\n      </VisualStateGroup>\n    </VisualStateManager.VisualStateGroups>\n  </Grid>",
         foundation::S_OK, {"nobody"}},
        // A property whose type has no text form says so instead of storing the text.
        {"  <Border Child=\"text\"/>", foundation::S_OK, {"UIElement"}},
        {"  <StackPanel>\n    <TextBlock x:ConnectionId=\"10\"/>\n  </StackPanel>", foundation::E_NOINTERFACE, {":4:", "Connection 10"}},
    };
    for (const auto& [body, code, said] : cases) {
        const auto e = load_failure(body);
        EXPECT_NE(e.code(), foundation::S_OK);
        if (code != foundation::S_OK) {
            EXPECT_EQ(e.code(), code) << body;
        }
        EXPECT_NE(message_of(e).find(path_of("Broken.xaml") + ":"), std::string::npos) << message_of(e);
        for (const auto& part : said) EXPECT_NE(message_of(e).find(part), std::string::npos) << message_of(e);
    }
    EXPECT_THROW(load_component(make<MarkupTestPage>(), u"ms-appx:///Broken.xaml"), foundation::hresult_no_interface)
        << "the error's kind is its code's";
}

TEST_F(MarkupFiles, ABrokenFileIsReportedWithItsPath)
{
    try {
        load_component(make<MarkupTestPage>(), u"ms-appx:///Absent.xaml");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(e.code(), foundation::hresult_from_errno(ENOENT));
        EXPECT_NE(message_of(e).find(path_of("Absent.xaml")), std::string::npos) << message_of(e);
    }
    const auto xml = load_failure("  <Button>\n  </Buton>");
    EXPECT_NE(message_of(xml).find(path_of("Broken.xaml") + ":4:"), std::string::npos) << message_of(xml);
    EXPECT_THROW(load_component(make<MarkupTestPage>(), u"ms-appx:///../Broken.xaml"), foundation::hresult_invalid_argument);
    EXPECT_THROW(load_component(make<MarkupTestPage>(), u"file:///tmp/Broken.xaml"), foundation::hresult_invalid_argument);

    std::ofstream(m_folder / "Grid.xaml") << "<Grid xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"/>";
    EXPECT_THROW(load_component(make<MarkupTestPage>(), u"ms-appx:///Grid.xaml"), foundation::hresult_error)
        << "a page is no grid";
}

TEST_F(MarkupFiles, PropertyTextIsReadByThePropertysDeclaredType)
{
    std::ofstream(m_folder / "Typed.xaml")
        << "<Page xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "      xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\">\n"
           "  <StackPanel><TextBlock x:Name=\"bold\" FontWeight=\"Bold\"/><CheckBox x:Name=\"ticked\" IsChecked=\"True\"/></StackPanel>\n"
           "</Page>\n";
    auto page = make<MarkupTestPage>();
    load_component(page, u"ms-appx:///Typed.xaml");
    auto bold = std::dynamic_pointer_cast<TextBlock>(page->FindName(u"bold"));
    ASSERT_TRUE(bold);
    EXPECT_EQ(get_value<std::int32_t>(*bold, TextBlock::FontWeightProperty()), 700) << "Bold is weight 700";
    auto ticked = std::dynamic_pointer_cast<CheckBox>(page->FindName(u"ticked"));
    ASSERT_TRUE(ticked);
    EXPECT_EQ(ticked->IsChecked(), std::optional<bool>(true));
}

TEST(MarkupRegistry, ATypeOrMemberRegisteredTwiceIsRefusedAndTheFirstStays)
{
    // Names of this run's own: the registry keeps what earlier runs in the process registered.
    static int run = 0;
    const hstring suffix = foundation::to_hstring(++run);
    metadata::type_builder(u"Test.Once" + suffix, u"").member(u"Size", u"Int32", {});
    EXPECT_THROW(metadata::type_builder(u"Test.Once" + suffix, u"").member(u"Other", u"Int32", {}),
                 foundation::hresult_invalid_argument);
    const auto* once = metadata::find_type(u"Test.Once" + suffix);
    ASSERT_NE(once, nullptr);
    EXPECT_NE(metadata::find_member(*once, u"Size"), nullptr);
    EXPECT_EQ(metadata::find_member(*once, u"Other"), nullptr) << "the second registration replaced the first";

    EXPECT_THROW(metadata::type_builder(u"Test.Members" + suffix, u"")
                     .member(u"Size", u"Int32", {})
                     .member(u"Size", u"Int32", {}),
                 foundation::hresult_invalid_argument);
    EXPECT_EQ(metadata::find_type(u"Test.Members" + suffix), nullptr) << "a type whose members clash is not registered";
    EXPECT_THROW(metadata::register_converter(u"FontWeight", [](std::u16string_view) { return IInspectable(); }),
                 foundation::hresult_invalid_argument);
}

TEST_F(MarkupFiles, TheApplicationsMarkupFillsTheApplicationResources)
{
    class App final : public foundation::Object {
        hstring GetRuntimeClassName() const override { return u"Zintrel.App"; }
    };
    std::ofstream(m_folder / "App.xaml")
        << "<Application xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "             xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\">\n"
           "  <Application.Resources>\n"
           "    <ResourceDictionary>\n"
           "      <ResourceDictionary.ThemeDictionaries>\n"
           "        <ResourceDictionary x:Key=\"Light\"><SolidColorBrush x:Key=\"TestCaption\" Color=\"Black\"/></ResourceDictionary>\n"
           "        <ResourceDictionary x:Key=\"Dark\"><SolidColorBrush x:Key=\"TestCaption\" Color=\"White\"/></ResourceDictionary>\n"
           "      </ResourceDictionary.ThemeDictionaries>\n"
           "    </ResourceDictionary>\n"
           "  </Application.Resources>\n"
           "</Application>\n";
    Application::LoadComponent(make<App>(), u"ms-appx:///App.xaml");
    auto color = [](ElementTheme theme) {
        return as<SolidColorBrush>(application_resources()->find(u"TestCaption", theme))->Color();
    };
    EXPECT_EQ(color(ElementTheme::Light), Colors::Black());
    EXPECT_EQ(color(ElementTheme::Dark), Colors::White());
}

namespace {

class MarkupTestWindow final : public Window, public IComponentConnector {
public:
    std::vector<std::int32_t> ids;
    std::shared_ptr<Image> icon;
    std::shared_ptr<NavigationView> navView;
    std::shared_ptr<Run> yearRun;
    std::shared_ptr<Frame> contentFrame;

    void Connect(std::int32_t id, const IInspectable& target) override
    {
        ids.push_back(id);
        if (id == 3) icon = as<Image>(target);
        if (id == 5) navView = as<NavigationView>(target);
        if (id == 8) yearRun = as<Run>(target);
        if (id == 9) contentFrame = as<Frame>(target);
    }
    std::shared_ptr<IComponentConnector> GetBindingConnector(std::int32_t, const IInspectable&) override { return nullptr; }
};

// The frame makes pages by class name, as navigation does.
const foundation::class_registration test_page_class{u"Zintrel.MarkupTestPage", [] { return IInspectable(load_test_page()); }};

}  // namespace

TEST(Markup, AWindowsMarkupBuildsItsShellAndItsFrameShowsAMarkupPage)
{
    auto window = make<MarkupTestWindow>();
    Application::LoadComponent(window, u"ms-appx:///MarkupTestWindow.xaml");
    EXPECT_EQ(window->ids, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(window->Title(), u"Zintrel markup");
    EXPECT_EQ(as<Grid>(window->Content())->Name(), u"RootGrid");
    EXPECT_EQ(window->icon->Source(), u"ms-appx:///Assets/NoSuchIcon.png");

    const auto& items = window->navView->MenuItems();
    ASSERT_EQ(items->Size(), 2u);
    const auto first = as<NavigationViewItem>(items->GetAt(0));
    EXPECT_EQ(foundation::unbox_value<hstring>(first->Tag()), u"Zintrel.MarkupTestPage");
    EXPECT_EQ(first->Icon()->Glyph(), u"\uE8EF");
    EXPECT_EQ(window->navView->AutoSuggestBox()->PlaceholderText(), u"Search");
    EXPECT_EQ(window->navView->OpenPaneLength(), 220.0);
    window->yearRun->Text(u"2025");
    EXPECT_EQ(as<TextBlock>(window->navView->GetValue(NavigationView::PaneFooterProperty()))->Text(), u"© 2025 Varnholt");

    ASSERT_TRUE(window->contentFrame->Navigate(TypeName{u"Zintrel.MarkupTestPage"}));
    const auto page = as<MarkupTestPage>(window->contentFrame->Content());
    EXPECT_EQ(page->browseButton->button()->text(), QString::fromUtf8("Browse…"));
    window->Close();
}

namespace {

class StartedApp final : public Application {
public:
    explicit StartedApp(std::vector<std::string>& steps) : m_steps(steps) { m_steps.push_back("made"); }
    hstring GetRuntimeClassName() const override { return u"Zintrel.StartedApp"; }
    void OnLaunched(const LaunchActivatedEventArgs& args) override
    {
        m_steps.push_back("launched with " + foundation::to_narrow(args.Arguments()));
        QTimer::singleShot(0, [&steps = m_steps] {
            steps.push_back("loop runs");
            QCoreApplication::quit();
        });
    }

private:
    std::vector<std::string>& m_steps;
};

// Fails its launch after it has asked the loop for a step that must then never run.
class FailingApp final : public Application {
public:
    explicit FailingApp(std::vector<std::string>& steps) : m_steps(steps) {}
    hstring GetRuntimeClassName() const override { return u"Zintrel.FailingApp"; }
    void OnLaunched(const LaunchActivatedEventArgs&) override
    {
        QTimer::singleShot(0, &m_context, [&steps = m_steps] {
            steps.push_back("loop runs");
            QCoreApplication::quit();
        });
        throw std::runtime_error("cannot open the window");
    }

private:
    std::vector<std::string>& m_steps;
    QObject m_context;  // the step goes with the application
};

// Start leaves its queue and the sealed registry to the process; the tests after it find neither.
class ApplicationStart : public ::testing::Test {
protected:
    void TearDown() override { reset_start_for_tests(); }
};

}  // namespace

TEST_F(ApplicationStart, AFailureToMakeOrLaunchTheApplicationIsWhatStartFailsWith)
{
    try {
        Application::Start([](const auto&) { throw foundation::hresult_invalid_argument(u"App.xaml:3: broken"); });
        ADD_FAILURE() << "Start returned although the callback failed";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(e.code(), foundation::E_INVALIDARG);
        EXPECT_EQ(message_of(e), "App.xaml:3: broken");
    }

    std::vector<std::string> steps;
    std::weak_ptr<Application> made;
    try {
        Application::Start([&](const auto&) { made = make<FailingApp>(steps); });
        ADD_FAILURE() << "Start returned although OnLaunched failed";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(e.code(), foundation::E_FAIL);
        EXPECT_EQ(message_of(e), "cannot open the window");
    }
    EXPECT_TRUE(steps.empty()) << "the message loop ran after a failed launch";
    EXPECT_TRUE(made.expired()) << "the failed application is let go";
    EXPECT_FALSE(Application::Current());
}

TEST_F(ApplicationStart, StartMakesTheApplicationLaunchesItAndRunsTheLoop)
{
    char name[] = "zintrel", first[] = "--one", second[] = "two";
    char* argv[] = {name, first, second, nullptr};
    set_command_line(3, argv);
    std::vector<std::string> steps;
    std::weak_ptr<Application> started;
    Application::Start([&](const ApplicationInitializationCallbackParams&) {
        steps.push_back("callback");
        started = make<StartedApp>(steps);
        EXPECT_EQ(Application::Current(), started.lock()) << "the platform keeps the application";
    });
    set_command_line(0, nullptr);
    EXPECT_TRUE(metadata::is_sealed());
    EXPECT_THROW(metadata::type_builder(u"Test.Late", u""), foundation::hresult_illegal_method_call)
        << "types register before start-up, never while markup reads them";
    EXPECT_EQ(metadata::find_type(u"Test.Late"), nullptr);
    EXPECT_EQ(steps, (std::vector<std::string>{"callback", "made", "launched with --one two", "loop runs"}));
    EXPECT_TRUE(started.expired()) << "the application goes when the loop has ended";
    EXPECT_FALSE(Application::Current());
}
