#include "platform/xaml/core/layout.h"

namespace xaml {

element_layout::element_layout(QWidget* parent, measure_fn measure, arrange_fn arrange)
    : QLayout(parent), m_measure(std::move(measure)), m_arrange(std::move(arrange))
{
    setContentsMargins(0, 0, 0, 0);
    setSizeConstraint(QLayout::SetNoConstraint);
}

element_layout::~element_layout()
{
    while (!m_items.isEmpty()) delete m_items.takeFirst();
}

void element_layout::addItem(QLayoutItem* item) { m_items.append(item); }
int element_layout::count() const { return static_cast<int>(m_items.size()); }
QLayoutItem* element_layout::itemAt(int index) const { return index >= 0 && index < m_items.size() ? m_items[index] : nullptr; }
QLayoutItem* element_layout::takeAt(int index) { return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr; }

QSize element_layout::sizeHint() const
{
    const auto m = contentsMargins();
    return m_measure() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize element_layout::minimumSize() const
{
    const auto m = contentsMargins();
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

void element_layout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    m_arrange(rect.marginsRemoved(contentsMargins()));
}

Qt::Orientations element_layout::expandingDirections() const { return Qt::Horizontal | Qt::Vertical; }

}  // namespace xaml
