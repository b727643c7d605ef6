// The tool pages connect to their markup by name: every connection id a page's code names lands,
// as the markup loader hands it out (item templates included), on the element of that x:Name and
// of the type the code takes it as.

#include "app/App.h"
#include "certificates/CertSigningRequestPage.h"
#include "certificates/SelfSignedCertPage.h"
#include "checksums/ChecksumsPage.h"
#include "platform/xaml/controls/ComboBox.h"
#include "platform/xaml/controls/MenuFlyout.h"
#include "platform/xaml/controls/Panel.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/RadioButtons.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace Zintrel;
using foundation::hstring;
using foundation::IInspectable;

namespace {

// Loads markup as a page would and keeps what each connection id is handed.
class connection_recorder final : public xaml::Page, public xaml::IComponentConnector {
public:
    hstring GetRuntimeClassName() const override { return u"Tests.ConnectionRecorder"; }
    void Connect(std::int32_t id, const IInspectable& target) override { connected[id].push_back(target); }
    std::shared_ptr<xaml::IComponentConnector> GetBindingConnector(std::int32_t, const IInspectable&) override
    {
        return nullptr;
    }

    std::map<std::int32_t, std::vector<IInspectable>> connected;
};

struct wired_element {
    std::int32_t id;
    std::u16string name;  // empty for the page itself
    bool (*has_type)(const IInspectable&);
};

struct page_wiring {
    hstring markup;
    std::vector<wired_element> elements;
};

template <class T>
bool is(const IInspectable& object)
{
    return std::dynamic_pointer_cast<T>(object) != nullptr;
}

#define CHECKSUMS_ELEMENT(name, type) wired_element{static_cast<std::int32_t>(ChecksumsPageElement::name), u"" #name, &is<type>}

page_wiring checksums_wiring(const char16_t* markup)
{
    return {markup,
            {
                {static_cast<std::int32_t>(ChecksumsPageElement::page), u"", &is<xaml::Page>},
                CHECKSUMS_ELEMENT(algorithmToggle, xaml::ToggleButton),
                CHECKSUMS_ELEMENT(algorithmScroller, xaml::ScrollViewer),
                CHECKSUMS_ELEMENT(resultScroller, xaml::ScrollViewer),
                CHECKSUMS_ELEMENT(algorithmList, xaml::ItemsRepeater),
                CHECKSUMS_ELEMENT(resultRow, xaml::Panel),
                CHECKSUMS_ELEMENT(checksumText, xaml::TextBlock),
                CHECKSUMS_ELEMENT(checksumCopyButton, xaml::Button),
                CHECKSUMS_ELEMENT(checksumLabel, xaml::TextBlock),
                CHECKSUMS_ELEMENT(sizeOutput, xaml::TextBlock),
                CHECKSUMS_ELEMENT(sizeCopyButton, xaml::Button),
                CHECKSUMS_ELEMENT(sizeLabel, xaml::TextBlock),
                CHECKSUMS_ELEMENT(resultList, xaml::ItemsRepeater),
                CHECKSUMS_ELEMENT(selectNoneButton, xaml::Button),
                CHECKSUMS_ELEMENT(selectAllButton, xaml::Button),
                CHECKSUMS_ELEMENT(browseButton, xaml::Button),
                CHECKSUMS_ELEMENT(fileNameBox, xaml::TextBox),
                CHECKSUMS_ELEMENT(copyAllButton, xaml::Button),
                CHECKSUMS_ELEMENT(fileNameMenu, xaml::MenuFlyout),
                CHECKSUMS_ELEMENT(copyFileNameItem, xaml::MenuFlyoutItem),
                CHECKSUMS_ELEMENT(pasteFileNameItem, xaml::MenuFlyoutItem),
            }};
}

#define CERTIFICATE_ELEMENT(name, type) {CertificatePageElement::name, {0, u"" #name, &is<type>}}

// The page's own layout gives the ids; the names and types are what its code expects of them.
template <class Page>
page_wiring certificate_wiring()
{
    const std::map<CertificatePageElement, wired_element> expected{
        {CertificatePageElement::Page, {0, u"", &is<xaml::Page>}},
        CERTIFICATE_ELEMENT(PemButton, xaml::Button),
        CERTIFICATE_ELEMENT(Pkcs12Button, xaml::Button),
        CERTIFICATE_ELEMENT(PassphraseCtrl, xaml::PasswordBox),
        CERTIFICATE_ELEMENT(KeyTypeCtrl, xaml::ComboBox),
        CERTIFICATE_ELEMENT(PurposeCtrl, xaml::RadioButtons),
        CERTIFICATE_ELEMENT(ValidDaysCtrl, xaml::NumberBox),
        CERTIFICATE_ELEMENT(CommonNameCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(AltNamesCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(OrganizationCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(OrganizationalUnitCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(LocationCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(StateCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(CountryCodeCtrl, xaml::TextBox),
        CERTIFICATE_ELEMENT(ForDigitalSigningCtrl, xaml::RadioButton),
    };
    const auto& layout = foundation::make<Page>()->layout();
    page_wiring wiring{layout.markup, {}};
    for (const auto& connection : layout.connections) {
        auto element = expected.at(connection.element);
        element.id = connection.id;
        wiring.elements.push_back(element);
    }
    return wiring;
}

struct page_case {
    const char* name;
    std::function<page_wiring()> wiring;
};

void PrintTo(const page_case& page, std::ostream* out) { *out << page.name; }

class PageWiring : public ::testing::TestWithParam<page_case> {
protected:
    void SetUp() override
    {
        xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
        m_app = foundation::make<App>();
    }

    std::shared_ptr<App> m_app;
};

}  // namespace

TEST_P(PageWiring, EveryIdLandsOnTheElementOfItsNameAndType)
{
    const auto wiring = GetParam().wiring();
    auto recorder = foundation::make<connection_recorder>();
    // The recorder is handed itself among the rest: it forgets them, whatever the checks found.
    const auto forget = qScopeGuard([&] {
        if (recorder) recorder->connected.clear();
    });
    xaml::load_component(recorder, wiring.markup);
    // Item templates connect once per item: one item of each.
    for (const auto& [id, targets] : std::map(recorder->connected))
        if (const auto list = std::dynamic_pointer_cast<xaml::ItemsRepeater>(targets.front()))
            foundation::as<xaml::DataTemplate>(list->ItemTemplate())->instantiate(list);

    for (const auto& element : wiring.elements) {
        SCOPED_TRACE(foundation::to_narrow(hstring(element.name)) + " (id " + std::to_string(element.id) + ")");
        const auto found = recorder->connected.find(element.id);
        ASSERT_NE(found, recorder->connected.end()) << "the markup connects no element with this id";
        ASSERT_EQ(found->second.size(), 1u) << "the id is given to more than one element";
        const auto& target = found->second.front();
        if (element.name.empty()) {
            EXPECT_EQ(target, recorder) << "the page itself";
        } else {
            EXPECT_TRUE(element.has_type(target)) << "the element is a " << foundation::to_narrow(target->GetRuntimeClassName());
            // A flyout has no name to read back; its type is unique on the page.
            if (const auto named = std::dynamic_pointer_cast<xaml::FrameworkElement>(target)) {
                EXPECT_EQ(named->Name(), hstring(element.name));
            }
        }
    }

    // Nothing the markup made holds the page: once let go, it goes.
    const std::weak_ptr<connection_recorder> page = recorder;
    recorder->connected.clear();
    recorder.reset();
    EXPECT_TRUE(page.expired());
}

INSTANTIATE_TEST_SUITE_P(ToolPages, PageWiring,
                         ::testing::Values(page_case{"NonCryptoChecksumsPage", [] { return checksums_wiring(u"ms-appx:///NonCryptoChecksumsPage.xaml"); }},
                                           page_case{"OpenSslChecksumsPage", [] { return checksums_wiring(u"ms-appx:///OpenSslChecksumsPage.xaml"); }},
                                           page_case{"SelfSignedCertPage", certificate_wiring<SelfSignedCertPage>},
                                           page_case{"CertSigningRequestPage", certificate_wiring<CertSigningRequestPage>}),
                         [](const auto& info) { return std::string(info.param.name); });
