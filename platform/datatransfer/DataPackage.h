#pragma once
// Data offered to the clipboard, and the clipboard itself.

#include "platform/datatransfer/DataPackageView.h"

namespace datatransfer {

class DataPackagePropertySet {
public:
    const hstring& Title() const noexcept { return m_title; }
    void Title(hstring value) { m_title = std::move(value); }

private:
    hstring m_title;
};

class DataPackage final : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.ApplicationModel.DataTransfer.DataPackage"; }

    void SetText(const hstring& text);
    // "Text" takes a boxed string; "FileNameW" an IRandomAccessStream of a UTF-16 path and a NUL.
    void SetData(const hstring& format, const foundation::IInspectable& value);
    DataPackagePropertySet& Properties() noexcept { return m_properties; }
    std::shared_ptr<DataPackageView> GetView() const;

private:
    friend class Clipboard;
    DataPackagePropertySet m_properties;
    bool m_hasText = false;
    hstring m_text;
    std::vector<hstring> m_paths;
};

// The desktop's clipboard (the UI thread's).
class Clipboard {
public:
    // A snapshot of what the clipboard holds now.
    static std::shared_ptr<DataPackageView> GetContent();
    // Text is written with the host's line ending: CRLF becomes LF.
    static void SetContent(const std::shared_ptr<DataPackage>& content);
};

}  // namespace datatransfer
