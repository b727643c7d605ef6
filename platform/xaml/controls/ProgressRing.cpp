#include "platform/xaml/controls/ProgressRing.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QPainter>
#include <QTimerEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace xaml {

namespace {

// An arc that turns round a ring while it is shown, its length breathing as it goes. The timer
// runs only while the ring is shown, so a hidden ring costs nothing.
class ring_widget final : public QWidget {
public:
    ring_widget()
    {
        setAttribute(Qt::WA_OpaquePaintEvent, false);
        setAccessibleName(QStringLiteral("Busy"));
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setRetainSizeWhenHidden(true);
        setSizePolicy(policy);
    }

    QSize sizeHint() const override { return QSize(20, 20); }
    QSize minimumSizeHint() const override { return QSize(8, 8); }
    bool turning() const { return m_timer.isActive(); }

protected:
    void showEvent(QShowEvent*) override
    {
        m_clock.start();
        m_timer.start(16, Qt::PreciseTimer, this);
    }
    void hideEvent(QHideEvent*) override { m_timer.stop(); }
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() == m_timer.timerId()) update();
        else QWidget::timerEvent(event);
    }

    void paintEvent(QPaintEvent*) override
    {
        const int side = std::min(width(), height());
        if (side <= 0) return;
        const qreal stroke = std::max(2.0, side / 9.0);
        const QRectF ring((width() - side) / 2.0 + stroke / 2, (height() - side) / 2.0 + stroke / 2, side - stroke, side - stroke);
        const double seconds = m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0.0;
        // One turn in a second; the arc grows from 30 to 270 degrees and back every 1.5 s.
        const double start = std::fmod(seconds * 360.0, 360.0);
        const double span = 150.0 - 120.0 * std::cos(seconds * 2.0 * M_PI / 1.5);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor track = palette().color(QPalette::WindowText);
        track.setAlphaF(0.15f);
        p.setPen(QPen(track, stroke));
        p.drawEllipse(ring);
        p.setPen(QPen(palette().color(QPalette::Highlight), stroke, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(ring, static_cast<int>(-start * 16), static_cast<int>(-span * 16));
    }

private:
    QBasicTimer m_timer;
    QElapsedTimer m_clock;
};

QAccessibleInterface* ring_accessible(const QString&, QObject* object)
{
    if (auto* ring = dynamic_cast<ring_widget*>(object)) return new QAccessibleWidget(ring, QAccessible::Animation);
    return nullptr;
}

}  // namespace

ProgressRing::ProgressRing()
{
    // The element keeps its place while inactive; only the ring inside is hidden, which also
    // stops its animation, so an idle page paints nothing.
    static const bool accessible = (QAccessible::installFactory(ring_accessible), true);
    (void)accessible;
    auto* host = new QWidget;
    auto* layout = new QHBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new ring_widget);
    set_widget(host);
    apply_active();
}

bool ProgressRing::is_turning() const { return widget()->findChild<ring_widget*>()->turning(); }

void ProgressRing::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == IsActiveProperty()) apply_active();
}

void ProgressRing::apply_active()
{
    widget()->findChild<ring_widget*>()->setVisible(IsActive());
}

void register_progress_ring()
{
    metadata::type_builder(ProgressRing::class_name, Control::class_name)
        .activatable<ProgressRing>()
        .property(ProgressRing::IsActiveProperty, {u"Boolean"}, foundation::box_value(true));
}

}  // namespace xaml
