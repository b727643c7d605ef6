#include "platform/datatransfer/DataPackageView.h"

#include "platform/foundation/qstring.h"
#include "platform/storage/streams.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace datatransfer {

using foundation::from_qstring;

namespace {

// File managers put the copied files' URLs or paths beside the file list as plain text; that
// text is the file item again, not text of its own.
bool text_names_the_files(const QString& text, const QList<QUrl>& urls)
{
    QStringList lines = text.split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
    if (lines.size() != urls.size()) return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (QUrl(line) != urls[i] && line != urls[i].toLocalFile()) return false;
    }
    return true;
}

}  // namespace

std::shared_ptr<DataPackageView> DataPackageView::FromMimeData(const QMimeData* data)
{
    auto view = foundation::make<DataPackageView>();
    if (!data) return view;
    QList<QUrl> local;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (!url.isLocalFile()) continue;
            local.append(url);
            view->m_paths.push_back(from_qstring(url.toLocalFile()));
        }
        if (!view->m_paths.empty()) view->m_formats.emplace_back(FileNameFormat);
    }
    // QMimeData::hasText() also answers for URL lists; only real plain text counts here.
    if (data->hasFormat("text/plain")) {
        const QString text = data->text();
        if (local.isEmpty() || !text_names_the_files(text, local)) {
            view->m_hasText = true;
            view->m_text = from_qstring(text);
            view->m_formats.push_back(StandardDataFormats::Text());
        }
    }
    return view;
}

bool DataPackageView::Contains(const hstring& format) const
{
    return std::find(m_formats.begin(), m_formats.end(), format) != m_formats.end();
}

namespace {

constexpr foundation::hresult DV_E_FORMATETC = static_cast<foundation::hresult>(0x80040064);

template <class T>
foundation::IAsyncOperation<T> failed(const hstring& what)
{
    foundation::async_source<T> source;
    source.fail(std::make_exception_ptr(foundation::hresult_error(DV_E_FORMATETC, what)));
    return source.operation();
}

template <class T>
foundation::IAsyncOperation<T> done(T value)
{
    foundation::async_source<T> source;
    source.complete(std::move(value));
    return source.operation();
}

}  // namespace

std::shared_ptr<DataPackageView> DataPackageView::FromParts(std::vector<hstring> paths, const hstring* text)
{
    auto view = foundation::make<DataPackageView>();
    view->m_paths = std::move(paths);
    if (!view->m_paths.empty()) view->m_formats.emplace_back(FileNameFormat);
    if (text) {
        view->m_hasText = true;
        view->m_text = *text;
        view->m_formats.push_back(StandardDataFormats::Text());
    }
    return view;
}

foundation::IAsyncOperation<hstring> DataPackageView::GetTextAsync() const
{
    if (!m_hasText) return failed<hstring>(u"The data holds no text");
    return done(m_text);
}

foundation::IAsyncOperation<foundation::IInspectable> DataPackageView::GetDataAsync(const hstring& format) const
{
    if (format == StandardDataFormats::Text() && m_hasText) return done(foundation::box_value(m_text));
    if (format == FileNameFormat && !m_paths.empty()) {
        const hstring& path = m_paths.front();
        std::vector<std::uint8_t> bytes((path.size() + 1) * sizeof(char16_t));
        std::memcpy(bytes.data(), path.data(), path.size() * sizeof(char16_t));
        return done<foundation::IInspectable>(foundation::make<storage::InMemoryRandomAccessStream>(std::move(bytes)));
    }
    return failed<foundation::IInspectable>(u"The data holds no " + format);
}

}  // namespace datatransfer
