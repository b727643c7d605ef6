#include "platform/storage/Pickers.h"
#include "platform/xaml/window/Window.h"

#include "tests/support/event_loop.h"
#include "tests/support/files.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace storage;
namespace fs = std::filesystem;

namespace {

QFileDialog* open_dialog(QWidget* owner)
{
    QFileDialog* dialog = nullptr;
    // A dialog closed before may not have gone yet.
    test::run_until([&] {
        for (QFileDialog* shown : owner->findChildren<QFileDialog*>())
            if (shown->isVisible()) dialog = shown;
        return dialog != nullptr;
    });
    return dialog;
}

class Pickers : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zintrel-pick-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        m_window = foundation::make<xaml::Window>();
        m_window->Activate();
    }
    void TearDown() override
    {
        m_window->Close();
        fs::remove_all(m_dir);
    }
    fs::path m_dir;
    std::shared_ptr<xaml::Window> m_window;
};

}  // namespace

TEST_F(Pickers, OpenPickerYieldsTheChosenFileOrNullOnCancel)
{
    std::ofstream(m_dir / "input.iso") << "data";
    auto picker = foundation::make<FileOpenPicker>();
    EXPECT_EQ(picker->Initialize(nullptr), foundation::E_INVALIDARG);
    ASSERT_EQ(picker->Initialize(m_window->WindowHandle()), foundation::S_OK);
    picker->FileTypeFilter().push_back(u"*");

    auto chosen = picker->PickSingleFileAsync();
    QFileDialog* dialog = open_dialog(m_window->widget());
    ASSERT_NE(dialog, nullptr) << "the dialog is owned by the window";
    EXPECT_TRUE(dialog->isModal() || dialog->windowModality() != Qt::NonModal);
    dialog->selectFile(QString::fromStdString((m_dir / "input.iso").string()));
    static_cast<QDialog*>(dialog)->accept();
    auto file = test::wait_for(chosen);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Path(), hstring((m_dir / "input.iso").u16string()));

    auto cancelled = picker->PickSingleFileAsync();
    dialog = open_dialog(m_window->widget());
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
    EXPECT_EQ(test::wait_for(cancelled), nullptr);

    // A pipe or a device is refused as a pasted path is, saying what it is.
    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    for (const auto& [special, kind] : {std::pair{m_dir / "pipe", "is a pipe"}, std::pair{fs::path("/dev/null"), "is a device"}}) {
        auto refused = picker->PickSingleFileAsync();
        dialog = open_dialog(m_window->widget());
        ASSERT_NE(dialog, nullptr);
        // The dialog lists no special files; the user types the name.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(special.string()));
        static_cast<QDialog*>(dialog)->accept();
        try {
            test::wait_for(refused);
            ADD_FAILURE() << special << " was chosen as a file";
        } catch (const foundation::hresult_error& e) {
            EXPECT_NE(foundation::to_narrow(e.message()).find(kind), std::string::npos) << foundation::to_narrow(e.message());
        }
    }
}

TEST_F(Pickers, SavePickerYieldsAPathThatNeedNotExist)
{
    auto picker = foundation::make<FileSavePicker>();
    ASSERT_EQ(picker->Initialize(m_window->WindowHandle()), foundation::S_OK);
    picker->FileTypeChoices()[u"PEM"] = {u".crt"};
    picker->DefaultFileExtension(u".crt");

    auto chosen = picker->PickSaveFileAsync();
    QFileDialog* dialog = open_dialog(m_window->widget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    dialog->setDirectory(QString::fromStdString(m_dir.string()));
    dialog->selectFile("server");
    static_cast<QDialog*>(dialog)->accept();
    auto file = test::wait_for(chosen);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Path(), hstring((m_dir / "server.crt").u16string())) << "the default extension is added";
    EXPECT_FALSE(fs::exists(m_dir / "server.crt")) << "choosing does not create the file";
}

TEST_F(Pickers, ASaveDialogOpensInTheFolderLastChosen)
{
    const fs::path chosenFolder = m_dir / "certs";
    fs::create_directories(chosenFolder);
    auto picker = foundation::make<FileSavePicker>();
    ASSERT_EQ(picker->Initialize(m_window->WindowHandle()), foundation::S_OK);
    picker->FileTypeChoices()[u"PEM"] = {u".crt"};
    picker->SuggestedFileName(u"server");
    auto save = [&](const auto& choose) {
        auto chosen = picker->PickSaveFileAsync();
        QFileDialog* dialog = open_dialog(m_window->widget());
        EXPECT_NE(dialog, nullptr);
        if (!dialog) return QString();
        const QString opened = dialog->directory().absolutePath();
        choose(dialog);
        test::wait_for(chosen);
        return opened;
    };
    save([&](QFileDialog* dialog) {
        dialog->selectFile(QString::fromStdString((chosenFolder / "server.crt").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    // A file opened elsewhere meanwhile does not move where the next certificate is saved.
    std::ofstream(m_dir / "input.iso") << "data";
    auto opener = foundation::make<FileOpenPicker>();
    ASSERT_EQ(opener->Initialize(m_window->WindowHandle()), foundation::S_OK);
    opener->FileTypeFilter().push_back(u"*");
    auto opened = opener->PickSingleFileAsync();
    QFileDialog* open = open_dialog(m_window->widget());
    ASSERT_NE(open, nullptr);
    open->selectFile(QString::fromStdString((m_dir / "input.iso").string()));
    static_cast<QDialog*>(open)->accept();
    ASSERT_NE(test::wait_for(opened), nullptr);

    EXPECT_EQ(save([](QFileDialog* dialog) { dialog->reject(); }), QString::fromStdString(chosenFolder.string()));
    EXPECT_EQ(save([](QFileDialog* dialog) { dialog->reject(); }), QString::fromStdString(chosenFolder.string()))
        << "cancelling keeps the folder";
}

TEST_F(Pickers, ASavePickerAsksBeforeReplacingAFileButNotBeforeAPipe)
{
    std::ofstream(m_dir / "old.crt") << "old";
    ASSERT_EQ(mkfifo((m_dir / "pipe.crt").c_str(), 0600), 0);
    fs::create_symlink("pipe.crt", m_dir / "link.crt");
    auto picker = foundation::make<FileSavePicker>();
    ASSERT_EQ(picker->Initialize(m_window->WindowHandle()), foundation::S_OK);
    picker->FileTypeChoices()[u"PEM"] = {u".crt"};
    picker->DefaultFileExtension(u".crt");
    // Chooses the name and answers the question, if one comes, with the button; returns what it asked.
    const auto choose = [&](QFileDialog* dialog, const char* name, QMessageBox::StandardButton answer) {
        QString asked;
        QTimer questions;
        questions.setInterval(10);
        QObject::connect(&questions, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible()) continue;
                asked = box->text();
                box->button(answer)->click();
            }
        });
        questions.start();
        dialog->setDirectory(QString::fromStdString(m_dir.string()));
        dialog->selectFile(name);
        static_cast<QDialog*>(dialog)->accept();
        return asked;
    };

    auto chosen = picker->PickSaveFileAsync();
    QFileDialog* dialog = open_dialog(m_window->widget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(choose(dialog, "old.crt", QMessageBox::No).contains("already exists"));
    EXPECT_TRUE(dialog->isVisible()) << "No keeps the dialog open";
    EXPECT_TRUE(choose(dialog, "old.crt", QMessageBox::Yes).contains("already exists"));
    auto file = test::wait_for(chosen);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Path(), hstring((m_dir / "old.crt").u16string()));

    // A pipe, also behind a link, is handed back unasked for the caller to refuse.
    for (const char* name : {"pipe", "link.crt"}) {
        auto special = picker->PickSaveFileAsync();
        dialog = open_dialog(m_window->widget());
        ASSERT_NE(dialog, nullptr);
        const QString asked = choose(dialog, name, QMessageBox::No);
        EXPECT_EQ(asked.toStdString(), "") << name;
        if (!asked.isEmpty()) dialog->reject();
        file = test::wait_for(special);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Path(), hstring((m_dir / (std::string(name) == "pipe" ? "pipe.crt" : name)).u16string()));
    }
    EXPECT_EQ(fs::status(m_dir / "pipe.crt").type(), fs::file_type::fifo) << "choosing does not touch it";

    // Whatever dots a name holds, the question is about the name handed back, and the rule a
    // caller adds an extension by adds none to it.
    const std::pair<std::string, std::string> names[] = {{"server", "server.crt"}, {".name", ".name"}, {"a.", "a."}, {"..x", "..x"}};
    for (const auto& [typed, kept] : names) {
        SCOPED_TRACE(typed);
        std::ofstream(m_dir / typed) << "old";
        std::ofstream(m_dir / (typed + ".crt")) << "old";
        auto named = picker->PickSaveFileAsync();
        dialog = open_dialog(m_window->widget());
        ASSERT_NE(dialog, nullptr);
        const std::string asked = choose(dialog, typed.c_str(), QMessageBox::Yes).toStdString();
        EXPECT_EQ(asked.rfind(kept + " already exists", 0), 0u) << asked;
        file = test::wait_for(named);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Path(), hstring((m_dir / kept).u16string()));
        EXPECT_EQ(takes_default_extension(typed), typed != kept);
        EXPECT_FALSE(takes_default_extension(m_dir / kept));
    }
}

// Saving over a file asks whether to replace it, in a loop of its own inside the dialog. Assistive
// technology can still press the dialog's Cancel underneath: the pick ends with nothing, the
// question goes with the dialog, and the dialog lives until the question's loop has returned.
TEST_F(Pickers, CancellingASaveDialogUnderItsReplaceQuestionEndsBoth)
{
    std::ofstream(m_dir / "server.crt") << "old";
    auto picker = foundation::make<FileSavePicker>();
    ASSERT_EQ(picker->Initialize(m_window->WindowHandle()), foundation::S_OK);
    picker->FileTypeChoices()[u"PEM"] = {u".crt"};
    auto chosen = picker->PickSaveFileAsync();
    QPointer<QFileDialog> dialog = open_dialog(m_window->widget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString((m_dir / "server.crt").string()));

    QPointer<QMessageBox> asked;
    bool pressed = false;
    QTimer::singleShot(0, dialog.data(), [&] {
        for (auto* question : dialog->findChildren<QMessageBox*>())
            if (question->isVisible()) asked = question;
        if (!asked) return;
        pressed = true;
        auto* cancel = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        QAccessible::queryAccessibleInterface(cancel)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    // Should the question outlive the press, it is answered here so that the test ends and says so.
    QTimer watchdog;
    bool leftOpen = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        leftOpen = asked && asked->isVisible();
        if (leftOpen) asked->reject();
    });
    watchdog.start(std::chrono::seconds(10));
    static_cast<QDialog*>(dialog.data())->accept();  // returns when the question's loop has

    ASSERT_TRUE(pressed) << "the question was shown and Cancel pressed under it";
    EXPECT_FALSE(leftOpen) << "the question closes with its dialog";
    EXPECT_EQ(test::wait_for(chosen), nullptr);
    EXPECT_EQ(test::file_text(m_dir / "server.crt"), "old");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull()) << "the dialog goes once the question has";
}
