#include "platform/xaml/window/appearance.h"

#include "platform/xaml/core/contrast.h"
#include "platform/xaml/window/readable_style.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#include <QPalette>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyleFactory>

namespace xaml {

namespace {

constexpr auto portal_service = "org.freedesktop.portal.Desktop";
constexpr auto portal_path = "/org/freedesktop/portal/desktop";
constexpr auto settings_interface = "org.freedesktop.portal.Settings";
constexpr auto appearance_namespace = "org.freedesktop.appearance";
constexpr auto color_scheme_key = "color-scheme";
// A portal that answers late must not hold up the window for long.
constexpr int portal_timeout_ms = 1000;

// The portal's values: no preference, prefer dark, prefer light.
enum class color_scheme : uint { none = 0, dark = 1, light = 2 };

color_scheme scheme_of(QVariant value)
{
    // Read wraps the value in one variant more than ReadOne and the signal do.
    while (value.userType() == qMetaTypeId<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    bool ok = false;
    const uint scheme = value.toUInt(&ok);
    return ok && scheme <= 2 ? static_cast<color_scheme>(scheme) : color_scheme::none;
}

bool is_dark(const QPalette& palette) { return palette.color(QPalette::Window).lightness() < 128; }

QPalette dark_palette()
{
    QPalette p(QColor(0x20, 0x20, 0x20));
    const QColor text(0xFF, 0xFF, 0xFF), disabledText(0x7A, 0x7A, 0x7A);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, QColor(0x20, 0x20, 0x20));
        p.setColor(group, QPalette::WindowText, off ? disabledText : text);
        p.setColor(group, QPalette::Base, off ? QColor(0x26, 0x26, 0x26) : QColor(0x2B, 0x2B, 0x2B));
        p.setColor(group, QPalette::AlternateBase, QColor(0x32, 0x32, 0x32));
        p.setColor(group, QPalette::Text, off ? disabledText : text);
        p.setColor(group, QPalette::PlaceholderText, off ? disabledText : QColor(0xAB, 0xAB, 0xAB));
        p.setColor(group, QPalette::Button, off ? QColor(0x26, 0x26, 0x26) : QColor(0x2D, 0x2D, 0x2D));
        p.setColor(group, QPalette::ButtonText, off ? disabledText : text);
        p.setColor(group, QPalette::BrightText, text);
        p.setColor(group, QPalette::Light, QColor(0x45, 0x45, 0x45));
        p.setColor(group, QPalette::Midlight, QColor(0x38, 0x38, 0x38));
        p.setColor(group, QPalette::Mid, QColor(0x5A, 0x5A, 0x5A));
        p.setColor(group, QPalette::Dark, QColor(0x14, 0x14, 0x14));
        p.setColor(group, QPalette::Shadow, QColor(0x00, 0x00, 0x00));
        p.setColor(group, QPalette::Highlight, off ? QColor(0x4A, 0x4A, 0x4A) : QColor(0x60, 0xCD, 0xFF));
        p.setColor(group, QPalette::HighlightedText, off ? disabledText : QColor(0x00, 0x00, 0x00));
        p.setColor(group, QPalette::Link, QColor(0x60, 0xCD, 0xFF));
        p.setColor(group, QPalette::LinkVisited, QColor(0xC5, 0xA3, 0xFF));
        p.setColor(group, QPalette::ToolTipBase, QColor(0x2B, 0x2B, 0x2B));
        p.setColor(group, QPalette::ToolTipText, text);
    }
    return p;
}

// Many palettes (KDE's among them) give no placeholder colour of their own, and the fallback
// can be nearly invisible on a dark field: placeholders get the text colour toned down instead.
bool make_placeholders_readable(QPalette& palette)
{
    bool changed = false;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        const QColor base = palette.color(group, QPalette::Base);
        const QColor placeholder = palette.color(group, QPalette::PlaceholderText);
        if (contrast_ratio(mix(placeholder, base, placeholder.alphaF()), base) >= 4.5) continue;
        palette.setColor(group, QPalette::PlaceholderText, mix(palette.color(group, QPalette::Text), base, 0.6));
        changed = true;
    }
    return changed;
}

class desktop_appearance final : public QObject {
    Q_OBJECT

public:
    desktop_appearance() : QObject(qApp), m_styleBefore(QApplication::style()->name())
    {
        QApplication::setStyle(new readable_style(QStyleFactory::create(m_styleBefore)));
        auto bus = QDBusConnection::sessionBus();
        if (bus.isConnected()) {
            bus.connect(portal_service, portal_path, settings_interface, "SettingChanged", this,
                        SLOT(settingChanged(QDBusMessage)));
            m_scheme = read(bus);
        }
        qApp->installEventFilter(this);
        apply();
    }

    // The bus drops the signal's connection with the object.
    ~desktop_appearance() override
    {
        if (QCoreApplication::closingDown()) return;
        QApplication::setStyle(m_styleBefore);
        if (m_paletteSet) QApplication::setPalette(QPalette());
    }

public slots:
    // The whole message: Qt 6.4 at times refuses a slot that takes the value as a QDBusVariant.
    void settingChanged(const QDBusMessage& message)
    {
        const QVariantList arguments = message.arguments();
        if (arguments.size() != 3 || arguments[0] != appearance_namespace || arguments[1] != color_scheme_key) return;
        m_scheme = scheme_of(arguments[2]);
        apply();
    }

protected:
    // A palette that changes under the program (the platform's) gets readable placeholders too.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !m_applying) {
            const QScopedValueRollback busy(m_applying, true);
            set_readable_placeholders();
        }
        return false;
    }

private:
    // The portal's colour scheme: ReadOne where the portal has it, Read on older portals.
    static color_scheme read(const QDBusConnection& bus)
    {
        for (const char* method : {"ReadOne", "Read"}) {
            auto call = QDBusMessage::createMethodCall(portal_service, portal_path, settings_interface, method);
            call << QString(appearance_namespace) << QString(color_scheme_key);
            const QDBusMessage reply = bus.call(call, QDBus::BlockWithGui, portal_timeout_ms);
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                return scheme_of(reply.arguments().constFirst());
            if (reply.errorName() != "org.freedesktop.DBus.Error.UnknownMethod") break;
        }
        return color_scheme::none;
    }

    void apply()
    {
        const QScopedValueRollback busy(m_applying, true);
        if (m_scheme != m_shown) {
            m_shown = m_scheme;
            // Back to the platform's palette, which serves as it is unless the scheme says otherwise.
            set_palette(QPalette());
            const bool platformDark = is_dark(QGuiApplication::palette());
            if (m_scheme == color_scheme::dark && !platformDark) set_palette(dark_palette());
            else if (m_scheme == color_scheme::light && platformDark) set_palette(QApplication::style()->standardPalette());
        }
        set_readable_placeholders();
    }

    void set_palette(const QPalette& palette)
    {
        QApplication::setPalette(palette);
        m_paletteSet = true;
    }

    void set_readable_placeholders()
    {
        QPalette palette = QGuiApplication::palette();
        if (make_placeholders_readable(palette)) set_palette(palette);
    }

    const QString m_styleBefore;
    color_scheme m_scheme = color_scheme::none;
    color_scheme m_shown = color_scheme::none;
    bool m_applying = false;
    bool m_paletteSet = false;  // by this object, which hands the platform's back when it goes
};

QPointer<desktop_appearance>& current()
{
    static QPointer<desktop_appearance> appearance;
    return appearance;
}

}  // namespace

void follow_desktop_appearance()
{
    stop_following_desktop_appearance();
    // Owned by the Qt application, so it goes before the application's bus connections do.
    current() = new desktop_appearance;
}

void stop_following_desktop_appearance() { delete current().data(); }

}  // namespace xaml

#include "appearance.moc"
