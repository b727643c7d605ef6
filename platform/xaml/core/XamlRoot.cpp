#include "platform/xaml/core/XamlRoot.h"

#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/layout.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>

namespace xaml {

namespace {

class root_host final : public QWidget {
public:
    explicit root_host(XamlRoot* root) : m_root(root) {}
    void detach() { m_root = nullptr; }

protected:
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

double XamlRoot::RasterizationScale() const { return m_host->devicePixelRatioF(); }

}  // namespace xaml
