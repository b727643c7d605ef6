#include "platform/xaml/core/XamlRoot.h"

#include "platform/xaml/core/element_events.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/layout.h"

#include <QEvent>
#include <QLayout>
#include <QScrollArea>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace xaml {

namespace {

class root_host final : public QWidget {
public:
    explicit root_host(XamlRoot* root) : m_root(root) {}
    void detach() { m_root = nullptr; }

protected:
    bool focusNextPrevChild(bool next) override
    {
        bool moved = false;
        if (m_root) guard([&] { moved = m_root->move_tab_focus(next); });
        return moved || QWidget::focusNextPrevChild(next);
    }
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        if (m_root) guard([&] { m_root->set_live(true); });
    }
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (m_root && (event->type() == QEvent::PaletteChange || event->type() == QEvent::ThemeChange))
            if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(m_root->Content())) guard([&] { fe->refresh_theme(); });
    }

private:
    XamlRoot* m_root;
};

// The element whose own widget this is, or null.
UIElement* element_of(const QWidget* widget)
{
    return static_cast<UIElement*>(widget->property(element_property).value<void*>());
}

// Where an element sits in its tree: the child indices from the root down.
std::vector<std::size_t> tree_path(const UIElement* element)
{
    std::vector<std::size_t> path;
    for (auto parent = element->visual_parent(); parent; parent = parent->visual_parent()) {
        const auto& siblings = parent->visual_children();
        const auto found = std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == element; });
        path.push_back(static_cast<std::size_t>(found - siblings.begin()));
        element = parent.get();
    }
    std::reverse(path.begin(), path.end());
    return path;
}

}  // namespace

XamlRoot::XamlRoot(QWidget* host) : m_host(host ? host : new root_host(this)), m_ownsHost(!host)
{
    new element_layout(
        m_host,
        [this] {
            if (!m_content) return QSize(0, 0);
            const auto s = m_content->desired_size();
            return QSize(to_pixels(s.Width), to_pixels(s.Height));
        },
        [this](const QRect& r) {
            if (m_content) m_content->arrange_in(r.x(), r.y(), r.width(), r.height());
        });
}

XamlRoot::~XamlRoot()
{
    if (m_ownsHost) static_cast<root_host*>(m_host)->detach();
    if (m_content) {
        if (m_content->m_live) m_content->set_live(false);
        if (QWidget* w = m_content->widget()) {
            w->hide();
            w->setParent(nullptr);
        }
        m_content->m_root.reset();
    }
    if (m_ownsHost) delete m_host;
    else delete m_host->layout();
}

void XamlRoot::Content(const std::shared_ptr<UIElement>& content)
{
    if (content == m_content) return;
    if (m_content) {
        if (m_content->m_live) m_content->set_live(false);
        if (QWidget* w = m_content->widget()) {
            m_host->layout()->removeWidget(w);
            w->hide();
            w->setParent(nullptr);
        }
        m_content->m_root.reset();
    }
    m_content = content;
    if (m_content) {
        if (m_content->visual_parent()) throw foundation::hresult_invalid_argument(u"The element already has a parent");
        m_content->m_root = std::static_pointer_cast<XamlRoot>(strong_self());
        if (QWidget* w = m_content->widget()) {
            m_host->layout()->addWidget(w);
            m_content->apply_visibility();
        }
        if (m_live) m_content->set_live(true);
    }
    m_host->layout()->invalidate();
}

void XamlRoot::set_live(bool live)
{
    if (live == m_live) return;
    m_live = live;
    if (m_content) m_content->set_live(live);
}

foundation::Size XamlRoot::Size() const
{
    return {static_cast<float>(m_host->width()), static_cast<float>(m_host->height())};
}

bool XamlRoot::move_tab_focus(bool next)
{
    QWidget* focused = m_host->window()->focusWidget();
    if (!m_content || !focused || !m_host->isAncestorOf(focused)) return false;

    // Every widget that Tab may reach, with the tree path of the element it belongs to. A widget
    // inside an element (the field of a box) sorts with that element; widgets of one element keep
    // Qt's order among themselves.
    struct stop {
        QWidget* widget;
        std::vector<std::size_t> path;
    };
    std::vector<stop> stops;
    QWidget* w = m_host;
    do {
        w = w->nextInFocusChain();
        const bool reachable = w == focused || ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() &&
                                                !w->focusProxy() && m_host->isAncestorOf(w));
        if (!reachable) continue;
        const UIElement* owner = nullptr;
        bool inGroup = false;
        for (const QWidget* up = w; up && up != m_host && !inGroup; up = up->parentWidget()) {
            const UIElement* e = element_of(up);
            if (!e) continue;
            if (!owner) owner = e;
            // A group offers one stop; the focus inside it still counts where it is.
            for (auto g = e->visual_parent(); g && !inGroup; g = g->visual_parent()) {
                if (!g->is_tab_group()) continue;
                QWidget* groupStop = g->focus_widget();
                if (groupStop && groupStop->focusProxy()) groupStop = groupStop->focusProxy();
                inGroup = w != groupStop && w != focused;
            }
        }
        if (!inGroup && owner) stops.push_back({w, tree_path(owner)});
    } while (w != m_host);
    std::stable_sort(stops.begin(), stops.end(), [](const stop& a, const stop& b) { return a.path < b.path; });

    const auto at = std::find_if(stops.begin(), stops.end(), [&](const stop& s) { return s.widget == focused; });
    if (at == stops.end() || stops.size() < 2) return false;
    const auto index = static_cast<std::size_t>(at - stops.begin());
    QWidget* target = stops[(index + (next ? 1 : stops.size() - 1)) % stops.size()].widget;
    m_host->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // A stop inside a scrolling area is scrolled into view.
    for (QWidget* up = target->parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up)) area->ensureWidgetVisible(target);
    return true;
}

double XamlRoot::RasterizationScale() const { return m_host->devicePixelRatioF(); }

}  // namespace xaml
