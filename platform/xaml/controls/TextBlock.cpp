#include "platform/xaml/controls/TextBlock.h"

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace xaml {

using foundation::box_value;

namespace {

// The label of a text block. Wrapping, it breaks lines between words and, where a word is longer
// than the line (a checksum), inside the word; it then lays out, paints and selects the text
// itself, since a Qt label only breaks between words.
class text_label final : public QLabel {
public:
    void set_wrapping(bool wrap)
    {
        m_wrap = wrap;
        setWordWrap(false);
        apply_selectable();
        updateGeometry();
        update();
    }
    void set_selectable(bool selectable)
    {
        m_selectable = selectable;
        apply_selectable();
    }
    void text_changed()
    {
        m_anchor = m_cursor = 0;
        apply_selectable();
        update();
    }

    QSize sizeHint() const override
    {
        if (!m_wrap) return QLabel::sizeHint();
        // As wide as the text on one line; as high as it is at the width it was given last.
        const int natural = static_cast<int>(std::ceil(fontMetrics().horizontalAdvance(text()))) + 1;
        return QSize(natural, text_height(m_width > 0 ? m_width : natural));
    }
    QSize minimumSizeHint() const override
    {
        if (!m_wrap) return QLabel::minimumSizeHint();
        return QSize(fontMetrics().averageCharWidth(), fontMetrics().height());
    }
    bool hasHeightForWidth() const override { return m_wrap || QLabel::hasHeightForWidth(); }
    int heightForWidth(int width) const override { return m_wrap ? text_height(width) : QLabel::heightForWidth(width); }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        if (!m_wrap || width() == m_width) return;
        const int before = sizeHint().height();
        m_width = width();
        // The layout above asks again only when the height at the new width differs.
        if (sizeHint().height() != before) updateGeometry();
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (!m_wrap) {
            QLabel::paintEvent(event);
            return;
        }
        QTextLayout layout;
        lay_out(layout, contentsRect().width());
        QList<QTextLayout::FormatRange> selections;
        if (m_anchor != m_cursor) {
            QTextLayout::FormatRange range;
            range.start = std::min(m_anchor, m_cursor);
            range.length = std::abs(m_anchor - m_cursor);
            range.format.setBackground(palette().brush(QPalette::Highlight));
            range.format.setForeground(palette().brush(QPalette::HighlightedText));
            selections.push_back(range);
        }
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        layout.draw(&painter, contentsRect().topLeft(), selections);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        // A value takes no focus of its own, but a click that selects in it gives it the keyboard
        // for Ctrl+C.
        if (m_selectable && !text().isEmpty() && event->button() == Qt::LeftButton) setFocus(Qt::MouseFocusReason);
        if (!selecting_here() || event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
        m_anchor = m_cursor = cursor_at(event->position());
        m_dragging = true;
        update();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!selecting_here() || !m_dragging) return QLabel::mouseMoveEvent(event);
        m_cursor = cursor_at(event->position());
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!selecting_here() || !m_dragging) return QLabel::mouseReleaseEvent(event);
        m_dragging = false;
        offer_selection(QClipboard::Selection);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (!selecting_here()) return QLabel::mouseDoubleClickEvent(event);
        select_all();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (selecting_here() && event->matches(QKeySequence::Copy)) offer_selection(QClipboard::Clipboard);
        else if (selecting_here() && event->matches(QKeySequence::SelectAll)) select_all();
        else QLabel::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (!selecting_here()) return QLabel::contextMenuEvent(event);
        QMenu menu(this);
        menu.addAction(QStringLiteral("Copy"), this, [this] { offer_selection(QClipboard::Clipboard); })
            ->setEnabled(m_anchor != m_cursor);
        menu.addAction(QStringLiteral("Select All"), this, [this] { select_all(); });
        menu.exec(event->globalPos());
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLabel::focusOutEvent(event);
        if (selecting_here() && event->reason() != Qt::PopupFocusReason) {
            m_anchor = m_cursor = 0;
            update();
        }
    }

private:
    bool selecting_here() const { return m_wrap && m_selectable; }

    void apply_selectable()
    {
        // Wrapped, the selection is this label's own, not Qt's.
        setTextInteractionFlags(m_selectable && !m_wrap ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                                        : Qt::NoTextInteraction);
        // Text to read, not a place where Tab or a screen reader stops (Qt gives selectable
        // labels the click focus).
        setFocusPolicy(Qt::NoFocus);
        if (selecting_here()) setCursor(Qt::IBeamCursor);
        else if (m_wrap) unsetCursor();
    }

    int lay_out(QTextLayout& layout, int width) const
    {
        QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setText(text());
        layout.setFont(font());
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, width));
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        return static_cast<int>(std::ceil(y));
    }
    int text_height(int width) const
    {
        // Layouts ask often; the text is laid out again only for another width or text.
        if (width == m_heightWidth && text() == m_heightText && font() == m_heightFont) return m_height;
        QTextLayout layout;
        const auto m = contentsMargins();
        m_height = std::max(lay_out(layout, width - m.left() - m.right()), fontMetrics().height()) + m.top() + m.bottom();
        m_heightWidth = width;
        m_heightText = text();
        m_heightFont = font();
        return m_height;
    }
    int cursor_at(QPointF position) const
    {
        QTextLayout layout;
        lay_out(layout, contentsRect().width());
        const QPointF at = position - contentsRect().topLeft();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            if (at.y() < line.y() + line.height() || i == layout.lineCount() - 1) return line.xToCursor(at.x());
        }
        return 0;
    }
    void select_all()
    {
        m_anchor = 0;
        m_cursor = static_cast<int>(text().size());
        update();
        offer_selection(QClipboard::Selection);
    }
    void offer_selection(QClipboard::Mode mode) const
    {
        if (m_anchor == m_cursor) return;
        if (mode == QClipboard::Selection && !QGuiApplication::clipboard()->supportsSelection()) return;
        QGuiApplication::clipboard()->setText(text().mid(std::min(m_anchor, m_cursor), std::abs(m_anchor - m_cursor)), mode);
    }

    bool m_wrap = false;
    bool m_selectable = false;
    bool m_dragging = false;
    int m_width = -1;  // the width the label had last, for its height
    mutable int m_heightWidth = -1;  // the last height worked out, and for what
    mutable int m_height = 0;
    mutable QString m_heightText;
    mutable QFont m_heightFont;
    int m_anchor = 0;  // the selection, in characters
    int m_cursor = 0;
};

QFont with_family(QFont font, const hstring& family)
{
    const QString name = to_qstring(family);
    if (name.isEmpty()) return font;
    // "Monospace" is the desktop's fixed-width face, whatever it is called.
    if (name.compare(QStringLiteral("Monospace"), Qt::CaseInsensitive) == 0) {
        font.setFamilies({QStringLiteral("monospace")});
        font.setStyleHint(QFont::Monospace);
    } else {
        font.setFamilies({name});
    }
    return font;
}

}  // namespace

void Run::OnPropertyChanged(const DependencyPropertyChangedEventArgs&)
{
    if (auto owner = m_owner.lock()) owner->inlines_changed();
}

TextBlock::TextBlock()
{
    auto* label = new text_label;
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(14);
    label->setFont(font);
    set_widget(label);
}

QLabel* TextBlock::label() const { return static_cast<QLabel*>(widget()); }

void TextBlock::append_inline(const std::shared_ptr<Run>& run)
{
    run->m_owner = std::static_pointer_cast<TextBlock>(strong_self());
    m_inlines.push_back(run);
    inlines_changed();
}

void TextBlock::inlines_changed()
{
    std::u16string text;
    for (const auto& run : m_inlines) text += run->Text().str();
    Text(hstring(std::move(text)));
}

void TextBlock::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    QLabel* l = label();
    if (!l) return;
    const auto& p = args.Property();
    if (p == TextProperty()) {
        l->setText(to_qstring(Text()));
        static_cast<text_label*>(l)->text_changed();
        invalidate_layout();
    } else if (p == ForegroundProperty()) {
        apply_text_brush(l, Foreground());
    } else if (p == FontSizeProperty() || p == FontWeightProperty() || p == FontFamilyProperty()) {
        QFont font = with_family(l->font(), get_value<hstring>(*this, FontFamilyProperty()));
        font.setPixelSize(std::max(1, static_cast<int>(FontSize())));
        font.setWeight(static_cast<QFont::Weight>(get_value<std::int32_t>(*this, FontWeightProperty())));
        l->setFont(font);
        invalidate_layout();
    } else if (p == TextWrappingProperty()) {
        // Wrap breaks inside a word that does not fit; WrapWholeWords lets it overflow.
        const auto wrapping = get_value<TextWrapping>(*this, TextWrappingProperty());
        static_cast<text_label*>(l)->set_wrapping(wrapping == TextWrapping::Wrap);
        if (wrapping == TextWrapping::WrapWholeWords) l->setWordWrap(true);
        invalidate_layout();
    } else if (p == TextAlignmentProperty()) {
        const auto a = get_value<TextAlignment>(*this, TextAlignmentProperty());
        l->setAlignment((a == TextAlignment::Center  ? Qt::AlignHCenter
                         : a == TextAlignment::Right ? Qt::AlignRight
                                                     : Qt::AlignLeft) |
                        Qt::AlignVCenter);
    } else if (p == IsTextSelectionEnabledProperty()) {
        static_cast<text_label*>(l)->set_selectable(get_value<bool>(*this, IsTextSelectionEnabledProperty()));
    }
}

void register_text_block()
{
    metadata::register_converter(u"FontWeight", [](std::u16string_view text) -> IInspectable {
        if (text == u"Normal") return box_value(std::int32_t{400});
        if (text == u"SemiBold") return box_value(std::int32_t{600});
        if (text == u"Bold") return box_value(std::int32_t{700});
        if (text == u"Light") return box_value(std::int32_t{300});
        return metadata::convert_text(u"Int32", text);
    });
    metadata::register_converter(u"FontFamily", [](std::u16string_view text) { return box_value(hstring(text)); });
    metadata::type_builder(Run::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .activatable<Run>()
        .property(Run::TextProperty, {u"String"}, box_value(hstring{}))
        .content(u"Text");
    metadata::type_builder(TextBlock::class_name, FrameworkElement::class_name)
        .activatable<TextBlock>()
        .property(TextBlock::TextProperty, {u"String"}, box_value(hstring{}))
        .property(TextBlock::ForegroundProperty, {u"Microsoft.UI.Xaml.Media.Brush"}, nullptr)
        .property(TextBlock::FontSizeProperty, {u"Double"}, box_value(14.0))
        .property(TextBlock::FontWeightProperty, {u"Windows.UI.Text.FontWeight"}, box_value(std::int32_t{400}))
        .property(TextBlock::FontFamilyProperty, {u"Microsoft.UI.Xaml.Media.FontFamily"}, box_value(hstring{}))
        .property(TextBlock::TextWrappingProperty, {u"Microsoft.UI.Xaml.TextWrapping"}, box_value(TextWrapping::NoWrap))
        .property(TextBlock::TextAlignmentProperty, {u"Microsoft.UI.Xaml.TextAlignment"}, box_value(TextAlignment::Left))
        .property(TextBlock::IsTextSelectionEnabledProperty, {u"Boolean"}, box_value(false))
        .collection(u"Inlines", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<TextBlock>(target)->append_inline(foundation::as<Run>(value));
        })
        .content(u"Inlines");
}

}  // namespace xaml
