#pragma once
// The Qt layout behind every element that has children: it asks its owner for the size the
// children need and lets the owner place them.

#include <QLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace xaml {

// A length in whole pixels, rounded up so that nothing is clipped.
inline int to_pixels(double value) { return static_cast<int>(std::ceil(std::max(0.0, value))); }

class element_layout final : public QLayout {
public:
    using measure_fn = std::function<QSize()>;
    using arrange_fn = std::function<void(const QRect&)>;

    element_layout(QWidget* parent, measure_fn measure, arrange_fn arrange);
    ~element_layout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;
    Qt::Orientations expandingDirections() const override;

private:
    QList<QLayoutItem*> m_items;
    measure_fn m_measure;
    arrange_fn m_arrange;
};

}  // namespace xaml
