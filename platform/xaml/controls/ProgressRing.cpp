#include "platform/xaml/controls/ProgressRing.h"

#include "platform/xaml/core/metadata.h"

#include <QHBoxLayout>
#include <QProgressBar>

namespace xaml {

const DependencyProperty& ProgressRing::IsActiveProperty()
{
    static const auto p = DependencyProperty::Register(u"IsActive", {u"Boolean"}, {u"Microsoft.UI.Xaml.Controls.ProgressRing", TypeKind::Metadata},
                                                       PropertyMetadata(foundation::box_value(true)));
    return p;
}

ProgressRing::ProgressRing()
{
    // The element keeps its place while inactive; only the indicator inside is hidden, which also
    // stops its animation, so an idle page paints nothing.
    auto* host = new QWidget;
    auto* layout = new QHBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QProgressBar;
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setAccessibleName(QStringLiteral("Busy"));
    QSizePolicy policy = bar->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    bar->setSizePolicy(policy);
    layout->addWidget(bar);
    set_widget(host);
    apply_active();
}

void ProgressRing::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == IsActiveProperty()) apply_active();
}

void ProgressRing::apply_active()
{
    widget()->findChild<QProgressBar*>()->setVisible(IsActive());
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.ProgressRing", u"Microsoft.UI.Xaml.Controls.Control")
        .activatable<ProgressRing>()
        .property(ProgressRing::IsActiveProperty());
    return true;
}();

}  // namespace

}  // namespace xaml
