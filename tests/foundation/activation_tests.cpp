#include "platform/foundation/activation.h"

#include "tests/support/event_loop.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace foundation;

namespace {

class Widget : public Object {
public:
    hstring GetRuntimeClassName() const override { return u"Test.Widget"; }
};

const class_registration widget_registration{u"Test.Widget", activator_of<Widget>()};
const class_registration statics_registration{u"Test.Statics", nullptr};

}  // namespace

TEST(Activation, CreatesRegisteredClassesByName)
{
    auto widget = activation::activate(u"Test.Widget");
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->GetRuntimeClassName(), u"Test.Widget");
    EXPECT_THROW(activation::activate(u"Test.Missing"), hresult_class_not_available);
    EXPECT_THROW(activation::activate(u"Test.Statics"), hresult_not_implemented);
    EXPECT_THROW(activation::register_class(u"Test.Widget", nullptr), hresult_invalid_argument);
    EXPECT_EQ(activation::activate(u"Test.Widget")->GetRuntimeClassName(), u"Test.Widget") << "the first registration stays";
}

TEST(Activation, ExportedFactoryLookupByName)
{
    using lookup = hresult (*)(const char16_t*, const IActivationFactory**);
    auto exported = reinterpret_cast<lookup>(dlsym(RTLD_DEFAULT, "DllGetActivationFactory"));
    ASSERT_NE(exported, nullptr) << "the executable must export DllGetActivationFactory (ENABLE_EXPORTS)";

    const IActivationFactory* factory = nullptr;
    EXPECT_EQ(exported(u"Test.Widget", &factory), S_OK);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->ClassName(), u"Test.Widget");
    EXPECT_EQ(factory->ActivateInstance()->GetRuntimeClassName(), u"Test.Widget");

    EXPECT_EQ(exported(u"Test.Missing", &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(exported(u"Test.Widget", nullptr), E_POINTER);
}
