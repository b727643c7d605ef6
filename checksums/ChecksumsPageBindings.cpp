#include "checksums/ChecksumsPageBindings.h"

#include "app/Helpers.h"
#include "checksums/ChecksumsPage.h"
#include "platform/xaml/controls/ToolTipService.h"
#include "platform/xaml/core/AutomationProperties.h"

#include <string>

namespace Zintrel {

using foundation::as;
using foundation::box_value;
using foundation::hstring;
using foundation::IInspectable;

namespace {

hstring format(const hstring& pattern, const hstring& value)
{
    return Helpers::FormatString(pattern, value, Helpers::UserLocaleName());
}

const hstring size_name = u"Size (Bytes)";

// A copy button's tool tip says what it copies; a screen reader names the button by it too.
void NameCopyButton(const std::shared_ptr<xaml::Button>& button, const hstring& text)
{
    xaml::ToolTipService::SetToolTip(button, box_value(text));
    xaml::AutomationProperties::SetName(button, text);
}

bool names(const foundation::PropertyChangedEventArgs& args, const char16_t* property)
{
    return args.PropertyName().empty() || args.PropertyName() == property;
}

}  // namespace

// ---- page root ----

void ChecksumsPage_obj1_Bindings::Connect(std::int32_t connectionId, const IInspectable& target)
{
    using enum ChecksumsPageElement;
    switch (static_cast<ChecksumsPageElement>(connectionId)) {
    case algorithmList: m_algorithmList = as<xaml::ItemsRepeater>(target); break;
    case sizeOutput: m_sizeOutput = as<xaml::TextBlock>(target); break;
    case sizeCopyButton: m_sizeCopyButton = as<xaml::Button>(target); break;
    case sizeLabel: m_sizeLabel = as<xaml::TextBlock>(target); break;
    case resultList: m_resultList = as<xaml::ItemsRepeater>(target); break;
    case copyAllButton: m_copyAllButton = as<xaml::Button>(target); break;
    default: break;
    }
}

void ChecksumsPage_obj1_Bindings::UpdateFrom(const std::shared_ptr<ChecksumsPage>& root, std::uint32_t phase)
{
    const bool full = phase & not_phased;
    const auto viewModel = root ? root->ViewModel() : nullptr;
    tracking().UpdatePropertyChangedListener(0, viewModel);
    m_viewModel = viewModel.get();
    tracking().UpdateDependencyPropertyChangedListener(1, root ? root->sizeOutput() : nullptr, xaml::TextBlock::TextProperty());
    tracking().UpdateDependencyPropertyChangedListener(2, root ? root->fileNameBox() : nullptr, xaml::TextBox::TextProperty());
    if (viewModel) {
        if (full) {
            if (m_algorithmList) m_algorithmList->ItemsSource(viewModel->AvailableHashAlgos());
            if (m_resultList) m_resultList->ItemsSource(viewModel->AvailableHashAlgos());
        }
        ShowFileSize(root);
    }
    if (full) {
        mark_due(u"sizeLabel.Text", [this] {
            if (m_sizeLabel && DataRoot()) m_sizeLabel->Text(format(u"{0}:", size_name));
        });
        mark_due(u"sizeCopyButton.ToolTip", [this] {
            if (m_sizeCopyButton && DataRoot()) NameCopyButton(m_sizeCopyButton, format(u"Copy {0}", size_name));
        });
    }
    if (root && root->sizeOutput()) MarkSizeCopyVisibility();
    if (root && root->fileNameBox()) MarkCopyAllEnabled();
    run_due();
}

void ChecksumsPage_obj1_Bindings::PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args)
{
    if (sender && sender.get() == m_viewModel && names(args, u"FileSize")) ShowFileSize(DataRoot());
    run_due();
}

void ChecksumsPage_obj1_Bindings::DependencyPropertyChanged(const std::shared_ptr<xaml::DependencyObject>& sender,
                                                            const xaml::DependencyProperty& property)
{
    if (const auto root = DataRoot()) {
        if (sender && sender == root->sizeOutput() && property == xaml::TextBlock::TextProperty()) MarkSizeCopyVisibility();
        if (sender && sender == root->fileNameBox() && property == xaml::TextBox::TextProperty()) MarkCopyAllEnabled();
    }
    run_due();
}

void ChecksumsPage_obj1_Bindings::ShowFileSize(const std::shared_ptr<ChecksumsPage>& root)
{
    if (root && m_sizeOutput) m_sizeOutput->Text(foundation::to_hstring(root->ViewModel()->FileSize()));
}

void ChecksumsPage_obj1_Bindings::MarkSizeCopyVisibility()
{
    mark_due(u"sizeCopyButton.Visibility", [this] {
        const auto root = DataRoot();
        if (root && root->sizeOutput() && m_sizeCopyButton)
            m_sizeCopyButton->Visibility(Helpers::StringToVisibility(root->sizeOutput()->Text()));
    });
}

void ChecksumsPage_obj1_Bindings::MarkCopyAllEnabled()
{
    mark_due(u"copyAllButton.IsEnabled", [this] {
        const auto root = DataRoot();
        if (root && root->fileNameBox() && m_copyAllButton)
            m_copyAllButton->IsEnabled(Helpers::StringToEnabled(root->fileNameBox()->Text()));
    });
}

// ---- algorithm toggle ----

void ChecksumsPage_obj3_Bindings::Connect(std::int32_t connectionId, const IInspectable& target)
{
    if (static_cast<ChecksumsPageElement>(connectionId) != ChecksumsPageElement::algorithmToggle) return;
    const auto toggle = as<xaml::ToggleButton>(target);
    m_toggle = toggle;
    // Never unregistered: the callback lives as long as the toggle and checks that we still do.
    toggle->RegisterPropertyChangedCallback(
        xaml::ToggleButton::IsCheckedProperty(),
        [alive = std::weak_ptr<ChecksumsPage_obj3_Bindings*>(m_alive)](const std::shared_ptr<xaml::DependencyObject>&,
                                                                         const xaml::DependencyProperty&) {
            if (const auto self = alive.lock()) (*self)->WriteBack();
        });
}

void ChecksumsPage_obj3_Bindings::UpdateFrom(const std::shared_ptr<HashAlgo>& root, std::uint32_t)
{
    // Every binding of the template belongs to phase 0, which stands for a full update.
    tracking().UpdatePropertyChangedListener(0, root);
    const auto toggle = m_toggle.lock();
    if (!root || !toggle) return;
    toggle->Content(box_value(root->ShortName()));
    ShowChecked(root);
    mark_due(u"toggle.ToolTip", [this] {
        const auto root = DataRoot();
        const auto toggle = m_toggle.lock();
        if (root && toggle)
            xaml::ToolTipService::SetToolTip(toggle, box_value(format(u"Calculate {0} checksum", root->Description())));
    });
    run_due();
}

void ChecksumsPage_obj3_Bindings::PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args)
{
    const auto root = DataRoot();
    if (root && sender == root && names(args, u"Checked")) ShowChecked(root);
    run_due();
}

void ChecksumsPage_obj3_Bindings::ShowChecked(const std::shared_ptr<HashAlgo>& root)
{
    if (const auto toggle = m_toggle.lock()) toggle->IsChecked(root->Checked());
}

void ChecksumsPage_obj3_Bindings::WriteBack()
{
    if (!m_initialized) return;
    const auto root = DataRoot();
    const auto toggle = m_toggle.lock();
    if (!root || !toggle) return;
    // The indeterminate state counts as not chosen.
    const auto checked = toggle->IsChecked();
    root->Checked(checked.has_value() && *checked);
}

// ---- result row ----

void ChecksumsPage_obj8_Bindings::Connect(std::int32_t connectionId, const IInspectable& target)
{
    using enum ChecksumsPageElement;
    switch (static_cast<ChecksumsPageElement>(connectionId)) {
    case resultRow: m_row = as<xaml::Panel>(target); break;
    case checksumText: m_checksumText = as<xaml::TextBlock>(target); break;
    case checksumCopyButton: m_copyButton = as<xaml::Button>(target); break;
    case checksumLabel: m_nameLabel = as<xaml::TextBlock>(target); break;
    default: break;
    }
}

void ChecksumsPage_obj8_Bindings::UpdateFrom(const std::shared_ptr<HashAlgo>& root, std::uint32_t)
{
    tracking().UpdatePropertyChangedListener(0, root);
    if (!root) return;
    MarkRowVisibility();
    ShowChecksum(root);
    mark_due(u"copyButton.ToolTip", [this] {
        if (const auto root = DataRoot(); root && m_copyButton) NameCopyButton(m_copyButton, format(u"Copy {0}", root->ShortName()));
    });
    mark_due(u"nameLabel.Text", [this] {
        if (const auto root = DataRoot(); root && m_nameLabel) m_nameLabel->Text(format(u"{0}:", root->ShortName()));
    });
    run_due();
}

void ChecksumsPage_obj8_Bindings::PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args)
{
    const auto root = DataRoot();
    if (root && sender == root) {
        if (names(args, u"Checked")) MarkRowVisibility();
        if (names(args, u"Checksum")) ShowChecksum(root);
    }
    run_due();
}

void ChecksumsPage_obj8_Bindings::MarkRowVisibility()
{
    mark_due(u"row.Visibility", [this] {
        const auto root = DataRoot();
        const auto row = m_row.lock();
        if (root && row) row->Visibility(Helpers::BooleanToVisibility(foundation::IReference<bool>(root->Checked())));
    });
}

void ChecksumsPage_obj8_Bindings::ShowChecksum(const std::shared_ptr<HashAlgo>& root)
{
    if (m_checksumText) m_checksumText->Text(root->Checksum());
    mark_due(u"copyButton.Visibility", [this] {
        if (const auto root = DataRoot(); root && m_copyButton)
            m_copyButton->Visibility(Helpers::StringToVisibility(root->Checksum()));
    });
}

}  // namespace Zintrel
