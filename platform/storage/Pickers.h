#pragma once
// File pickers on the desktop's file dialog, owned by a window.

#include "platform/shell/win32.h"
#include "platform/storage/StorageFile.h"

#include <filesystem>
#include <map>
#include <vector>

namespace storage {

// Gives a picker its owner window; the dialog is modal to it.
class IInitializeWithWindow {
public:
    virtual ~IInitializeWithWindow() = default;
    // Fails with E_INVALIDARG (as a result, not an exception) for a handle that names no window.
    virtual foundation::hresult Initialize(shell::HWND owner) = 0;
};

// What both pickers share: the owner window, kept once Initialize has accepted it.
class owned_picker : public IInitializeWithWindow {
public:
    foundation::hresult Initialize(shell::HWND owner) override;

protected:
    shell::HWND owner() const noexcept { return m_owner; }

private:
    shell::HWND m_owner = nullptr;
};

class FileOpenPicker final : public foundation::Object, public owned_picker {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Pickers.FileOpenPicker"; }

    // Extensions with their dot (".crt"), or "*" for any file.
    std::vector<hstring>& FileTypeFilter() noexcept { return m_filter; }
    // The chosen file, or null when the user cancels. A chosen file that StorageFile's
    // GetFileFromPathAsync refuses (a pipe, a device) fails the operation with its error.
    foundation::IAsyncOperation<std::shared_ptr<StorageFile>> PickSingleFileAsync();

private:
    std::vector<hstring> m_filter;
};

class FileSavePicker final : public foundation::Object, public owned_picker {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Pickers.FileSavePicker"; }

    // Named lists of extensions ("PEM" -> {".crt"}).
    std::map<hstring, std::vector<hstring>>& FileTypeChoices() noexcept { return m_choices; }
    // Added to a chosen name for which takes_default_extension holds.
    const hstring& DefaultFileExtension() const noexcept { return m_defaultExtension; }
    void DefaultFileExtension(hstring value) { m_defaultExtension = std::move(value); }
    const hstring& SuggestedFileName() const noexcept { return m_suggested; }
    void SuggestedFileName(hstring value) { m_suggested = std::move(value); }

    // The chosen file, which need not exist yet, or null when the user cancels. Choosing an
    // existing file asks the user to confirm replacing it; a pipe, a socket or a device is
    // returned without the question, for the caller to refuse. The dialog opens in the folder
    // last chosen in a save dialog of this run.
    foundation::IAsyncOperation<std::shared_ptr<StorageFile>> PickSaveFileAsync();

private:
    std::map<hstring, std::vector<hstring>> m_choices;
    hstring m_defaultExtension;
    hstring m_suggested;
};

// Whether the save dialog adds its default extension to a chosen name: only to one with no dot
// at all. ".name", "a." and "..x" are kept as typed, and the dialog's question about replacing an
// existing file is about the name as kept. Whoever adds an extension to a chosen name follows the
// same rule, so that the file written is the one the dialog asked about.
inline bool takes_default_extension(const std::filesystem::path& chosen)
{
    return chosen.filename().native().find('.') == std::filesystem::path::string_type::npos;
}

}  // namespace storage
