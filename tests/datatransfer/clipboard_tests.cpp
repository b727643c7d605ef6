#include "platform/datatransfer/DataPackage.h"
#include "platform/storage/streams.h"

#include "tests/support/event_loop.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

using namespace datatransfer;
using foundation::make;

namespace {

using test::wait_for;

std::shared_ptr<storage::InMemoryRandomAccessStream> file_name_stream(std::u16string_view path)
{
    std::vector<std::uint8_t> bytes((path.size() + 1) * 2);
    std::memcpy(bytes.data(), path.data(), path.size() * 2);
    return make<storage::InMemoryRandomAccessStream>(std::move(bytes));
}

std::u16string read_file_name(const foundation::IInspectable& data)
{
    auto stream = foundation::as<storage::InMemoryRandomAccessStream>(data);
    auto buffer = make<storage::Buffer>(static_cast<std::uint32_t>(stream->Size()));
    buffer = wait_for(stream->ReadAsync(buffer, buffer->Capacity(), storage::InputStreamOptions::None));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer->data()), buffer->Length() / 2);
}

}  // namespace

// A CR that does not open a line break is the text's own (a file name may hold one): it stays.
TEST(Clipboard, TextLinesEndWithTheHostsLineEnding)
{
    auto package = make<DataPackage>();
    package->SetText(u"/tmp/a\r\nSize (Bytes): 5\r\nXXH64: 26C7827D889F6DA3\rlone\n");
    Clipboard::SetContent(package);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "/tmp/a\nSize (Bytes): 5\nXXH64: 26C7827D889F6DA3\rlone\n");
}

TEST(Clipboard, AFileItemIsOfferedAsFileNameWithItsTerminator)
{
    auto package = make<DataPackage>();
    package->SetData(FileNameFormat, file_name_stream(u"/tmp/a file \u00e9.bin"));
    Clipboard::SetContent(package);
    auto view = Clipboard::GetContent();
    EXPECT_TRUE(view->Contains(FileNameFormat));
    EXPECT_FALSE(view->Contains(StandardDataFormats::Text())) << "a copied file is not text";
    const auto data = read_file_name(wait_for(view->GetDataAsync(FileNameFormat)));
    EXPECT_EQ(data, std::u16string(u"/tmp/a file \u00e9.bin") + u'\0');
    EXPECT_THROW(wait_for(view->GetTextAsync()), foundation::hresult_error);
}

TEST(Clipboard, DroppedDataOffersLocalFilesAndText)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/srv/one.iso"), QUrl("https://example.invalid/remote")});
    auto view = DataPackageView::FromMimeData(&data);
    EXPECT_TRUE(view->Contains(FileNameFormat));
    ASSERT_EQ(view->file_paths().size(), 1u) << "only local files are file items";
    EXPECT_EQ(view->file_paths()[0], u"/srv/one.iso");

    QMimeData remote;
    remote.setUrls({QUrl("https://example.invalid/remote")});
    EXPECT_FALSE(DataPackageView::FromMimeData(&remote)->Contains(FileNameFormat));
    EXPECT_TRUE(DataPackageView::FromMimeData(nullptr)->AvailableFormats().empty());
}

TEST(Clipboard, AFileManagersTextCopyOfTheFileListIsNotText)
{
    // File managers copy a file as its URL list plus the same URLs as plain text.
    QMimeData copied;
    copied.setUrls({QUrl::fromLocalFile("/home/u/a b.txt")});
    copied.setText("file:///home/u/a%20b.txt\n");
    auto view = DataPackageView::FromMimeData(&copied);
    EXPECT_TRUE(view->Contains(FileNameFormat));
    EXPECT_FALSE(view->Contains(StandardDataFormats::Text()));

    QMimeData both;
    both.setUrls({QUrl::fromLocalFile("/home/u/a.txt")});
    both.setText("  /home/u/other.txt ");
    EXPECT_TRUE(DataPackageView::FromMimeData(&both)->Contains(StandardDataFormats::Text()))
        << "text that is not the file list stays text";
}

TEST(Streams, ReadsStopAtTheEndAndRespectTheCapacity)
{
    auto stream = make<storage::InMemoryRandomAccessStream>(std::vector<std::uint8_t>{1, 2, 3});
    auto buffer = make<storage::Buffer>(2);
    EXPECT_THROW(stream->ReadAsync(buffer, 3, storage::InputStreamOptions::None), foundation::hresult_invalid_argument);
    EXPECT_EQ(wait_for(stream->ReadAsync(buffer, 2, storage::InputStreamOptions::None))->Length(), 2u);
    EXPECT_EQ(wait_for(stream->ReadAsync(buffer, 2, storage::InputStreamOptions::None))->Length(), 1u);
    EXPECT_EQ(buffer->data()[0], 3);
    EXPECT_EQ(wait_for(stream->ReadAsync(buffer, 2, storage::InputStreamOptions::None))->Length(), 0u);
}
