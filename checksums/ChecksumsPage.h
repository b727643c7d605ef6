#pragma once
// What the two checksum pages share: the elements their markup connects, choosing a file, the
// checksum run, the chosen algorithms and their saved choice, and the clipboard. A page adds its
// view model, its markup and its settings key.

#include "checksums/ChecksumsViewModel.h"
#include "platform/datatransfer/DataPackageView.h"
#include "platform/foundation/async.h"
#include "platform/storage/StorageFile.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/markup/ItemsRepeater.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/controls/ScrollViewer.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/TextBox.h"

#include <string>
#include <string_view>

namespace Zintrel {

class VisualStateGuard;

// The connected elements of the checksum pages' markup, each named as its x:Name and numbered as
// its x:ConnectionId; the page and its bindings connect by these names.
enum class ChecksumsPageElement : std::int32_t {
    page = 1,
    algorithmToggle = 3,  // an item of algorithmList
    algorithmScroller = 4,
    resultScroller = 5,
    algorithmList = 6,
    resultRow = 8,  // an item of resultList
    checksumText = 9,
    checksumCopyButton = 10,
    checksumLabel = 11,
    sizeOutput = 12,
    sizeCopyButton = 13,
    sizeLabel = 14,
    resultList = 15,
    selectNoneButton = 16,
    selectAllButton = 17,
    browseButton = 18,
    fileNameBox = 19,
    copyAllButton = 20,
    fileNameMenu = 21,
    copyFileNameItem = 22,
    pasteFileNameItem = 23,
};

class ChecksumsPage : public xaml::Page, public xaml::IComponentConnector {
public:
    ~ChecksumsPage() override;

    const std::shared_ptr<ChecksumsViewModel>& ViewModel() const noexcept { return m_viewModel; }
    const std::shared_ptr<xaml::TextBox>& fileNameBox() const noexcept { return m_fileNameBox; }
    const std::shared_ptr<xaml::TextBlock>& sizeOutput() const noexcept { return m_sizeOutput; }
    const std::shared_ptr<xaml::TextBlock>& sizeLabel() const noexcept { return m_sizeLabel; }
    const std::shared_ptr<xaml::Button>& browseButton() const noexcept { return m_browseButton; }
    // The file the next run reads; null while none is chosen.
    const std::shared_ptr<storage::StorageFile>& SelectedFile() const noexcept { return m_selectedFile; }

    // Loads the page's markup once.
    void InitializeComponent();
    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;
    std::shared_ptr<xaml::IComponentConnector> GetBindingConnector(std::int32_t connectionId,
                                                                   const foundation::IInspectable& target) override;

    // Hashes the selected file with the chosen algorithms and shows the results.
    foundation::fire_and_forget ComputeChecksumsAsync();

    // Choosing a file.
    foundation::fire_and_forget BrowseFileAsync();
    foundation::fire_and_forget LoadFileFromDataViewAsync(std::shared_ptr<datatransfer::DataPackageView> view);
    static void OnFileDragOver(const foundation::IInspectable& sender, const std::shared_ptr<xaml::DragEventArgs>& args);
    void OnFileDrop(const foundation::IInspectable& sender, const std::shared_ptr<xaml::DragEventArgs>& args);
    static void OnFileNameFlyoutOpening(const foundation::IInspectable& sender, const foundation::IInspectable& args);
    void OnPasteFileNameClick(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    // Shows "Failure reading file" over the page; while another dialog is open it waits for it.
    static foundation::fire_and_forget ShowFailureDialogAsync(std::shared_ptr<ChecksumsPage> page, foundation::hstring message);
    // Blanks at both ends, as the system's locale classifies them; none inside.
    static void TrimWhitespace(std::u16string& text);

    // The chosen algorithms.
    void OnAlgorithmCheckBoxClick(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void SelectNoAlgorithms(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void SelectAllAlgorithms(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void OnLoaded();
    void OnUnloaded();

    // The clipboard.
    void CopyChecksumsToClipboard(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void CopyFileNameToClipboard(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void CopyRowValueToClipboard(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);

protected:
    // Makes the view model (once the page itself exists, so both can hand out references to
    // themselves), then subscribes the page to its choice and to its own Loaded and Unloaded.
    ChecksumsPage(std::shared_ptr<ChecksumsViewModel> (*makeViewModel)(), foundation::hstring markupUri,
                  std::u16string_view settingsKey);

private:
    void OnHashAlgosVectorChanged();
    void OnPageLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void OnPageUnloaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    // Forgets the file and its results and tells the user why the path was no use.
    void RejectPath(const foundation::hstring& message);

    // The markup's part.
    std::shared_ptr<xaml::XamlBindings> m_bindings;
    bool m_contentLoaded = false;
    std::shared_ptr<xaml::ScrollViewer> m_algorithmScroller;
    std::shared_ptr<xaml::ScrollViewer> m_resultScroller;
    std::shared_ptr<xaml::ItemsRepeater> m_algorithmList;
    std::shared_ptr<xaml::TextBlock> m_sizeOutput;
    std::shared_ptr<xaml::TextBlock> m_sizeLabel;
    std::shared_ptr<xaml::Button> m_browseButton;
    std::shared_ptr<xaml::TextBox> m_fileNameBox;
    std::shared_ptr<xaml::Button> m_copyAllButton;

    // The page's own.
    std::shared_ptr<ChecksumsViewModel> m_viewModel;
    std::shared_ptr<storage::StorageFile> m_selectedFile;
    foundation::hstring m_markupUri;
    std::u16string_view m_settingsKey;
    std::uint64_t m_runsStarted = 0;
    // Held by every run in flight; the last to let go returns the page to Normal.
    std::weak_ptr<VisualStateGuard> m_busy;
    std::uint64_t m_choicesStarted = 0;
};

}  // namespace Zintrel
