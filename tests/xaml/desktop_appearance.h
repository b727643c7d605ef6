#pragma once
// A settings portal on the test program's private session bus, and the WCAG contrast of
// painted colours: what the appearance tests need to follow the desktop's light or dark style.

#include "platform/xaml/window/appearance.h"

#include "tests/support/session_bus.h"

#include <QApplication>
#include <QColor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QPalette>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace test {

// The portal answers with the colour scheme the test gives it. An old portal (Debian 12's)
// knows only Read, which wraps the value in one variant more.
class settings_portal final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const bool readOne = message.member() == "ReadOne";
        if ((readOne && !hasReadOne) || (!readOne && message.member() != "Read")) {
            connection.send(message.createErrorReply("org.freedesktop.DBus.Error.UnknownMethod", "no such method"));
            return true;
        }
        if (message.arguments() != QVariantList{"org.freedesktop.appearance", "color-scheme"}) {
            connection.send(message.createErrorReply("org.freedesktop.portal.Error.NotFound", "no such setting"));
            return true;
        }
        QVariant value = QVariant::fromValue(QDBusVariant(scheme));
        if (!readOne) value = QVariant::fromValue(QDBusVariant(value));
        connection.send(message.createReply(value));
        return true;
    }
    uint scheme = 0;
    bool hasReadOne = true;
};

inline double luminance(const QColor& color)
{
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

// The WCAG contrast ratio.
inline double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class DesktopAppearance : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_service = QDBusConnection::connectToBus(QString::fromStdString(private_session_bus::s_bus.address), "portal");
        ASSERT_TRUE(m_service.isConnected());
        ASSERT_TRUE(m_service.registerVirtualObject("/org/freedesktop/portal/desktop", &m_portal));
    }
    // The portal, the following and the palette go with their test, even one that failed half-way.
    void TearDown() override
    {
        xaml::stop_following_desktop_appearance();
        QApplication::setPalette(QPalette());
        m_service.unregisterService("org.freedesktop.portal.Desktop");
        QDBusConnection::disconnectFromBus("portal");
    }
    void Publish() { ASSERT_TRUE(m_service.registerService("org.freedesktop.portal.Desktop")); }
    void Change(uint scheme)
    {
        m_portal.scheme = scheme;
        auto signal = QDBusMessage::createSignal("/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings",
                                                 "SettingChanged");
        signal << QString("org.freedesktop.appearance") << QString("color-scheme") << QVariant::fromValue(QDBusVariant(scheme));
        m_service.send(signal);
    }
    QDBusConnection m_service{QString()};
    settings_portal m_portal;
};

}  // namespace test
