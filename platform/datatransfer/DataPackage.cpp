#include "platform/datatransfer/DataPackage.h"

#include "platform/foundation/qstring.h"
#include "platform/storage/streams.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <cstring>

namespace datatransfer {

using foundation::to_qstring;

void DataPackage::SetText(const hstring& text)
{
    m_hasText = true;
    m_text = text;
}

void DataPackage::SetData(const hstring& format, const foundation::IInspectable& value)
{
    if (format == StandardDataFormats::Text()) {
        SetText(foundation::unbox_value<hstring>(value));
    } else if (format == FileNameFormat) {
        const auto stream = foundation::as<storage::InMemoryRandomAccessStream>(value);
        const auto& bytes = stream->bytes();
        std::u16string path(bytes.size() / 2, u'\0');
        std::memcpy(path.data(), bytes.data(), path.size() * 2);
        if (const auto nul = path.find(u'\0'); nul != std::u16string::npos) path.resize(nul);
        m_paths = {hstring(std::move(path))};
    } else {
        throw foundation::hresult_invalid_argument(u"The format " + format + u" is not supported");
    }
}

std::shared_ptr<DataPackageView> DataPackage::GetView() const
{
    return DataPackageView::FromParts(m_paths, m_hasText ? &m_text : nullptr);
}

std::shared_ptr<DataPackageView> Clipboard::GetContent()
{
    auto* clipboard = QGuiApplication::clipboard();
    if (!clipboard) throw foundation::hresult_error(foundation::E_FAIL, u"The clipboard is not available");
    return DataPackageView::FromMimeData(clipboard->mimeData());
}

void Clipboard::SetContent(const std::shared_ptr<DataPackage>& content)
{
    auto* clipboard = QGuiApplication::clipboard();
    if (!clipboard) throw foundation::hresult_error(foundation::E_FAIL, u"The clipboard is not available");
    if (!content) {
        clipboard->clear();
        return;
    }
    auto* data = new QMimeData;
    // Text on a Linux clipboard ends its lines with LF alone: a CR would reach terminals and files.
    if (content->m_hasText) data->setText(to_qstring(content->m_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (!content->m_paths.empty()) {
        QList<QUrl> urls;
        for (const auto& path : content->m_paths) urls.append(QUrl::fromLocalFile(to_qstring(path)));
        data->setUrls(urls);
        // A file copied alone offers no text, as a file manager's copy does not.
        if (!content->m_hasText) data->removeFormat("text/plain");
    }
    clipboard->setMimeData(data);
}

}  // namespace datatransfer
