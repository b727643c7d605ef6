#pragma once
// A read-only view of data offered by the clipboard or a drag: which formats it has and their data.

#include "platform/foundation/async.h"
#include "platform/foundation/boxing.h"
#include "platform/foundation/hstring.h"
#include "platform/foundation/object.h"

#include <memory>
#include <vector>

class QMimeData;

namespace datatransfer {

using foundation::hstring;

struct StandardDataFormats {
    static hstring Text() { return u"Text"; }
};

// The shell's file item format: a local file from a file manager.
inline constexpr char16_t FileNameFormat[] = u"FileNameW";

class DataPackageView : public foundation::Object {
public:
    // A snapshot of the data, so the view stays valid after the source changes.
    static std::shared_ptr<DataPackageView> FromMimeData(const QMimeData* data);

    hstring GetRuntimeClassName() const override { return u"Windows.ApplicationModel.DataTransfer.DataPackageView"; }

    const std::vector<hstring>& AvailableFormats() const noexcept { return m_formats; }
    bool Contains(const hstring& format) const;
    foundation::IAsyncOperation<hstring> GetTextAsync() const;
    // The data of a format: "Text" as a boxed string; "FileNameW" as an IRandomAccessStream
    // holding the first file's path as UTF-16 code units and one NUL. A format the data does
    // not hold fails with DV_E_FORMATETC.
    foundation::IAsyncOperation<foundation::IInspectable> GetDataAsync(const hstring& format) const;

    // The local file paths the data names (from text/uri-list), in order.
    const std::vector<hstring>& file_paths() const noexcept { return m_paths; }

    // A view of data made in this process (a DataPackage's own view).
    static std::shared_ptr<DataPackageView> FromParts(std::vector<hstring> paths, const hstring* text);

protected:
    std::vector<hstring> m_formats;
    hstring m_text;
    bool m_hasText = false;
    std::vector<hstring> m_paths;
};

}  // namespace datatransfer
