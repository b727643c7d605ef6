#include "certificates/GenerateRun.h"

#include "app/App.h"
#include "app/DialogHelpers.h"
#include "app/TextHelpers.h"
#include "app/VisualStateGuard.h"
#include "certificates/KeyTypes.h"
#include "certificates/NameText.h"
#include "platform/foundation/utf.h"
#include "platform/shell/reveal.h"
#include "platform/storage/Pickers.h"
#include "platform/xaml/controls/ContentDialog.h"
#include "platform/xaml/controls/VisualStateManager.h"
#include "platform/xaml/window/Window.h"

#include <system_error>

namespace Zintrel {

namespace fs = std::filesystem;
using foundation::hstring;

std::shared_ptr<form_snapshot> read_form(const CertificateFormViewModel& form, bool with_alt_names)
{
    auto snapshot = std::make_shared<form_snapshot>();
    snapshot->purpose = form.Purpose();
    snapshot->subject.common_name = foundation::utf::utf16_to_utf8(form.CommonName());
    if (with_alt_names) snapshot->subject.alt_names = foundation::utf::utf16_to_utf8(form.AltNames());
    snapshot->subject.organization = foundation::utf::utf16_to_utf8(form.Organization());
    snapshot->subject.organizational_unit = foundation::utf::utf16_to_utf8(form.OrganizationalUnit());
    snapshot->subject.location = foundation::utf::utf16_to_utf8(form.Location());
    snapshot->subject.state = foundation::utf::utf16_to_utf8(form.State());
    snapshot->subject.country_code = foundation::utf::utf16_to_utf8(form.CountryCode());
    if (const auto* self_signed = dynamic_cast<const SelfSignedCertViewModel*>(&form))
        snapshot->valid_days = self_signed->ValidDays();
    snapshot->key_type = form.KeyTypeLabel();
    snapshot->passphrase = std::make_unique<secret_text>(foundation::utf::utf16_to_utf8(form.Passphrase()));
    return snapshot;
}

namespace {

// The root a dialog opens on: the page's, or the main window's when the page has left it.
std::shared_ptr<xaml::XamlRoot> dialog_root(const std::shared_ptr<xaml::Control>& page)
{
    if (auto root = page->XamlRoot()) return root;
    const auto app = App::current();
    const auto* window = app ? xaml::Window::from_handle(app->GetMainWindowHandle()) : nullptr;
    return window ? window->root() : nullptr;
}

// Gives the dialog its root. The dialog outlives neither page nor root: a window closed while
// it is open takes them down, and the run must not be the last to hold them then.
bool show_on_page_root(const std::shared_ptr<xaml::ContentDialog>& dialog, std::shared_ptr<xaml::Control> page)
{
    const auto root = dialog_root(page);
    dialog->XamlRoot(root);
    return root != nullptr;
}

hstring wide(const fs::path& path) { return hstring(path.u16string()); }

// Asks before a run replaces a private key that the save dialog never showed.
foundation::IAsyncOperation<bool> confirm_key_replacement(std::shared_ptr<xaml::Control> page, fs::path key)
{
    auto dialog = foundation::make<xaml::ContentDialog>();
    if (!show_on_page_root(dialog, std::move(page))) co_return false;
    dialog->Title(foundation::box_value(hstring(u"Replace the key file?")));
    dialog->Content(foundation::box_value(
        u"\u201c" + wide(key.filename()) + u"\u201d already exists in \u201c" + wide(key.parent_path()) +
        u"\u201d. Replacing it loses the private key it holds, and whatever it protects cannot be used any more."));
    dialog->PrimaryButtonText(u"Replace");
    dialog->CloseButtonText(u"Cancel");
    // Enter keeps the key.
    dialog->DefaultButton(xaml::ContentDialogButton::Close);
    co_return co_await ShowDialogAsync(dialog) == xaml::ContentDialogResult::Primary;
}

void reveal(const std::vector<fs::path>& files)
{
    if (files.empty()) return;
    std::vector<shell::PIDLIST_ABSOLUTE> items;
    for (const auto& file : files) items.push_back(shell::ILCreateFromPathW(file.u16string().c_str()));
    const auto folder = shell::ILCreateFromPathW(files.front().parent_path().u16string().c_str());
    shell::SHOpenFolderAndSelectItems(folder, static_cast<shell::UINT>(items.size()), items.data(), 0);
    shell::ILFree(folder);
    for (auto item : items) shell::ILFree(item);
}

hstring failure_text(const std::error_code& error)
{
    // A failure that left no reason behind still failed.
    if (!error) return u"The cryptography library failed without giving a reason. Nothing was written.";
    return hstring(error_message_text(error));
}

}  // namespace

foundation::fire_and_forget show_failure_dialog(std::shared_ptr<xaml::Control> page, hstring title, hstring message)
{
    auto dialog = foundation::make<xaml::ContentDialog>();
    if (!show_on_page_root(dialog, std::move(page))) co_return;
    dialog->Title(foundation::box_value(title));
    dialog->Content(foundation::box_value(message));
    dialog->CloseButtonText(u"OK");
    co_await ShowDialogAsync(dialog);
}

foundation::fire_and_forget run_generate(std::shared_ptr<xaml::Control> page, std::shared_ptr<form_snapshot> form,
                                         generate_plan plan)
{
    if (without_blanks(form->subject.common_name).empty()) co_return;
    if (!KeyTypeTable.contains(form->key_type)) {
        show_failure_dialog(page, plan.failure_title, u"No key type is chosen. Choose one of the key types and try again.");
        co_return;
    }
    try {
        check_passphrase(form->passphrase->view());
        if (plan.check) plan.check();
    } catch (const std::error_code& refused) {
        show_failure_dialog(page, plan.failure_title, failure_text(refused));
        co_return;
    }
    plan.check = nullptr;  // it holds the form, passphrase included

    auto picker = foundation::make<storage::FileSavePicker>();
    const auto app = App::current();
    foundation::check_hresult(picker->Initialize(app ? app->GetMainWindowHandle() : nullptr));
    picker->FileTypeChoices()[plan.choice_name] = plan.extensions;
    picker->DefaultFileExtension(plan.extensions.front());
    const auto file = co_await picker->PickSaveFileAsync();
    if (!file) co_return;

    fs::path path(file->Path().str());
    // The dialog's rule, not the file system's: the dialog keeps ".name" and asked about that name,
    // so adding ".crt" to it would replace ".name.crt" unasked.
    if (storage::takes_default_extension(path)) path += plan.extensions.front().str();
    // A name that cannot be written is refused before the user is asked to give up a key for it.
    try {
        check_outputs(path, plan.writes_key_file);
    } catch (const std::error_code& refused) {
        show_failure_dialog(page, plan.failure_title, failure_text(refused));
        co_return;
    }
    if (plan.writes_key_file) {
        const auto key = key_path_for(path);
        std::error_code ignored;
        if (fs::exists(fs::symlink_status(key, ignored)) && !co_await confirm_key_replacement(page, key)) co_return;
    }

    xaml::VisualStateManager::GoToState(page, u"InProgress", false);
    VisualStateGuard guard(page);
    foundation::apartment_context ui;
    co_await foundation::resume_background();

    std::vector<fs::path> written;
    std::error_code error;
    bool failed = false;
    try {
        written = plan.make_and_write(path);
    } catch (const std::error_code& caught) {
        error = caught;
        failed = true;
    }
    // The passphrase is wiped now rather than when the last reference goes.
    plan.make_and_write = nullptr;
    form.reset();

    co_await ui;
    if (failed) {
        show_failure_dialog(page, plan.failure_title, failure_text(error));
        co_return;
    }
    // A window closed during the run has nobody left to show the files to.
    if (!foundation::ui_thread::finishing()) reveal(written);
}

}  // namespace Zintrel
