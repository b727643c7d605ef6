#include "platform/xaml/controls/Image.h"

#include "platform/xaml/core/app_uri.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>
#include <QPixmap>

namespace xaml {

namespace {

QString resolve(const hstring& source)
{
    if (!std::u16string_view(source).starts_with(u"ms-appx:///")) return to_qstring(source);
    try {
        return QString::fromStdString(resolve_app_uri(source).string());
    } catch (const foundation::hresult_error&) {
        return {};  // a URI that names no file shows nothing
    }
}

}  // namespace

Image::Image()
{
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    set_widget(label);
}

void Image::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    if (args.Property() == SourceProperty()) {
        // The file is read once; layouts scale the kept original.
        const QPixmap original(resolve(Source()));
        widget()->setProperty("original", original);
        static_cast<QLabel*>(widget())->setPixmap(original);
        invalidate_layout();
    }
}

void Image::arrange_in(double x, double y, double width, double height)
{
    FrameworkElement::arrange_in(x, y, width, height);
    auto* label = static_cast<QLabel*>(widget());
    const QPixmap original = label->property("original").value<QPixmap>();
    if (original.isNull() || label->size().isEmpty()) return;
    // Setting a picture asks for another layout: only a new size or scale makes a new one, or
    // every layout would order the next.
    const QSize target = label->size() * label->devicePixelRatioF();
    const QPixmap current = label->pixmap();
    if (current.size() == original.size().scaled(target, Qt::KeepAspectRatio) &&
        current.devicePixelRatio() == label->devicePixelRatioF())
        return;
    QPixmap shown = original.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(label->devicePixelRatioF());
    label->setPixmap(shown);
}

void register_image()
{
    metadata::type_builder(Image::class_name, FrameworkElement::class_name)
        .activatable<Image>()
        .property(Image::SourceProperty, {u"String"}, foundation::box_value(hstring{}));
}

}  // namespace xaml
