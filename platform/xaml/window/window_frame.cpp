#include "platform/xaml/window/window_frame.h"

#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/qt_bridge.h"
#include "platform/xaml/window/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace xaml {

namespace {

constexpr int caption_button_width = 46;
constexpr int resize_border = 5;
// The frameless window draws its own edge, so that it stands out from what lies behind it.
constexpr int frame_border = 1;
// Below this the caption buttons would cover the title bar's own content.
constexpr QSize minimum_window_size(640, 400);

enum class caption_kind { minimize, maximize, close };

}  // namespace

// A caption button the window draws itself: a flat square with a thin glyph.
class caption_button final : public QAbstractButton {
public:
    caption_button(caption_kind kind, QWidget* parent) : QAbstractButton(parent), m_kind(kind)
    {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setAccessibleName(kind == caption_kind::minimize   ? "Minimize"
                          : kind == caption_kind::maximize ? "Maximize"
                                                           : "Close");
    }

    QColor foreground;
    QColor background;
    bool restore = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QColor fill = background;
        if (underMouse()) fill = m_kind == caption_kind::close ? QColor(196, 43, 28) : palette().color(QPalette::Midlight);
        if (isDown()) fill = fill.darker(115);
        p.fillRect(rect(), fill);
        QColor ink = underMouse() && m_kind == caption_kind::close ? QColor(Qt::white) : foreground;
        p.setPen(QPen(ink, 1.0));
        p.setRenderHint(QPainter::Antialiasing, m_kind == caption_kind::close);
        const QPointF c = QRectF(rect()).center();
        const double s = 5;
        switch (m_kind) {
        case caption_kind::minimize:
            p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
            break;
        case caption_kind::maximize:
            if (restore) {
                p.drawRect(QRectF(c.x() - s, c.y() - s + 2, 2 * s - 2, 2 * s - 2));
                p.drawLine(QPointF(c.x() - s + 2, c.y() - s), QPointF(c.x() + s, c.y() - s));
                p.drawLine(QPointF(c.x() + s, c.y() - s), QPointF(c.x() + s, c.y() + s - 2));
            } else {
                p.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
            }
            break;
        case caption_kind::close:
            p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
            p.drawLine(QPointF(c.x() + s, c.y() - s), QPointF(c.x() - s, c.y() + s));
            break;
        }
    }

private:
    caption_kind m_kind;
};

window_frame::window_frame(Window* owner) : m_owner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The first size fits the screen whatever its scale; the minimum too, where it can.
    const QSize available = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry().size()
                                                              : QSize(1000, 700);
    setMinimumSize(minimum_window_size.boundedTo(available));
    resize(QSize(1000, 700).boundedTo(available * 0.9).expandedTo(minimumSize()));
    m_captions = new QWidget(this);
    auto* row = new QHBoxLayout(m_captions);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (auto kind : {caption_kind::minimize, caption_kind::maximize, caption_kind::close}) {
        auto* button = new caption_button(kind, m_captions);
        row->addWidget(button);
        m_buttons.push_back(button);
        QObject::connect(button, &QAbstractButton::clicked, this, [this, kind] {
            guard([&] {
                if (kind == caption_kind::minimize) showMinimized();
                else if (kind == caption_kind::maximize) toggle_maximized();
                else close();
            });
        });
    }
    m_captions->hide();
    qApp->installEventFilter(this);
}

window_frame::~window_frame() { qApp->removeEventFilter(this); }

bool window_frame::focusNextPrevChild(bool next)
{
    bool moved = false;
    if (m_owner && m_owner->m_root) guard([&] { moved = m_owner->m_root->move_tab_focus(next); });
    return moved || QWidget::focusNextPrevChild(next);
}

bool window_frame::shows_maximized() const
{
    if (!isMaximized()) return false;
    const QScreen* s = screen();
    return !s || (width() >= s->availableGeometry().width() && height() >= s->availableGeometry().height());
}

void window_frame::toggle_maximized()
{
    if (shows_maximized()) {
        showNormal();
        return;
    }
    if (isMaximized()) setWindowState(windowState() & ~Qt::WindowMaximized);
    showMaximized();
}

void window_frame::set_frameless(bool frameless)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, frameless);
    m_captions->setVisible(frameless);
    if (visible) show();
    frame_changed();
}

void window_frame::set_title_bar_height(int height)
{
    m_titleBarHeight = height;
    place_captions();
}

void window_frame::refresh_captions(const AppWindowTitleBar& bar)
{
    const bool active = isActiveWindow();
    auto pick = [](const foundation::IReference<Color>& c, QColor fallback) { return c ? to_qcolor(*c) : fallback; };
    for (auto* b : m_buttons) {
        b->background = pick(active ? bar.ButtonBackgroundColor() : bar.ButtonInactiveBackgroundColor(), Qt::transparent);
        QColor fg = pick(bar.ButtonForegroundColor(), palette().color(QPalette::WindowText));
        if (!active) fg.setAlphaF(0.45f);
        b->foreground = fg;
        b->update();
    }
}

int window_frame::captions_width() const { return m_captions->isHidden() ? 0 : caption_button_width * 3; }

int window_frame::border() const { return windowFlags().testFlag(Qt::FramelessWindowHint) && !shows_maximized() ? frame_border : 0; }

void window_frame::frame_changed()
{
    const int b = border();
    if (QLayout* content = layout(); content && content->contentsMargins() != QMargins(b, b, b, b))
        content->setContentsMargins(b, b, b, b);
    const bool restore = shows_maximized();
    for (auto* button : m_buttons) {
        if (m_buttons.size() != 3 || button != m_buttons[1] || button->restore == restore) continue;
        button->restore = restore;
        button->setAccessibleName(restore ? "Restore" : "Maximize");
        button->update();
    }
    place_captions();
    update();
}

void window_frame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_owner && m_owner->m_root) guard([this] { m_owner->m_root->set_live(true); });
}

void window_frame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    frame_changed();
}

void window_frame::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (const int b = border()) {
        QPainter p(this);
        QColor edge = palette().color(QPalette::WindowText);
        edge.setAlphaF(isActiveWindow() ? 0.35f : 0.2f);
        p.setPen(QPen(edge, b));
        p.drawRect(QRectF(rect()).adjusted(b / 2.0, b / 2.0, -b / 2.0, -b / 2.0));
    }
}

void window_frame::closeEvent(QCloseEvent* event)
{
    if (m_owner) guard([this] { m_owner->closing(); });
    event->accept();
}

void window_frame::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (!m_owner) return;
    if (event->type() == QEvent::ActivationChange) {
        if (border()) update();  // the edge dims with the window
        guard([this] { m_owner->activation_changed(isActiveWindow(), QGuiApplication::mouseButtons() != Qt::NoButton); });
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ThemeChange) {
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(m_owner->Content())) guard([&] { fe->refresh_theme(); });
    } else if (event->type() == QEvent::WindowStateChange) {
        frame_changed();
    }
    if (m_owner->m_appWindow) refresh_captions(*m_owner->m_appWindow->TitleBar());
}

bool window_frame::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this || !m_owner || !m_owner->m_appWindow) return false;
    const auto& bar = *m_owner->m_appWindow->TitleBar();
    if (!bar.ExtendsContentIntoTitleBar()) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) return false;
        const QPoint at = mapFromGlobal(e->globalPosition().toPoint());
        if (const Qt::Edges edges = edges_at(at); edges && !isMaximized()) {
            if (windowHandle() && windowHandle()->startSystemResize(edges)) return true;
            return false;
        }
        if (!in_drag_area(bar, at, w)) return false;
        // The move goes to the window manager only once the pointer moves: handed over at
        // the press, the second click of a double click would never come back here.
        m_pressFrom = e->globalPosition().toPoint();
        m_pressed = true;
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_pressed && (e->buttons() & Qt::LeftButton) &&
            (e->globalPosition().toPoint() - m_pressFrom).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressed = false;
            if (windowHandle() && windowHandle()->startSystemMove()) return true;
            // Without a window manager that moves windows, move it here.
            m_dragFrom = m_pressFrom;
            m_dragOrigin = pos();
            m_dragging = true;
        }
        if (m_dragging) {
            move(m_dragOrigin + e->globalPosition().toPoint() - m_dragFrom);
            return true;
        }
        if (m_pressed) return true;
        const Qt::Edges edges = isMaximized() ? Qt::Edges() : edges_at(mapFromGlobal(e->globalPosition().toPoint()));
        if (edges != m_cursorEdges) {
            m_cursorEdges = edges;
            if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) || (edges & Qt::RightEdge && edges & Qt::BottomEdge))
                setCursor(Qt::SizeFDiagCursor);
            else if ((edges & Qt::RightEdge && edges & Qt::TopEdge) || (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
                setCursor(Qt::SizeBDiagCursor);
            else if (edges & (Qt::LeftEdge | Qt::RightEdge))
                setCursor(Qt::SizeHorCursor);
            else if (edges & (Qt::TopEdge | Qt::BottomEdge))
                setCursor(Qt::SizeVerCursor);
            else
                unsetCursor();
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging || m_pressed) {
            m_dragging = m_pressed = false;
            return true;
        }
        return false;
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !in_drag_area(bar, mapFromGlobal(e->globalPosition().toPoint()), w))
            return false;
        m_pressed = false;
        toggle_maximized();
        return true;
    }
    default:
        return false;
    }
}

void window_frame::place_captions()
{
    const int height = std::max(1, m_titleBarHeight);
    const int b = border();
    m_captions->setGeometry(width() - b - caption_button_width * 3, b, caption_button_width * 3, height);
    for (auto* b : m_buttons) b->setFixedSize(caption_button_width, height);
    m_captions->raise();
}

Qt::Edges window_frame::edges_at(QPoint at) const
{
    if (!windowFlags().testFlag(Qt::FramelessWindowHint)) return {};
    Qt::Edges edges;
    if (isMaximized()) return {};
    if (at.x() <= resize_border) edges |= Qt::LeftEdge;
    if (at.x() >= width() - resize_border) edges |= Qt::RightEdge;
    if (at.y() <= resize_border) edges |= Qt::TopEdge;
    if (at.y() >= height() - resize_border) edges |= Qt::BottomEdge;
    return edges;
}

bool window_frame::in_drag_area(const AppWindowTitleBar& bar, QPoint at, QWidget* target) const
{
    if (m_captions->isAncestorOf(target)) return false;
    // The areas are given from the content's top left, inside the drawn edge.
    const double scale = devicePixelRatioF();
    const int b = border();
    const QPoint physical(static_cast<int>((at.x() - b) * scale), static_cast<int>((at.y() - b) * scale));
    for (const auto& r : bar.drag_rectangles())
        if (QRect(r.X, r.Y, r.Width, r.Height).contains(physical)) return true;
    return false;
}

}  // namespace xaml
