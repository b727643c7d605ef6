// The two checksum pages as a user meets them: made by name as the frame makes them, shown, and
// driven through their widgets, the clipboard, drags and drops. Every test runs on both pages.

#include "app/App.h"
#include "app/MainWindow.h"
#include "checksums/ChosenAlgorithms.h"
#include "checksums/ChecksumsPage.h"
#include "platform/foundation/activation.h"
#include "platform/foundation/threading.h"
#include "platform/xaml/controls/ContentDialog.h"
#include "platform/xaml/controls/MenuFlyout.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/controls/ProgressRing.h"
#include "platform/xaml/controls/ToggleButton.h"

#include "tests/checksums/oracles.h"
#include "tests/support/program_folder.h"
#include "tests/support/read_hook.h"
#include "tests/xaml/shown_root.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <set>

using namespace Zintrel;
using foundation::as;
using foundation::hstring;
namespace fs = std::filesystem;

namespace {

std::string narrow(const hstring& text) { return foundation::to_narrow(text); }
hstring path_text(const fs::path& path) { return hstring(path.u16string()); }
QString qt(const fs::path& path) { return QString::fromStdString(path.string()); }
void click(const std::shared_ptr<xaml::ButtonBase>& button) { QTest::mouseClick(button->button(), Qt::LeftButton); }

// Every element of a subtree of the given type, depth first.
template <class T>
void collect(const std::shared_ptr<xaml::UIElement>& element, std::vector<std::shared_ptr<T>>& into)
{
    if (auto found = std::dynamic_pointer_cast<T>(element)) into.push_back(found);
    for (const auto& child : element->visual_children()) collect(child, into);
}

// The look-ups of one path on the pool wait at this gate while a test holds them, as a sleeping
// disk or a slow share answers late.
std::mutex s_lookUpLock;
std::string s_heldPath;
test::Gate s_lookUps;

struct HeldLookUp {
    explicit HeldLookUp(const fs::path& path)
    {
        std::lock_guard lock(s_lookUpLock);
        s_heldPath = path.string();
        s_lookUps = {};
    }
    ~HeldLookUp()
    {
        std::lock_guard lock(s_lookUpLock);
        s_lookUps.ReleaseAll();
        s_heldPath.clear();
    }
};

struct page_kind {
    const char* name;
    const char16_t* type;
    const char16_t* settingsKey;
};

void PrintTo(const page_kind& page, std::ostream* out) { *out << page.name; }

class ChecksumsPageTest : public test::ChecksumFiles, public ::testing::WithParamInterface<page_kind> {
protected:
    void SetUp() override { Identity(false); }
    void TearDown() override
    {
        if (auto* dialog = QApplication::activeModalWidget()) dialog->close();
        m_root.reset();
    }

    // A new App with or without a package identity.
    void Identity(bool packaged)
    {
        m_folder.package(packaged);
        m_app = foundation::make<App>();
    }

    // Makes the page by name, as the frame does, and shows it.
    void Open(int width = 1000, int height = 700)
    {
        m_page = as<ChecksumsPage>(foundation::activation::activate(GetParam().type));
        m_root = test::show(m_page, width, height);
        EXPECT_TRUE(test::run_until([&] { return m_page->IsLoaded(); }));
    }

    template <class T>
    std::vector<std::shared_ptr<T>> All() const
    {
        std::vector<std::shared_ptr<T>> found;
        collect(m_page, found);
        return found;
    }
    std::shared_ptr<xaml::Button> ButtonNamed(const char16_t* content) const
    {
        for (const auto& b : All<xaml::Button>())
            if (foundation::unbox_value_or<hstring>(b->Content(), u"") == content) return b;
        ADD_FAILURE() << "no button " << narrow(content);
        return nullptr;
    }
    std::shared_ptr<xaml::ToggleButton> Toggle(std::size_t entry) const { return All<xaml::ToggleButton>().at(entry); }
    std::shared_ptr<HashAlgo> Entry(std::uint32_t i) const { return m_page->ViewModel()->AvailableHashAlgos()->GetAt(i); }
    std::shared_ptr<xaml::Button> CopyAll() const { return as<xaml::Button>(m_page->FindName(u"copyAllButton")); }

    // The result rows in list order: label text, value text and the row's copy button.
    struct row {
        std::shared_ptr<xaml::Grid> panel;
        hstring label, value;
        std::shared_ptr<xaml::Button> copy;
    };
    std::vector<row> Rows() const
    {
        const auto list = as<xaml::ItemsRepeater>(m_page->FindName(u"resultList"));
        std::vector<row> rows;
        for (std::int32_t i = 0; const auto element = list->TryGetElement(i); ++i) {
            const auto panel = as<xaml::Grid>(element);
            rows.push_back({panel, as<xaml::TextBlock>(panel->Children()->GetAt(2))->Text(),
                            as<xaml::TextBlock>(panel->Children()->GetAt(0))->Text(), as<xaml::Button>(panel->Children()->GetAt(1))});
        }
        return rows;
    }
    bool Busy() const { return as<xaml::ProgressRing>(m_page->FindName(u"progressRing"))->IsActive(); }
    // The run has shown the file's size and a checksum for every chosen algorithm.
    bool Published(std::uintmax_t size) const
    {
        if (narrow(m_page->sizeOutput()->Text()) != std::to_string(size)) return false;
        for (const auto& entry : *m_page->ViewModel()->HashAlgos())
            if (entry->Checksum().empty()) return false;
        return true;
    }
    // Published and no run left.
    bool Done(std::uintmax_t size, std::chrono::seconds limit = std::chrono::seconds(10)) const
    {
        return test::run_until([&] { return Published(size) && !Busy(); }, limit);
    }
    bool NoResults() const
    {
        for (const auto& entry : *m_page->ViewModel()->HashAlgos())
            if (!entry->Checksum().empty()) return false;
        return m_page->sizeOutput()->Text().empty();
    }

    // A drag entering the file-name box: whether the box takes it, as a copy.
    bool Enter(QMimeData* data)
    {
        QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(m_page->fileNameBox()->editor(), &event);
        return event.isAccepted() && event.dropAction() == Qt::CopyAction;
    }
    // Drags the file over the box and drops it; Qt sends the drop where the drag was taken.
    void DropFile(const fs::path& file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(qt(file))});
        ASSERT_TRUE(Enter(&data));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_page->fileNameBox()->editor(), &drop);
        EXPECT_TRUE(drop.isAccepted());
    }
    // Opens the file name's menu (copy, paste) with a right click.
    QMenu* OpenMenu()
    {
        const auto flyout = as<xaml::MenuFlyout>(m_page->fileNameBox()->ContextFlyout());
        QWidget* editor = m_page->fileNameBox()->editor();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(editor, &event);
        EXPECT_TRUE(test::run_until([&] { return flyout->menu() && flyout->menu()->isVisible(); }));
        return flyout->menu();
    }
    static void Choose(QMenu* menu, int item)
    {
        QAction* action = menu->actions().value(item);
        ASSERT_TRUE(action && action->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    // Puts the data on the clipboard and chooses the paste item of the file name's menu.
    void Paste(QMimeData* data)
    {
        QApplication::clipboard()->setMimeData(data);
        Choose(OpenMenu(), 1);
    }
    void PasteText(const std::string& text)
    {
        auto* data = new QMimeData;
        data->setText(QString::fromStdString(text));
        Paste(data);
    }
    // The open failure dialog's message, once it shows; empty when none does.
    static std::string FailureMessage()
    {
        QDialog* dialog = nullptr;
        test::run_until([&] { return (dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) != nullptr; });
        if (!dialog || dialog->windowTitle() != "Failure reading file") return {};
        std::string message;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisible() && label->text() != dialog->windowTitle()) message = label->text().toStdString();
        return message;
    }
    static void CloseDialog()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->isVisible() && b->text() == "OK") QTest::mouseClick(b, Qt::LeftButton);
        ASSERT_TRUE(test::run_until([] { return QApplication::activeModalWidget() == nullptr; }));
    }

    test::program_folder m_folder;
    std::shared_ptr<App> m_app;
    std::shared_ptr<ChecksumsPage> m_page;
    std::shared_ptr<xaml::XamlRoot> m_root;
};

INSTANTIATE_TEST_SUITE_P(, ChecksumsPageTest,
                         ::testing::Values(page_kind{"NonCrypto", u"Zintrel.NonCryptoChecksumsPage", u"ChosenNonCryptoAlgorithms"},
                                           page_kind{"OpenSsl", u"Zintrel.OpenSslChecksumsPage", u"ChosenAlgorithms"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The platform's look-ups of a path call stat.
extern "C" int stat(const char* __restrict path, struct stat* __restrict status) noexcept
{
    if (foundation::thread_pool::is_pool_thread()) {
        std::optional<test::Gate> held;
        {
            std::lock_guard lock(s_lookUpLock);
            if (s_heldPath == path) held = s_lookUps;
        }
        if (held) held->Pass();
    }
    static const auto system = reinterpret_cast<int (*)(const char*, struct stat*)>(::dlsym(RTLD_NEXT, "stat"));
    return system(path, status);
}

TEST_P(ChecksumsPageTest, ShowsWhatTheToolsSayForFilesOfEverySize)
{
    Open();
    click(ButtonNamed(u"All"));
    for (const auto& file : s_files) {
        SCOPED_TRACE(file.filename().string());
        DropFile(file);
        ASSERT_TRUE(Done(fs::file_size(file), std::chrono::seconds(60)));
        EXPECT_EQ(m_page->fileNameBox()->Text(), path_text(file));
        const auto rows = Rows();
        const auto& entries = *m_page->ViewModel()->AvailableHashAlgos();
        ASSERT_EQ(rows.size(), entries.Size());
        for (std::uint32_t i = 0; i < rows.size(); ++i) {
            const auto& entry = *entries.GetAt(i);
            EXPECT_EQ(narrow(rows[i].value), test::ToolChecksum(entry, file)) << narrow(entry.ShortName());
            EXPECT_EQ(rows[i].label, entry.ShortName() + u":");
            EXPECT_EQ(rows[i].copy->Visibility(), xaml::Visibility::Visible);
        }
    }
}

TEST_P(ChecksumsPageTest, TheRowsFollowTheChoiceAndEveryClickStartsOneRun)
{
    Open();
    EXPECT_EQ(m_page->sizeLabel()->Text(), u"Size (Bytes):");
    EXPECT_TRUE(m_page->sizeOutput()->Text().empty()) << "no size is shown before a file is chosen";
    EXPECT_EQ(m_page->browseButton()->FocusState(), xaml::FocusState::Programmatic);
    for (const auto& r : Rows()) EXPECT_EQ(r.panel->Visibility(), xaml::Visibility::Collapsed);

    const auto file = s_files[1];  // empty
    DropFile(file);
    ASSERT_TRUE(Done(0));

    // Each run clears the checksum of every algorithm it hashes with before anything else.
    const auto chosen = Entry(1);
    int clears = 0;
    chosen->PropertyChanged([&](const auto&, const foundation::PropertyChangedEventArgs& args) {
        if (args.PropertyName() == u"Checksum" && chosen->Checksum().empty()) ++clears;
    });
    const auto ring = as<xaml::ProgressRing>(m_page->FindName(u"progressRing"));
    int spins = 0;
    ring->RegisterPropertyChangedCallback(xaml::ProgressRing::IsActiveProperty(), [&](const auto&, const auto&) {
        if (ring->IsActive()) ++spins;
    });
    click(Toggle(1));
    EXPECT_TRUE(chosen->Checked()) << "the toggle writes its state back";
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(spins, 1) << "the page shows it is working";
    ASSERT_TRUE(Done(0));
    const auto rows = Rows();
    EXPECT_EQ(rows[0].panel->Visibility(), xaml::Visibility::Collapsed) << "not chosen";
    EXPECT_EQ(rows[1].panel->Visibility(), xaml::Visibility::Visible);
    EXPECT_EQ(narrow(rows[1].value), test::ToolChecksum(*chosen, file));

    click(ButtonNamed(u"All"));
    click(ButtonNamed(u"All"));  // leaves the choice as it was, and still runs
    EXPECT_EQ(clears, 3);
    ASSERT_TRUE(Done(0));
    for (const auto& r : Rows()) EXPECT_EQ(r.panel->Visibility(), xaml::Visibility::Visible);

    click(ButtonNamed(u"None"));
    EXPECT_EQ(clears, 3) << "a run without the entry leaves its checksum alone";
    for (const auto& t : All<xaml::ToggleButton>()) EXPECT_EQ(t->IsChecked(), foundation::IReference<bool>(false));
    ASSERT_TRUE(Done(0));
    for (const auto& r : Rows()) EXPECT_EQ(r.panel->Visibility(), xaml::Visibility::Collapsed);
}

TEST_P(ChecksumsPageTest, APastedPathIsTrimmedAndPreferredToAFileItem)
{
    Open();
    click(Toggle(0));
    const auto file = File("a file with blanks.bin", "pasted");
    PasteText(" \t" + file.string() + " \r\n");
    ASSERT_TRUE(test::run_until([&] { return Published(6); }));
    EXPECT_EQ(m_page->fileNameBox()->Text(), path_text(file));
    EXPECT_EQ(m_page->SelectedFile()->Path(), path_text(file));

    auto* both = new QMimeData;
    both->setUrls({QUrl::fromLocalFile(qt(s_files[2]))});
    both->setText(qt(s_files[0]));  // "abc"
    Paste(both);
    ASSERT_TRUE(test::run_until([&] { return Published(3); }));
    EXPECT_EQ(m_page->SelectedFile()->Path(), path_text(s_files[0])) << "the text wins over the file item";

    // A file manager's copy: a URL list only.
    auto* copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(qt(s_files[2]))});
    Paste(copied);
    ASSERT_TRUE(test::run_until([&] { return Published(1); }));
    EXPECT_EQ(m_page->fileNameBox()->Text(), path_text(s_files[2]));

    // The copy item copies the box's text; with neither text nor a file on the clipboard the
    // paste item is disabled, however it was when the menu last opened.
    auto* picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QApplication::clipboard()->setMimeData(picture);
    QMenu* menu = OpenMenu();
    EXPECT_FALSE(menu->actions().value(1)->isEnabled());
    Choose(menu, 0);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), s_files[2].string());
}

TEST_P(ChecksumsPageTest, ARunOvertakenByANewerOneLeavesTheNewerResults)
{
    Open();
    click(ButtonNamed(u"All"));
    // The first run is held at its file's opening until the newer one has shown its results.
    const auto older = File("older.bin", "the older choice");
    test::OpeningGate gate(older);
    DropFile(older);
    ASSERT_TRUE(test::run_until([&] { return m_page->SelectedFile() != nullptr; }));
    ASSERT_TRUE(gate.WaitForArrivals(1));
    DropFile(s_files[0]);
    ASSERT_TRUE(test::run_until([&] { return Published(3); }));
    gate.Release(0);
    // Every run holds the page: once it is gone, every run has ended.
    const auto model = m_page->ViewModel();
    const std::weak_ptr<ChecksumsPage> page = m_page;
    m_root.reset();
    m_page.reset();
    ASSERT_TRUE(test::run_until([&] { return page.expired(); }, std::chrono::seconds(60)));
    EXPECT_EQ(model->FileSize(), 3);
    for (const auto& entry : *model->HashAlgos())
        EXPECT_EQ(narrow(entry->Checksum()), test::ToolChecksum(*entry, s_files[0])) << narrow(entry->ShortName());
}

// A dropped file whose look-up answers late, after a file dropped later has shown its results:
// box, file and results stay with the later one.
TEST_P(ChecksumsPageTest, AChoiceOvertakenWhileItLooksUpItsFileLeavesTheNewerOne)
{
    Open();
    click(Toggle(0));
    const auto holders = m_page.use_count();
    const auto older = File("looked up late.bin", "older");
    {
        HeldLookUp held(older);
        DropFile(older);
        ASSERT_TRUE(s_lookUps.WaitForArrivals(1));
        DropFile(s_files[0]);
        ASSERT_TRUE(Done(3));
    }
    // Every choice and run holds the page: back to the holders before, all have ended.
    ASSERT_TRUE(test::run_until([&] { return m_page.use_count() == holders; }));
    EXPECT_EQ(m_page->fileNameBox()->Text(), path_text(s_files[0]));
    ASSERT_NE(m_page->SelectedFile(), nullptr);
    EXPECT_EQ(m_page->SelectedFile()->Path(), path_text(s_files[0]));
    EXPECT_TRUE(Published(3));
    EXPECT_EQ(narrow(Entry(0)->Checksum()), test::ToolChecksum(*Entry(0), s_files[0]));
}

TEST_P(ChecksumsPageTest, AnUnusablePathFailsWithItsTextKeptAndNoFileChosen)
{
    Open();
    click(Toggle(0));
    for (const auto& text : {"\"" + s_files[0].string() + "\"", s_files[0].string() + "\n" + s_files[2].string()}) {
        DropFile(s_files[0]);
        ASSERT_TRUE(test::run_until([&] { return Published(3); }));
        PasteText(text);
        const auto message = FailureMessage();
        EXPECT_NE(message.find(text), std::string::npos) << "the platform's message names the path: " << message;
        EXPECT_EQ(narrow(m_page->fileNameBox()->Text()), text);
        EXPECT_EQ(m_page->SelectedFile(), nullptr);
        EXPECT_TRUE(NoResults()) << "the failed path never stands above another file's results";
        CloseDialog();
    }

    // Cut at its NUL, the path would name the file hashed before, pasted or dropped.
    const fs::path cut = s_files[0].string() + '\0' + "tail";
    for (const bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "pasted");
        DropFile(s_files[0]);
        ASSERT_TRUE(test::run_until([&] { return Published(3); }));
        dropped ? DropFile(cut) : PasteText(cut.string());
        EXPECT_NE(FailureMessage().find("NUL"), std::string::npos);
        EXPECT_EQ(m_page->SelectedFile(), nullptr);
        EXPECT_TRUE(m_page->sizeOutput()->Text().empty());
        CloseDialog();
    }

    // With no file chosen, the report would pair the typed text with another file's checksums.
    QApplication::clipboard()->setText("untouched");
    ASSERT_TRUE(CopyAll()->IsEnabled());
    click(CopyAll());
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");

    // A drag of text alone is refused before it is dropped.
    QMimeData text;
    text.setText(qt(s_files[0]));
    EXPECT_FALSE(Enter(&text));
}

TEST_P(ChecksumsPageTest, AFileThatCannotBeReadLeavesNoResultsAndSaysWhy)
{
    Open();
    const auto file = File("going away.bin", "12345");
    DropFile(file);
    click(Toggle(0));
    ASSERT_TRUE(Done(5));

    fs::remove(file);
    click(Toggle(1));
    const auto message = FailureMessage();
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_FALSE(Busy());
    EXPECT_TRUE(NoResults());
    for (const auto& r : Rows()) EXPECT_EQ(r.copy->Visibility(), xaml::Visibility::Collapsed);
    CloseDialog();
}

TEST_P(ChecksumsPageTest, AFailureWhileAnotherDialogIsOpenShowsAfterIt)
{
    Open();
    DropFile(s_files[0]);
    ASSERT_TRUE(test::run_until([&] { return m_page->SelectedFile() != nullptr; }));
    auto other = foundation::make<xaml::ContentDialog>();
    other->XamlRoot(m_page->XamlRoot());
    other->Title(foundation::box_value(hstring(u"Another dialog")));
    other->CloseButtonText(u"OK");
    auto shown = other->ShowAsync();

    // A drop that names no file: the file is forgotten as the failure dialog is asked for.
    m_page->LoadFileFromDataViewAsync(datatransfer::DataPackageView::FromParts({}, nullptr));
    ASSERT_TRUE(test::run_until([&] { return m_page->SelectedFile() == nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget()->windowTitle(), "Another dialog");
    CloseDialog();
    EXPECT_EQ(FailureMessage(), "No file name was given") << "the failure shows once the other dialog has closed";
    CloseDialog();
}

TEST_P(ChecksumsPageTest, TheReportComesThroughTheCopyButtonsOntoTheClipboard)
{
    Open();
    const auto file = File("five.bin", "hello");
    click(Toggle(2));
    click(Toggle(0));
    DropFile(file);
    ASSERT_TRUE(Done(5));

    click(CopyAll());
    // The clipboard holds the report with Linux line ends, the choice in the order offered.
    const auto line = [&](std::uint32_t i) { return narrow(Entry(i)->ShortName()) + ": " + test::ToolChecksum(*Entry(i), file); };
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), file.string() + "\nSize (Bytes): 5\n" + line(0) + "\n" + line(2));

    click(Rows()[2].copy);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), test::ToolChecksum(*Entry(2), file));
}

// What the bindings keep beside the values: each toggle's and each row's tool tip, the size's copy
// button only while there is a size, and copy-all only while the box has text.
TEST_P(ChecksumsPageTest, TheBindingsKeepToolTipsAndCopyButtonsInStepWithTheirValues)
{
    Open();
    const auto& entries = *m_page->ViewModel()->AvailableHashAlgos();
    const auto toggles = All<xaml::ToggleButton>();
    const auto rows = Rows();
    ASSERT_EQ(toggles.size(), entries.Size());
    ASSERT_EQ(rows.size(), entries.Size());
    for (std::uint32_t i = 0; i < entries.Size(); ++i) {
        const auto& entry = *entries.GetAt(i);
        EXPECT_EQ(toggles[i]->widget()->toolTip().toStdString(), "Calculate " + narrow(entry.Description()) + " checksum");
        EXPECT_EQ(rows[i].copy->widget()->toolTip().toStdString(), "Copy " + narrow(entry.ShortName()));
    }

    const auto sizeCopy = as<xaml::Button>(as<xaml::Panel>(m_page->sizeOutput()->Parent())->Children()->GetAt(1));
    EXPECT_EQ(sizeCopy->Visibility(), xaml::Visibility::Collapsed) << "no size yet";
    EXPECT_FALSE(CopyAll()->IsEnabled()) << "the box is empty";

    // The box takes no typing; any text in it enables copy-all, a chosen file or not.
    m_page->fileNameBox()->Text(u"/named");
    EXPECT_TRUE(CopyAll()->IsEnabled());
    m_page->fileNameBox()->Text({});
    EXPECT_FALSE(CopyAll()->IsEnabled());

    click(Toggle(0));
    DropFile(s_files[0]);
    ASSERT_TRUE(Done(3));
    EXPECT_EQ(sizeCopy->Visibility(), xaml::Visibility::Visible);
    EXPECT_TRUE(CopyAll()->IsEnabled());
    {
        // A new run clears the size first; it is held at its file while the page is looked at.
        test::OpeningGate gate(s_files[0]);
        click(Toggle(1));
        ASSERT_TRUE(gate.WaitForArrivals(1));
        EXPECT_EQ(sizeCopy->Visibility(), xaml::Visibility::Collapsed);
    }
    ASSERT_TRUE(Done(3));
    EXPECT_EQ(sizeCopy->Visibility(), xaml::Visibility::Visible);
}

TEST_P(ChecksumsPageTest, TheKeyboardReachesEverythingInReadingOrderAndValuesFitANarrowPage)
{
    // The page as it is beside the navigation pane of a 640-pixel window.
    Open(400, 500);
    QWidget* box = m_page->fileNameBox()->editor();
    EXPECT_EQ(QApplication::focusWidget(), m_page->browseButton()->widget());
    EXPECT_TRUE(box->window()->testAttribute(Qt::WA_KeyboardFocusChange)) << "the focus shows from the start";

    // The file name takes no typing; pasting into it chooses the file, as the paste item does.
    box->setFocus();
    QTest::keyClicks(box, "typed");
    EXPECT_TRUE(m_page->fileNameBox()->Text().empty());
    const auto first = File("first.bin", "first");
    const auto second = File("second.bin", "the second");
    QApplication::clipboard()->setText(qt(first));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(Done(5));
    QApplication::clipboard()->setText(qt(second));
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    ASSERT_TRUE(Done(10));
    EXPECT_EQ(m_page->fileNameBox()->Text(), path_text(second));
    // The keys reach the window, which hands them to the focused box. X11 asks the window for
    // a context menu before it delivers the Menu key itself; other desktops deliver the key alone.
    const auto flyout = as<xaml::MenuFlyout>(m_page->fileNameBox()->ContextFlyout());
    QWindow* window = box->window()->windowHandle();
    struct way { const char* name; Qt::Key key; Qt::KeyboardModifier modifiers; bool request; };
    for (const way& way : {way{"Shift+F10", Qt::Key_F10, Qt::ShiftModifier, false}, way{"Menu on X11", Qt::Key_Menu, Qt::NoModifier, true},
                           way{"Menu", Qt::Key_Menu, Qt::NoModifier, false}}) {
        SCOPED_TRACE(way.name);
        QApplication::setActiveWindow(box->window());
        box->setFocus();
        if (way.request) {
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), window->mapToGlobal(QPoint()));
            QApplication::sendEvent(window, &request);
        }
        QTest::keyClick(window, way.key, way.modifiers);
        ASSERT_TRUE(test::run_until([&] { return flyout->menu() && flyout->menu()->isVisible(); })) << "the keyboard opens the menu";
        EXPECT_EQ(flyout->menu()->activeAction(), flyout->menu()->actions().value(0)) << "at its first item, for a screen reader";
        const QWidget* whole = m_page->fileNameBox()->widget();
        EXPECT_EQ(flyout->menu()->pos(), whole->mapToGlobal(QPoint(4, whole->height()))) << "below the box's left edge";
        flyout->menu()->close();
    }
    QApplication::setActiveWindow(box->window());

    click(ButtonNamed(u"All"));
    ASSERT_TRUE(Done(10));
    // Every value shows whole inside its column, wrapped where it is long; the copy buttons
    // stand in one column.
    const auto* scroller = static_cast<QScrollArea*>(as<xaml::UIElement>(m_page->FindName(u"resultScroller"))->widget());
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
    std::set<int> copyColumn;
    for (const auto& r : Rows()) {
        const auto value = as<xaml::TextBlock>(r.panel->Children()->GetAt(0));
        const QRect shown(value->widget()->mapTo(scroller->viewport(), QPoint(0, 0)), value->widget()->size());
        EXPECT_LE(shown.right(), scroller->viewport()->width()) << narrow(r.label);
        const int oneLine = value->widget()->fontMetrics().horizontalAdvance(value->widget()->property("text").toString());
        EXPECT_TRUE(oneLine <= shown.width() || shown.height() > value->widget()->fontMetrics().height() * 3 / 2)
            << narrow(r.label) << " is cut, not wrapped";
        copyColumn.insert(r.copy->widget()->mapTo(scroller->viewport(), QPoint(0, 0)).x());
        EXPECT_EQ(QAccessible::queryAccessibleInterface(r.copy->widget())->text(QAccessible::Name),
                  QString::fromStdU16String(u"Copy " + r.label.str().substr(0, r.label.size() - 1)));
    }
    EXPECT_EQ(copyColumn.size(), 1u);

    // Tab goes through the page as it reads: the file row, the algorithms and their select
    // buttons, the results, the report.
    const auto sizeCopy = as<xaml::Panel>(m_page->sizeOutput()->Parent())->Children()->GetAt(1);
    std::vector<QWidget*> expected{box, m_page->browseButton()->widget()};
    for (const auto& t : All<xaml::ToggleButton>()) expected.push_back(t->widget());
    expected.push_back(ButtonNamed(u"All")->widget());
    expected.push_back(ButtonNamed(u"None")->widget());
    expected.push_back(sizeCopy->widget());
    for (const auto& r : Rows()) expected.push_back(r.copy->widget());
    expected.push_back(CopyAll()->widget());
    expected.push_back(box);
    box->setFocus();
    auto focused = [&] { return box->window()->focusWidget(); };
    std::vector<QWidget*> visited{focused()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        visited.push_back(focused());
    }
    EXPECT_EQ(visited, expected);
    QTest::keyClick(focused(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), expected[expected.size() - 2]);

    auto name_of = [&](const char16_t* content) {
        return QAccessible::queryAccessibleInterface(ButtonNamed(content)->widget())->text(QAccessible::Name);
    };
    EXPECT_EQ(name_of(u"All"), QString("All"));
    EXPECT_EQ(name_of(u"Copy all checksums"), QString("Copy all checksums"));
}

// Which tokens count is the loader's business; here, that the page restores at load and saves at
// unload, in the order offered, and only with a package identity.
TEST_P(ChecksumsPageTest, TheChoiceIsRestoredInItsSavedOrderOnlyWithAPackageIdentity)
{
    const auto values = [] { return appmodel::ApplicationData::Current()->LocalSettings()->Values(); };
    const auto saved = [&] { return foundation::unbox_value<hstring>(values()->Lookup(GetParam().settingsKey)); };
    const auto name = [&](std::uint32_t i) { return m_page->ViewModel()->AvailableHashAlgos()->GetAt(i)->ShortName(); };
    Identity(true);
    Open();
    m_root.reset();
    values()->Insert(GetParam().settingsKey, foundation::box_value(name(2) + u"," + name(1) + u"," + name(2)));
    Open();
    std::vector<hstring> chosen;
    for (const auto& entry : *m_page->ViewModel()->HashAlgos()) chosen.push_back(entry->ShortName());
    EXPECT_EQ(chosen, (std::vector<hstring>{name(2), name(1), name(2)}));
    EXPECT_EQ(Toggle(1)->IsChecked(), foundation::IReference<bool>(true));
    EXPECT_EQ(Toggle(0)->IsChecked(), foundation::IReference<bool>(false));

    click(Toggle(0));
    m_root.reset();  // unloads the page, which saves
    const auto inOrder = name(0) + u"," + name(1) + u"," + name(2);
    EXPECT_EQ(saved(), inOrder);

    // Without an identity the same store is neither read nor written.
    Identity(false);
    Open();
    EXPECT_EQ(m_page->ViewModel()->HashAlgos()->Size(), 0u);
    click(Toggle(1));
    m_root.reset();
    Identity(true);
    EXPECT_EQ(saved(), inOrder);
}

// Runs end in any order; the page stays busy until none is left.
TEST_P(ChecksumsPageTest, ThePageIsBusyUntilTheLastRunHasEnded)
{
    Open();
    const auto file = s_files[0];
    DropFile(file);
    ASSERT_TRUE(Done(3));
    const auto holders = m_page.use_count();
    test::OpeningGate gate(file);
    click(Toggle(0));
    click(Toggle(1));
    ASSERT_TRUE(gate.WaitForArrivals(2));
    EXPECT_TRUE(Busy());

    // Every run holds the page: one holder fewer, and the older run has ended.
    gate.Release(0);
    ASSERT_TRUE(test::run_until([&] { return m_page.use_count() == holders + 1; }));
    EXPECT_TRUE(Busy()) << "the newer run still reads";
    gate.Release(1);
    ASSERT_TRUE(Done(3));
}

// The program's whole life, as main starts it: the window closes while a run is half-way through
// a file, and the process ends cleanly as soon as Start returns.
// The page of the window's first tool, not one of each kind.
using ChecksumsProgramTest = ChecksumsPageTest;

TEST_F(ChecksumsProgramTest, ClosingTheWindowWhileAFileIsReadEndsTheProcessCleanly)
{
    const auto file = s_files.back();
    const auto close_while_reading = [&] {
        std::mutex lock;
        std::condition_variable changed;
        bool reading = false, closed = false, closed_while_reading = false;
        // Past the first chunk the reader waits until the window has closed.
        test::ReadHook hook(file, [&](std::optional<std::uint64_t> offset) {
            std::unique_lock held(lock);
            if (!offset || *offset == 0 || std::exchange(reading, true)) return;
            changed.notify_all();
            changed.wait_for(held, std::chrono::seconds(30), [&] { return closed; });
        });
        QTimer script;
        script.setInterval(10);
        QObject::connect(&script, &QTimer::timeout, [&] {
            const auto app = App::current();
            if (!app || !app->GetMainWindowHandle()) return;
            auto* window = dynamic_cast<MainWindow*>(xaml::Window::from_handle(app->GetMainWindowHandle()));
            m_page = std::dynamic_pointer_cast<ChecksumsPage>(window->ContentFrame()->Content());
            if (!m_page || !m_page->IsLoaded()) return;
            script.stop();
            click(Toggle(0));
            DropFile(file);
            m_page.reset();
            closed_while_reading = test::run_until([&] {
                std::lock_guard held(lock);
                return reading;
            });
            window->Close();
            std::lock_guard held(lock);
            closed = true;
            changed.notify_all();
        });
        script.start();
        xaml::Application::Start([](const auto&) { foundation::make<App>(); });
        if (!closed_while_reading) std::_Exit(3);
        // Whatever is still at work now races the exit handlers that tear the libraries down.
        std::exit(foundation::thread_pool::idle() ? 0 : 4);
    };
    EXPECT_EXIT(close_while_reading(), ::testing::ExitedWithCode(0), "")
        << "3: the window did not close while the file was read; 4: a run still worked when the process ended";
}
