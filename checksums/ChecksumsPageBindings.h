#pragma once
// The compiled bindings of the checksum pages: the page root (lists, size row, copy-all button),
// an algorithm toggle (two-way Checked) and a result row. Both pages use the same three.

#include "checksums/HashAlgo.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/markup/ItemsRepeater.h"
#include "platform/xaml/controls/Panel.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/markup/XamlBindings.h"

namespace Zintrel {

class ChecksumsPage;

class ChecksumsPage_obj1_Bindings final : public xaml::ReferenceTypeXamlBindings<ChecksumsPage> {
public:
    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;

protected:
    void UpdateFrom(const std::shared_ptr<ChecksumsPage>& root, std::uint32_t phase) override;
    void PropertyChanged(const foundation::IInspectable& sender, const foundation::PropertyChangedEventArgs& args) override;
    void DependencyPropertyChanged(const std::shared_ptr<xaml::DependencyObject>& sender,
                                   const xaml::DependencyProperty& property) override;

private:
    void ShowFileSize(const std::shared_ptr<ChecksumsPage>& root);
    void MarkSizeCopyVisibility();
    void MarkCopyAllEnabled();

    std::shared_ptr<xaml::ItemsRepeater> m_algorithmList;
    std::shared_ptr<xaml::TextBlock> m_sizeOutput;
    std::shared_ptr<xaml::Button> m_sizeCopyButton;
    std::shared_ptr<xaml::TextBlock> m_sizeLabel;
    std::shared_ptr<xaml::ItemsRepeater> m_resultList;
    std::shared_ptr<xaml::Button> m_copyAllButton;
    const void* m_viewModel = nullptr;  // the view model listened to, compared by address
};

// The toggle of one algorithm: its name, its tool tip and IsChecked both ways with Checked.
class ChecksumsPage_obj3_Bindings final : public xaml::ReferenceTypeXamlBindings<HashAlgo> {
public:
    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;

protected:
    void UpdateFrom(const std::shared_ptr<HashAlgo>& root, std::uint32_t phase) override;
    void PropertyChanged(const foundation::IInspectable& sender, const foundation::PropertyChangedEventArgs& args) override;

private:
    void ShowChecked(const std::shared_ptr<HashAlgo>& root);
    void WriteBack();

    std::weak_ptr<xaml::ToggleButton> m_toggle;  // the template root owns this object
    // The write-back callback stays on the toggle; it reaches this object only while it lives.
    std::shared_ptr<ChecksumsPage_obj3_Bindings*> m_alive = std::make_shared<ChecksumsPage_obj3_Bindings*>(this);
};

// One result row: shown while the algorithm is chosen, with its checksum and copy button.
class ChecksumsPage_obj8_Bindings final : public xaml::ReferenceTypeXamlBindings<HashAlgo> {
public:
    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;

protected:
    void UpdateFrom(const std::shared_ptr<HashAlgo>& root, std::uint32_t phase) override;
    void PropertyChanged(const foundation::IInspectable& sender, const foundation::PropertyChangedEventArgs& args) override;

private:
    void MarkRowVisibility();
    void ShowChecksum(const std::shared_ptr<HashAlgo>& root);

    std::weak_ptr<xaml::Panel> m_row;  // the template root
    std::shared_ptr<xaml::TextBlock> m_checksumText;
    std::shared_ptr<xaml::Button> m_copyButton;
    std::shared_ptr<xaml::TextBlock> m_nameLabel;
};

}  // namespace Zintrel
