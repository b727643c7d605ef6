#include "platform/foundation/object.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

using namespace foundation;

namespace {

class IGreeter {
public:
    virtual ~IGreeter() = default;
    virtual hstring Greet() const = 0;
};

class Greeter : public Object, public IGreeter {
public:
    Greeter() : m_self_in_constructor(get_weak(this)) {}
    hstring GetRuntimeClassName() const override { return u"Test.Greeter"; }
    hstring Greet() const override { return u"hello"; }
    std::weak_ptr<Greeter> m_self_in_constructor;
};

class Plain : public Object {
public:
    hstring GetRuntimeClassName() const override { return u"Test.Plain"; }
};

class Throwing : public Object {
public:
    explicit Throwing(std::weak_ptr<Throwing>* seen) { *seen = get_weak(this); throw std::runtime_error("no"); }
    hstring GetRuntimeClassName() const override { return u"Test.Throwing"; }
};

}  // namespace

TEST(Object, ConstructorCanHandOutReferencesToItself)
{
    auto greeter = make<Greeter>();
    EXPECT_EQ(greeter->m_self_in_constructor.lock(), greeter);
    EXPECT_EQ(get_strong(greeter.get()), greeter);
    std::weak_ptr<Greeter> weak = greeter;
    greeter.reset();
    EXPECT_TRUE(weak.expired()) << "the object must not keep itself alive";
}

TEST(Object, FailedConstructionLeavesNoLiveReference)
{
    std::weak_ptr<Throwing> seen;
    EXPECT_THROW(make<Throwing>(&seen), std::runtime_error);
    EXPECT_TRUE(seen.expired());
    // The next object made on this thread is not confused with the failed one.
    auto plain = make<Plain>();
    EXPECT_EQ(get_strong(plain.get()), plain);
}

TEST(Object, AsAndTryAsCastBetweenInterfaces)
{
    IInspectable object = make<Greeter>();
    EXPECT_EQ(as<IGreeter>(object)->Greet(), u"hello");
    EXPECT_EQ(object->GetRuntimeClassName(), u"Test.Greeter");

    IInspectable plain = make<Plain>();
    EXPECT_EQ(try_as<IGreeter>(plain), nullptr);
    EXPECT_THROW(as<IGreeter>(plain), hresult_no_interface);
    EXPECT_THROW(as<IGreeter>(IInspectable{}), hresult_no_interface);
    EXPECT_EQ(try_as<IGreeter>(IInspectable{}), nullptr);

    try {
        as<IGreeter>(plain);
    } catch (const hresult_error& e) {
        EXPECT_EQ(e.code(), E_NOINTERFACE);
        EXPECT_FALSE(e.message().empty());
    }
}

TEST(Errors, CheckHresultRaisesTheNamedKinds)
{
    EXPECT_NO_THROW(check_hresult(S_OK));
    EXPECT_THROW(check_hresult(E_BOUNDS), hresult_out_of_bounds);
    EXPECT_THROW(check_hresult(E_INVALIDARG), hresult_invalid_argument);
    EXPECT_THROW(check_hresult(E_NOTIMPL), hresult_not_implemented);
    try {
        check_hresult(APPMODEL_ERROR_NO_PACKAGE);
        FAIL() << "a failing HRESULT must raise";
    } catch (const hresult_error& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.code()), 0x80073D54u);
    }
    try {
        throw hresult_invalid_argument(u"the path is relative");
    } catch (...) {
        EXPECT_EQ(to_hresult(), E_INVALIDARG);
    }
    hresult_error with_errno(hresult_from_errno(ENOENT));
    EXPECT_EQ(to_narrow(with_errno.message()), "No such file or directory");
}
