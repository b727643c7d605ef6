#include "platform/datatransfer/DataPackageView.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace datatransfer {

namespace {

hstring from_qstring(const QString& text) { return hstring(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()))); }

}  // namespace

std::shared_ptr<DataPackageView> DataPackageView::FromMimeData(const QMimeData* data)
{
    auto view = foundation::make<DataPackageView>();
    if (!data) return view;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) view->m_paths.push_back(from_qstring(url.toLocalFile()));
        if (!view->m_paths.empty()) view->m_formats.emplace_back(FileNameFormat);
    }
    if (data->hasText()) {
        view->m_hasText = true;
        view->m_text = from_qstring(data->text());
        view->m_formats.push_back(StandardDataFormats::Text());
    }
    return view;
}

bool DataPackageView::Contains(const hstring& format) const
{
    return std::find(m_formats.begin(), m_formats.end(), format) != m_formats.end();
}

foundation::IAsyncOperation<hstring> DataPackageView::GetTextAsync() const
{
    foundation::async_source<hstring> source;
    if (m_hasText) source.complete(m_text);
    else source.fail(std::make_exception_ptr(foundation::hresult_error(static_cast<foundation::hresult>(0x80040064),
                                                                        u"The data holds no text")));
    return source.operation();
}

}  // namespace datatransfer
