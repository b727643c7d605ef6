#pragma once
// The Qt layout behind every element that has children: it asks its owner for the size the
// children need and lets the owner place them.

#include <QLayout>

#include <functional>

namespace xaml {

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
