#include "checksums/ChecksumsPage.h"

#include "app/App.h"
#include "app/DialogHelpers.h"
#include "app/Helpers.h"
#include "app/TextHelpers.h"
#include "app/VisualStateGuard.h"
#include "checksums/ChecksumReport.h"
#include "checksums/ChecksumRun.h"
#include "checksums/ChecksumsPageBindings.h"
#include "checksums/ChosenAlgorithms.h"
#include "platform/appmodel/ApplicationData.h"
#include "platform/datatransfer/DataPackage.h"
#include "platform/storage/Pickers.h"
#include "platform/xaml/window/Application.h"
#include "platform/xaml/controls/ContentDialog.h"
#include "platform/xaml/core/converters.h"
#include "platform/xaml/controls/MenuFlyout.h"
#include "platform/xaml/controls/VisualStateManager.h"

#include <boost/algorithm/string/trim.hpp>

#include <cstring>

namespace Zintrel {

using foundation::as;
using foundation::box_value;
using foundation::hstring;
using foundation::IInspectable;

namespace {

// The local settings, or null: without a package identity there are none, and a store that
// cannot be opened leaves the page to work on without them.
std::shared_ptr<foundation::PropertySet> chosen_algorithm_settings() noexcept
{
    const auto app = App::current();
    if (!app || app->IsUnpackaged) return nullptr;
    try {
        return appmodel::ApplicationData::Current()->LocalSettings()->Values();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

ChecksumsPage::ChecksumsPage(std::shared_ptr<ChecksumsViewModel> (*makeViewModel)(), hstring markupUri,
                             std::u16string_view settingsKey)
    : m_viewModel(makeViewModel()), m_markupUri(std::move(markupUri)), m_settingsKey(settingsKey)
{
    const auto weak = get_weak(this);
    if (weak.expired()) throw std::bad_alloc();
    m_viewModel->HashAlgos()->VectorChanged([weak](const auto&, const foundation::IVectorChangedEventArgs&) {
        if (const auto page = weak.lock()) page->OnHashAlgosVectorChanged();
    });
    Loaded({this, &ChecksumsPage::OnPageLoaded});
    Unloaded({this, &ChecksumsPage::OnPageUnloaded});
}

ChecksumsPage::~ChecksumsPage() = default;

void ChecksumsPage::InitializeComponent()
{
    if (m_contentLoaded) return;
    m_contentLoaded = true;
    xaml::Application::LoadComponent(strong_self(), m_markupUri);
}

void ChecksumsPage::Connect(std::int32_t connectionId, const IInspectable& target)
{
    using enum ChecksumsPageElement;
    const auto weak = get_weak(this);
    switch (static_cast<ChecksumsPageElement>(connectionId)) {
    case algorithmToggle: as<xaml::ToggleButton>(target)->Click({weak, &ChecksumsPage::OnAlgorithmCheckBoxClick}); break;
    case algorithmScroller: m_algorithmScroller = as<xaml::ScrollViewer>(target); break;
    case resultScroller: m_resultScroller = as<xaml::ScrollViewer>(target); break;
    case algorithmList: m_algorithmList = as<xaml::ItemsRepeater>(target); break;
    case checksumCopyButton:
    case sizeCopyButton: as<xaml::Button>(target)->Click({weak, &ChecksumsPage::CopyRowValueToClipboard}); break;
    case sizeOutput: m_sizeOutput = as<xaml::TextBlock>(target); break;
    case sizeLabel: m_sizeLabel = as<xaml::TextBlock>(target); break;
    case selectNoneButton: as<xaml::Button>(target)->Click({weak, &ChecksumsPage::SelectNoAlgorithms}); break;
    case selectAllButton: as<xaml::Button>(target)->Click({weak, &ChecksumsPage::SelectAllAlgorithms}); break;
    case browseButton:
        m_browseButton = as<xaml::Button>(target);
        m_browseButton->Click([weak](const IInspectable&, const xaml::RoutedEventArgs&) {
            if (const auto page = weak.lock()) page->BrowseFileAsync();
        });
        break;
    case fileNameBox:
        m_fileNameBox = as<xaml::TextBox>(target);
        m_fileNameBox->DragOver(&ChecksumsPage::OnFileDragOver);
        m_fileNameBox->Drop({weak, &ChecksumsPage::OnFileDrop});
        break;
    case copyAllButton:
        m_copyAllButton = as<xaml::Button>(target);
        m_copyAllButton->Click({weak, &ChecksumsPage::CopyChecksumsToClipboard});
        break;
    case fileNameMenu: as<xaml::MenuFlyout>(as<xaml::FlyoutBase>(target))->Opening(&ChecksumsPage::OnFileNameFlyoutOpening); break;
    case copyFileNameItem: as<xaml::MenuFlyoutItem>(target)->Click({weak, &ChecksumsPage::CopyFileNameToClipboard}); break;
    case pasteFileNameItem: as<xaml::MenuFlyoutItem>(target)->Click({weak, &ChecksumsPage::OnPasteFileNameClick}); break;
    default: break;
    }
    m_contentLoaded = true;
}

std::shared_ptr<xaml::IComponentConnector> ChecksumsPage::GetBindingConnector(std::int32_t connectionId, const IInspectable& target)
{
    using enum ChecksumsPageElement;
    const auto element = static_cast<ChecksumsPageElement>(connectionId);
    switch (element) {
    case page: {
        auto bindings = foundation::make<xaml::XamlBindings>(std::make_unique<ChecksumsPage_obj1_Bindings>());
        bindings->SetDataRoot(strong_self());
        m_bindings = bindings;
        bindings->InitializeOnLoading(as<xaml::FrameworkElement>(strong_self()));
        return bindings;
    }
    case algorithmToggle:
    case resultRow: {
        const auto item = as<xaml::FrameworkElement>(target);
        std::unique_ptr<xaml::IXamlBindings> made;
        if (element == algorithmToggle) made = std::make_unique<ChecksumsPage_obj3_Bindings>();
        else made = std::make_unique<ChecksumsPage_obj8_Bindings>();
        auto bindings = foundation::make<xaml::XamlBindings>(std::move(made));
        bindings->SetDataRoot(item->DataContext());
        bindings->SubscribeForDataContextChanged(item);
        xaml::XamlBindingHelper::SetDataTemplateComponent(item, bindings);
        return bindings;
    }
    default: return nullptr;
    }
}

// ---- the run ----

foundation::fire_and_forget ChecksumsPage::ComputeChecksumsAsync()
{
    const auto self = std::static_pointer_cast<ChecksumsPage>(strong_self());
    // The run keeps its own copy of the choice and the file chosen now, whatever changes later.
    ChecksumRun run(m_viewModel, m_selectedFile);
    const auto generation = ++m_runsStarted;
    xaml::VisualStateManager::GoToState(self, u"InProgress", false);
    // The runs in flight share one guard: the page is busy until the last of them has ended,
    // whichever order they end in.
    auto busy = m_busy.lock();
    if (!busy) {
        busy = std::make_shared<VisualStateGuard>(self);
        m_busy = busy;
    }
    run.Clear();
    m_sizeOutput->Text({});
    if (!run.File()) co_return;

    hstring failure;
    bool failed = false;
    try {
        co_await run.ReadAsync();
    } catch (const foundation::hresult_canceled&) {
        co_return;  // the program is ending
    } catch (const foundation::hresult_error& e) {
        // The file went away or cannot be read: no results, and the user learns why.
        failure = e.message();
        failed = true;
    }
    // A run that a newer one has overtaken keeps quiet: what the page shows, and the report it
    // copies, belong to the file and the choice in view now.
    if (generation != m_runsStarted) co_return;
    if (failed) {
        ShowFailureDialogAsync(self, failure);
        co_return;
    }
    run.Publish();
}

// ---- choosing a file ----

foundation::fire_and_forget ChecksumsPage::BrowseFileAsync()
{
    const auto self = std::static_pointer_cast<ChecksumsPage>(strong_self());
    const auto choice = ++m_choicesStarted;
    std::shared_ptr<storage::StorageFile> file;
    hstring failure;
    bool failed = false;
    try {
        auto picker = foundation::make<storage::FileOpenPicker>();
        const auto app = App::current();
        foundation::check_hresult(picker->Initialize(app ? app->GetMainWindowHandle() : nullptr));
        picker->FileTypeFilter() = {u"*"};
        file = co_await picker->PickSingleFileAsync();
    } catch (const foundation::hresult_error& e) {
        // A picker that cannot open, or a chosen file that is no regular file, is reported like a
        // file that cannot be read; the choice stays.
        failure = e.message();
        failed = true;
    }
    if (choice != m_choicesStarted) co_return;
    if (failed) {
        ShowFailureDialogAsync(self, failure);
        co_return;
    }
    if (!file) co_return;
    m_selectedFile = file;
    m_fileNameBox->Text(file->Path());
    ComputeChecksumsAsync();
}

foundation::fire_and_forget ChecksumsPage::LoadFileFromDataViewAsync(std::shared_ptr<datatransfer::DataPackageView> view)
{
    const auto self = std::static_pointer_cast<ChecksumsPage>(strong_self());
    // A choice made while this one still reads its data or looks up its file supersedes it:
    // the box, the file and the results follow the choice made last.
    const auto choice = ++m_choicesStarted;
    std::u16string path;
    hstring failure;
    bool failed = false;
    try {
        if (view->Contains(TextFormatId())) {
            path = (co_await view->GetTextAsync()).str();
            TrimWhitespace(path);
        } else if (view->Contains(FileNameFormatId())) {
            const auto data = co_await view->GetDataAsync(FileNameFormatId());
            const auto stream = as<storage::IRandomAccessStream>(data);
            const auto size = static_cast<std::uint32_t>(stream->Size());
            auto buffer = foundation::make<storage::Buffer>(size);
            buffer = co_await stream->ReadAsync(buffer, size, storage::InputStreamOptions::None);
            const std::size_t units = buffer->Length() / sizeof(char16_t);
            // Without room for its closing NUL the item names no file.
            if (units == 0) throw foundation::hresult_invalid_argument(u"The file item holds no file name");
            path.resize(units - 1);
            std::memcpy(path.data(), buffer->data(), path.size() * sizeof(char16_t));
        }
    } catch (const foundation::hresult_error& e) {
        failure = e.message();
        failed = true;
    }
    if (choice != m_choicesStarted) co_return;
    m_fileNameBox->Text(hstring(path));
    if (failed) {
        RejectPath(failure);
        co_return;
    }

    std::shared_ptr<storage::StorageFile> file;
    try {
        file = co_await storage::StorageFile::GetFileFromPathAsync(hstring(path));
    } catch (const foundation::hresult_error& e) {
        failure = e.message();
        failed = true;
    }
    if (choice != m_choicesStarted) co_return;
    if (failed) {
        RejectPath(failure);
        co_return;
    }
    m_selectedFile = file;
    ComputeChecksumsAsync();
}

void ChecksumsPage::RejectPath(const hstring& message)
{
    m_selectedFile = nullptr;
    // The failed path must not stand above another file's results: a run without a file clears
    // them, and no run still reading may publish them afterwards.
    ComputeChecksumsAsync();
    ShowFailureDialogAsync(std::static_pointer_cast<ChecksumsPage>(strong_self()), message);
}

void ChecksumsPage::OnFileDragOver(const IInspectable&, const std::shared_ptr<xaml::DragEventArgs>& args)
{
    args->AcceptedOperation(args->DataView()->Contains(FileNameFormatId()) ? xaml::DataPackageOperation::Copy
                                                                           : xaml::DataPackageOperation::None);
    args->Handled(true);
}

void ChecksumsPage::OnFileDrop(const IInspectable&, const std::shared_ptr<xaml::DragEventArgs>& args)
{
    LoadFileFromDataViewAsync(args->DataView());
    args->Handled(true);
}

void ChecksumsPage::OnFileNameFlyoutOpening(const IInspectable& sender, const IInspectable&)
{
    const auto flyout = as<xaml::MenuFlyout>(sender);
    as<xaml::Control>(flyout->Items()->GetAt(1))->IsEnabled(HasTextOrFileName());
}

void ChecksumsPage::OnPasteFileNameClick(const IInspectable&, const xaml::RoutedEventArgs&)
{
    LoadFileFromDataViewAsync(datatransfer::Clipboard::GetContent());
}

foundation::fire_and_forget ChecksumsPage::ShowFailureDialogAsync(std::shared_ptr<ChecksumsPage> page, hstring message)
{
    const auto root = page->XamlRoot();
    // A page that is no longer shown has nobody to tell.
    if (!root) co_return;
    auto dialog = foundation::make<xaml::ContentDialog>();
    dialog->XamlRoot(root);
    dialog->Title(box_value(hstring(u"Failure reading file")));
    dialog->Content(box_value(message));
    dialog->CloseButtonText(u"OK");
    co_await ShowDialogAsync(dialog);
}

void ChecksumsPage::TrimWhitespace(std::u16string& text)
{
    const auto& facet = std::use_facet<std::ctype<wchar_t>>(system_locale);
    boost::algorithm::trim_if(text, [&facet](char16_t c) {
        return facet.is(std::ctype_base::space, static_cast<wchar_t>(c));
    });
}

// ---- the chosen algorithms ----

void ChecksumsPage::OnAlgorithmCheckBoxClick(const IInspectable&, const xaml::RoutedEventArgs&)
{
    std::vector<std::shared_ptr<HashAlgo>> chosen;
    for (const auto& entry : *m_viewModel->AvailableHashAlgos())
        if (entry->Checked()) chosen.push_back(entry);
    // Also when nothing changed: every click starts a run.
    m_viewModel->HashAlgos()->ReplaceAll(chosen);
}

void ChecksumsPage::SelectNoAlgorithms(const IInspectable&, const xaml::RoutedEventArgs&)
{
    for (const auto& entry : *m_viewModel->AvailableHashAlgos()) entry->Checked(false);
    m_viewModel->HashAlgos()->Clear();
}

void ChecksumsPage::SelectAllAlgorithms(const IInspectable&, const xaml::RoutedEventArgs&)
{
    const auto& available = *m_viewModel->AvailableHashAlgos();
    for (const auto& entry : available) entry->Checked(true);
    m_viewModel->HashAlgos()->ReplaceAll(std::vector<std::shared_ptr<HashAlgo>>(available.begin(), available.end()));
}

void ChecksumsPage::OnHashAlgosVectorChanged() { ComputeChecksumsAsync(); }

void ChecksumsPage::OnPageLoaded(const IInspectable&, const xaml::RoutedEventArgs&)
{
    m_sizeOutput->Text({});
    m_browseButton->Focus(xaml::FocusState::Programmatic);
    OnLoaded();
}

void ChecksumsPage::OnPageUnloaded(const IInspectable&, const xaml::RoutedEventArgs&) { OnUnloaded(); }

void ChecksumsPage::OnLoaded()
{
    if (const auto values = chosen_algorithm_settings()) LoadChosenAlgorithms(*m_viewModel, *values, m_settingsKey);
}

void ChecksumsPage::OnUnloaded()
{
    if (const auto values = chosen_algorithm_settings()) SaveChosenAlgorithms(*m_viewModel, *values, m_settingsKey);
}

// ---- the clipboard ----

void ChecksumsPage::CopyChecksumsToClipboard(const IInspectable&, const xaml::RoutedEventArgs&)
{
    // Without a chosen file the path and the checksums on the page would belong to different files.
    if (!m_selectedFile) return;
    const hstring report = ChecksumReport(m_selectedFile->Path(), m_sizeLabel->Text(), m_sizeOutput->Text(), *m_viewModel);
    auto package = foundation::make<datatransfer::DataPackage>();
    package->Properties().Title(u"Checksums for " + m_fileNameBox->Text());
    package->SetText(report);
    datatransfer::Clipboard::SetContent(package);
}

void ChecksumsPage::CopyFileNameToClipboard(const IInspectable&, const xaml::RoutedEventArgs&)
{
    auto package = foundation::make<datatransfer::DataPackage>();
    package->SetText(m_fileNameBox->Text());
    datatransfer::Clipboard::SetContent(package);
}

void ChecksumsPage::CopyRowValueToClipboard(const IInspectable& sender, const xaml::RoutedEventArgs&)
{
    // The value is the first child of the button's row.
    const auto row = as<xaml::Panel>(as<xaml::FrameworkElement>(sender)->Parent());
    const auto value = as<xaml::TextBlock>(row->Children()->GetAt(0));
    auto package = foundation::make<datatransfer::DataPackage>();
    package->SetText(value->Text());
    datatransfer::Clipboard::SetContent(package);
}

}  // namespace Zintrel
