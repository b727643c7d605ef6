#include "platform/storage/Pickers.h"

#include "platform/foundation/qstring.h"
#include "platform/shell/window.h"

#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <sys/stat.h>

namespace storage {

using foundation::from_qstring;
using foundation::to_qstring;

namespace {

QWidget* owner_widget(shell::HWND owner)
{
    return shell::window_widget(owner);
}

QString filter_of(const hstring& name, const std::vector<hstring>& extensions)
{
    QStringList patterns;
    for (const auto& extension : extensions) patterns << (extension == u"*" ? QString("*") : "*" + to_qstring(extension));
    return QString("%1 (%2)").arg(to_qstring(name), patterns.join(' '));
}

// The folder of the file last chosen in a save dialog of this run; the next one opens there, as
// the desktop's own pickers do.
QString& last_save_folder()
{
    static QString folder;
    return folder;
}

// Asks before replacing a file only. A name that holds a pipe, a socket or a device comes back
// unasked: a question about replacing it would mislead, and the caller, who knows what it writes,
// refuses it in its own words. A folder is opened, as before.
class save_dialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override
    {
        if (const QStringList chosen = selectedFiles(); chosen.size() == 1) {
            struct stat status {};
            if (::stat(QFile::encodeName(chosen.front()).constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
                !S_ISDIR(status.st_mode)) {
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }
};

// A finished dialog goes, but not from under a question it still asks (whether to replace a
// file): the question runs its own loop inside the dialog's code, which goes on once the question
// returns, and assistive technology can close the dialog past it. The question is closed with the
// dialog, and the dialog goes after it, from the frame that asked.
void dispose(QFileDialog* dialog)
{
    QList<QDialog*> questions;
    for (QDialog* question : dialog->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (question->isVisible()) questions.append(question);
    if (questions.isEmpty()) {
        dialog->deleteLater();
        return;
    }
    auto open = std::make_shared<qsizetype>(questions.size());
    for (QDialog* question : questions) {
        QObject::connect(question, &QObject::destroyed, dialog, [dialog, open] {
            if (--*open == 0) dialog->deleteLater();
        });
        question->reject();
    }
}

// Shows the dialog without blocking the event loop and completes with the chosen path.
foundation::IAsyncOperation<std::shared_ptr<StorageFile>> run(QFileDialog* dialog)
{
    foundation::async_source<std::shared_ptr<StorageFile>> source;
    dialog->setWindowModality(dialog->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, source](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty()) source.complete(nullptr);
        else source.complete(foundation::make<StorageFile>(from_qstring(chosen.front())));
        dispose(dialog);
    });
    // A dialog that goes with its window chose nothing; the caller learns it after the teardown
    // rather than inside it (a second completion is ignored).
    QObject::connect(dialog, &QObject::destroyed, [source] {
        if (!foundation::ui_thread::post([source] { source.complete(nullptr); })) source.complete(nullptr);
    });
    dialog->open();
    return source.operation();
}

// A file chosen in the dialog goes through the same look-up as a path given any other way, so a
// pipe or a device is refused here, saying what it is, rather than failing once it is read.
foundation::IAsyncOperation<std::shared_ptr<StorageFile>> looked_up(foundation::IAsyncOperation<std::shared_ptr<StorageFile>> chosen)
{
    const auto file = co_await chosen;
    if (!file) co_return nullptr;
    co_return co_await StorageFile::GetFileFromPathAsync(file->Path());
}

}  // namespace

foundation::hresult owned_picker::Initialize(shell::HWND owner)
{
    if (!shell::window_widget(owner)) return foundation::E_INVALIDARG;
    m_owner = owner;
    return foundation::S_OK;
}

foundation::IAsyncOperation<std::shared_ptr<StorageFile>> FileOpenPicker::PickSingleFileAsync()
{
    if (m_filter.empty()) throw foundation::hresult_error(foundation::E_FAIL, u"The picker has no file types");
    auto* dialog = new QFileDialog(owner_widget(owner()), "Open");
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(filter_of(u"Files", m_filter));
    return looked_up(run(dialog));
}

foundation::IAsyncOperation<std::shared_ptr<StorageFile>> FileSavePicker::PickSaveFileAsync()
{
    if (m_choices.empty()) throw foundation::hresult_error(foundation::E_FAIL, u"The picker has no file types");
    auto* dialog = new save_dialog(owner_widget(owner()), "Save As");
    // Always Qt's own dialog: a desktop's dialog (GTK's) asks about the name as typed, and the
    // default suffix is added after it has gone, so "server" would replace server.crt unasked.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& [name, extensions] : m_choices) filters << filter_of(name, extensions);
    dialog->setNameFilters(filters);
    if (!m_defaultExtension.empty()) dialog->setDefaultSuffix(to_qstring(m_defaultExtension).mid(m_defaultExtension[0] == u'.' ? 1 : 0));
    if (!last_save_folder().isEmpty()) dialog->setDirectory(last_save_folder());
    if (!m_suggested.empty()) dialog->selectFile(to_qstring(m_suggested));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog](int result) {
        if (const QStringList chosen = dialog->selectedFiles(); result == QDialog::Accepted && !chosen.isEmpty())
            last_save_folder() = QFileInfo(chosen.front()).absolutePath();
    });
    return run(dialog);
}

}  // namespace storage
