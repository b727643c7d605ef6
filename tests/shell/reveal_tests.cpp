#include "platform/shell/reveal.h"

#include "tests/support/event_loop.h"
#include "tests/support/session_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>

using namespace shell;

namespace {

// A file manager on a private session bus that records what it is asked to show.
class file_manager final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.push_back({message.member(), message.arguments().value(0).toStringList()});
        connection.send(message.createReply());
        return true;
    }
    std::vector<std::pair<QString, QStringList>> calls;
};

const auto* const bus = ::testing::AddGlobalTestEnvironment(new test::private_session_bus);

class PrivateBus : public ::testing::Test {
protected:
    // The file manager's connection goes with its test, even one that failed half-way.
    void TearDown() override
    {
        QDBusConnection("file-manager").unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("file-manager");
    }
    const QString m_address = QString::fromStdString(test::private_session_bus::s_bus.address);
};

std::vector<PIDLIST_ABSOLUTE> items_of(std::initializer_list<const char16_t*> paths)
{
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const char16_t* p : paths) items.push_back(ILCreateFromPathW(p));
    return items;
}

}  // namespace

TEST(ItemLists, OnlyAbsolutePathsMakeItems)
{
    EXPECT_EQ(ILCreateFromPathW(u"relative/file.crt"), nullptr);
    EXPECT_EQ(ILCreateFromPathW(u""), nullptr);
    auto item = ILCreateFromPathW(u"/tmp/not-yet-written.crt");
    EXPECT_NE(item, nullptr);
    ILFree(item);
    EXPECT_EQ(SHOpenFolderAndSelectItems(nullptr, 0, nullptr, 0), foundation::E_INVALIDARG);
}

TEST_F(PrivateBus, TheFileManagerIsAskedToShowTheItemsAsFileUris)
{
    auto service = QDBusConnection::connectToBus(m_address, "file-manager");
    ASSERT_TRUE(service.isConnected());
    file_manager manager;
    ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/FileManager1", &manager));
    ASSERT_TRUE(service.registerService("org.freedesktop.FileManager1"));

    auto folder = ILCreateFromPathW(u"/home/user/My Certs");
    auto one = items_of({u"/home/user/My Certs/server.pfx"});
    EXPECT_EQ(SHOpenFolderAndSelectItems(folder, 1, one.data(), 0), foundation::S_OK);
    ASSERT_TRUE(test::run_until([&] { return manager.calls.size() == 1; }));
    EXPECT_EQ(manager.calls[0].first, "ShowItems");
    EXPECT_EQ(manager.calls[0].second, QStringList{"file:///home/user/My%20Certs/server.pfx"});

    auto two = items_of({u"/srv/\u00e9t\u00e9/host.crt", u"/srv/\u00e9t\u00e9/host.key"});
    EXPECT_EQ(SHOpenFolderAndSelectItems(folder, 2, two.data(), 0), foundation::S_OK);
    ASSERT_TRUE(test::run_until([&] { return manager.calls.size() == 2; }));
    EXPECT_EQ(manager.calls[1].second,
              (QStringList{"file:///srv/%C3%A9t%C3%A9/host.crt", "file:///srv/%C3%A9t%C3%A9/host.key"}));

    for (auto item : one) ILFree(item);
    for (auto item : two) ILFree(item);
    ILFree(folder);
}
