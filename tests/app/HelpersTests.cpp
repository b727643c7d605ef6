#include "app/Helpers.h"

#include "platform/datatransfer/DataPackage.h"
#include "platform/foundation/activation.h"
#include "platform/foundation/format.h"
#include "platform/storage/streams.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <gtest/gtest.h>

#include <cstring>

using namespace Zintrel;
using foundation::box_value;
using xaml::Visibility;

TEST(Helpers, FormatStringAppliesTheFormatToTheOneValue)
{
    EXPECT_EQ(Helpers::FormatString(u"", u"unchanged", u"not a locale!"), u"unchanged")
        << "an empty format returns the value without looking at the locale";
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"Size (Bytes)", u""), u"Size (Bytes):");
    EXPECT_EQ(Helpers::FormatString(u"Copy {}", u"XXH64", u"C"), u"Copy XXH64");
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"", u""), u":");
    EXPECT_EQ(Helpers::FormatString(u"{{{0:>6}}}", u"ab", u""), u"{    ab}");
    EXPECT_EQ(Helpers::FormatString(u"Calculate {0} checksum", u"XXH3 64-bit \u00fcber", u""),
              u"Calculate XXH3 64-bit \u00fcber checksum");
}

TEST(Helpers, FormatStringFailures)
{
    EXPECT_THROW(Helpers::FormatString(u"{0", u"x", u""), std::format_error) << "an unmatched brace";
    EXPECT_THROW(Helpers::FormatString(u"{1}", u"x", u""), std::format_error) << "only argument 0 exists";
    try {
        Helpers::FormatString(u"{0}:", u"x", u"not a locale!");
        FAIL() << "a name that is no locale must be rejected";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "bad locale name");
    }
    // A language-country name works whether or not this machine has that locale.
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"Size", u"zz-ZZ"), u"Size:");
}

TEST(Helpers, BooleanConvertersTreatNullAsTrue)
{
    EXPECT_EQ(Helpers::BooleanToVisibility(IInspectable{}), Visibility::Visible);
    EXPECT_EQ(Helpers::BooleanToVisibility(box_value(false)), Visibility::Collapsed);
    EXPECT_EQ(Helpers::InverseBooleanToVisibility(IInspectable{}), Visibility::Collapsed);
    EXPECT_EQ(Helpers::InverseBooleanToVisibility(box_value(false)), Visibility::Visible);
    EXPECT_THROW(Helpers::BooleanToVisibility(box_value(u"true")), foundation::hresult_error)
        << "a boxed value that is not a Boolean fails the read";
    EXPECT_EQ(Helpers::StringToVisibility(u""), Visibility::Collapsed);
    EXPECT_TRUE(Helpers::StringToEnabled(u"x"));
    EXPECT_FALSE(Helpers::StringToEnabled(u""));
}

TEST(Helpers, TriStateChoosesByTheReference)
{
    EXPECT_EQ(Helpers::TriStateText(nullptr, u"", u"Issuer", u"Common Name"), u"") << "null gives whenNull even when empty";
    EXPECT_EQ(Helpers::TriStateText(box_value(true), u"", u"Issuer", u"Common Name"), u"Issuer");
    EXPECT_EQ(Helpers::TriStateText(box_value(false), u"", u"Issuer", u"Common Name"), u"Common Name");
    const auto a = box_value(u"a");
    const auto b = box_value(u"b");
    EXPECT_EQ(Helpers::TriStateChoice(nullptr, nullptr, a, b), nullptr);
    EXPECT_EQ(Helpers::TriStateChoice(box_value(false), nullptr, a, b), b);
}

TEST(Helpers, ProductFactsAndStaticClass)
{
    EXPECT_EQ(Helpers::ProductDisplayName(), u"Varnholt Zintrel");
    EXPECT_EQ(Helpers::ProductVersion(), u"3.1.3");
    EXPECT_EQ(Helpers::CompanyName(), u"Varnholt");
    EXPECT_EQ(Helpers::DisplayYear(), 2025);
    EXPECT_THROW(foundation::activation::activate(u"Zintrel.Helpers"), foundation::hresult_not_implemented);
    const auto name = Helpers::UserLocaleName();
    EXPECT_TRUE(name.empty() || (name.size() >= 5 && name[2] == u'-')) << "language-country, or empty without one";
}

TEST(Helpers, HasTextOrFileNameLooksAtTheClipboard)
{
    auto text = foundation::make<datatransfer::DataPackage>();
    text->SetText(u"/tmp/file");
    datatransfer::Clipboard::SetContent(text);
    EXPECT_TRUE(HasTextOrFileName());

    const std::u16string path = u"/tmp/file";
    std::vector<std::uint8_t> bytes((path.size() + 1) * 2);
    std::memcpy(bytes.data(), path.data(), path.size() * 2);
    auto file = foundation::make<datatransfer::DataPackage>();
    file->SetData(FileNameFormatId(), foundation::make<storage::InMemoryRandomAccessStream>(std::move(bytes)));
    datatransfer::Clipboard::SetContent(file);
    EXPECT_TRUE(HasTextOrFileName());

    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    EXPECT_FALSE(HasTextOrFileName()) << "a bitmap is neither text nor a file item";
}
