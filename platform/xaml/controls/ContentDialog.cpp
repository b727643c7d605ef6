#include "platform/xaml/controls/ContentDialog.h"

#include "platform/xaml/core/XamlRoot.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/controls/key_filter.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace xaml {

namespace {

// The dialog open on each root. The entry keeps the dialog alive while it is shown, as the
// platform does, so a caller may drop its reference without closing it.
std::map<const XamlRoot*, std::shared_ptr<ContentDialog>>& open_dialogs()
{
    static auto* dialogs = new std::map<const XamlRoot*, std::shared_ptr<ContentDialog>>;
    return *dialogs;
}

// Closed dialogs whose operation has yet to complete; kept alive until it has.
std::set<std::shared_ptr<ContentDialog>>& closing_dialogs()
{
    static auto* dialogs = new std::set<std::shared_ptr<ContentDialog>>;
    return *dialogs;
}

// Those waiting for the dialog open on a root to close.
std::map<const XamlRoot*, std::vector<foundation::async_source<void>>>& dialog_waiters()
{
    static auto* waiters = new std::map<const XamlRoot*, std::vector<foundation::async_source<void>>>;
    return *waiters;
}

constexpr int dialog_margin = 24;
constexpr int dialog_max_width = 548;
constexpr int message_width = dialog_max_width - 2 * dialog_margin;
constexpr int scroll_gap = 8;  // between a scrolling message and its scroll bar

// A message that wraps between words, and anywhere in a word too long for a line (a path).
class message_label final : public QLabel {
public:
    message_label()
    {
        setTextFormat(Qt::PlainText);
        QFont text = font();
        text.setPixelSize(14);  // as a TextBlock's
        setFont(text);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return lay_out(width, nullptr); }
    QSize sizeHint() const override
    {
        const int width = std::min(fontMetrics().horizontalAdvance(text()) + 1, message_width);
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {fontMetrics().averageCharWidth() * 8, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        lay_out(width(), &painter);
    }

private:
    // The height of the text at this width; drawn as well when a painter is given.
    int lay_out(int width, QPainter* painter) const
    {
        QTextLayout layout(text(), font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        double height = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, width));
            line.setPosition({0, height});
            height += line.height();
        }
        layout.endLayout();
        if (painter) layout.draw(painter, {0, 0});
        return static_cast<int>(std::ceil(height));
    }
};

// The message's scroll area: as tall as the message at the dialog's width, within the height
// the dialog may take; beyond that it scrolls.
class message_scroll final : public QScrollArea {
public:
    message_scroll()
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->setAutoFillBackground(false);
        // No stop of its own for Tab: the dialog's buttons page through it (scroll_by_keys), and
        // a screen reader reads the message as the dialog's text.
        setFocusPolicy(Qt::NoFocus);
    }
    QSize sizeHint() const override
    {
        if (!widget()) return {};
        // The text keeps this width; once it scrolls, the scroll bar takes its share of it.
        const int width = widget()->sizeHint().width();
        return {width, std::min(widget()->heightForWidth(width), maximumHeight())};
    }
    QSize minimumSizeHint() const override { return {0, std::min(fontMetrics().height() * 2, maximumHeight())}; }

    // The text as wide as the area, less the scroll bar when it is taller than the area.
    void fit()
    {
        if (!widget()) return;
        const QRect area = contentsRect();
        int width = area.width();
        int height = widget()->heightForWidth(width);
        if (height > area.height()) {
            width -= verticalScrollBar()->sizeHint().width() + scroll_gap;
            height = widget()->heightForWidth(width);
        }
        widget()->resize(std::max(width, 1), height);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QScrollArea::resizeEvent(event);
        fit();
    }
};

// Page Up and Down, Home and End, which the buttons leave alone, scroll a long message.
bool scroll_by_keys(message_scroll* scroll, int key)
{
    QScrollBar* bar = scroll->verticalScrollBar();
    if (!scroll->isVisible() || bar->maximum() == 0) return false;
    switch (key) {
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); return true;
    case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); return true;
    case Qt::Key_Home: bar->triggerAction(QAbstractSlider::SliderToMinimum); return true;
    case Qt::Key_End: bar->triggerAction(QAbstractSlider::SliderToMaximum); return true;
    default: return false;
    }
}

}  // namespace

struct ContentDialog::qt_parts {
    QMetaObject::Connection hostGone;  // the owner window's end closes the dialog
    QHBoxLayout* buttons = nullptr;
    message_scroll* scroll = nullptr;
    message_label* message = nullptr;
};

ContentDialog::ContentDialog() : ContentControl(own_widget_t{}), m_qt(std::make_unique<qt_parts>())
{
    auto* dialog = new QDialog;
    dialog->setMinimumWidth(320);
    dialog->setMaximumWidth(dialog_max_width);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(dialog_margin, dialog_margin, dialog_margin, dialog_margin);
    layout->setSpacing(16);
    m_title = new QLabel(dialog);
    QFont font = m_title->font();
    font.setPixelSize(20);
    font.setBold(true);
    m_title->setFont(font);
    m_title->setWordWrap(true);
    m_title->setVisible(false);
    m_body = new QWidget(dialog);
    m_qt->scroll = new message_scroll;
    m_qt->message = new message_label;
    m_qt->scroll->setWidget(m_qt->message);
    m_qt->scroll->setVisible(false);
    // Buttons exist only while they have a text: a hidden, unnamed one would still be found
    // by screen readers.
    m_qt->buttons = new QHBoxLayout;
    m_qt->buttons->setSpacing(8);
    m_qt->buttons->addStretch(1);
    layout->addWidget(m_title);
    layout->addWidget(m_qt->scroll, 1);
    layout->addWidget(m_body, 1);
    layout->addLayout(m_qt->buttons);
    set_widget(dialog);
    dialog->installEventFilter(new key_filter([scroll = m_qt->scroll](QObject*, int key) { return scroll_by_keys(scroll, key); }, dialog));
    QObject::connect(dialog, &QDialog::finished, dialog, [this] { guard([this] { closed(); }); });
}

void ContentDialog::show_button(QPushButton*& button, const hstring& text, ContentDialogResult result)
{
    if (text.empty()) {
        delete button;
        button = nullptr;
        return;
    }
    if (!button) {
        button = new QPushButton(dialog());
        button->setMinimumWidth(120);
        // The primary button stands before the close button.
        m_qt->buttons->insertWidget(result == ContentDialogResult::Primary ? 1 : m_qt->buttons->count(), button);
        QDialog* d = dialog();
        QObject::connect(button, &QPushButton::clicked, d, [this, d, result] {
            m_result = result;
            if (result == ContentDialogResult::Primary) d->accept();
            else d->reject();
        });
    }
    button->setText(to_qstring(text));
}

ContentDialog::~ContentDialog() = default;

QDialog* ContentDialog::dialog() const { return static_cast<QDialog*>(widget()); }

foundation::IAsyncOperation<ContentDialogResult> ContentDialog::ShowAsync()
{
    if (foundation::ui_thread::finishing()) {
        // The window has closed and the program ends: nothing opens, and nobody waits for it.
        foundation::async_source<ContentDialogResult> none;
        none.complete(ContentDialogResult::None);
        return none.operation();
    }
    const auto root = m_root.lock();
    if (!root) throw foundation::hresult_invalid_argument(u"A ContentDialog needs its XamlRoot set before it is shown");
    auto& open = open_dialogs();
    if (m_pending || open.contains(root.get()))
        throw foundation::hresult_error(E_ASYNC_OPERATION_NOT_STARTED, u"Only a single ContentDialog can be open at any time.");
    QDialog* d = dialog();
    QWidget* owner = root->host_widget()->window();
    d->setParent(owner, Qt::Dialog);
    // No taller than the window: a longer message scrolls.
    const int chrome = d->layout()->sizeHint().height() - (m_qt->scroll->isHidden() ? 0 : m_qt->scroll->sizeHint().height());
    m_qt->scroll->setMaximumHeight(std::max(m_qt->message->fontMetrics().height() * 2, owner->height() - chrome));
    d->adjustSize();

    // A dialog does not go down with its window: it leaves the window and reports None.
    m_qt->hostGone = QObject::connect(owner, &QObject::destroyed, d, [this] {
        if (QDialog* shown = dialog()) shown->setParent(nullptr, Qt::Dialog);
        m_result = ContentDialogResult::None;
        closed();
    });
    open.emplace(root.get(), std::static_pointer_cast<ContentDialog>(strong_self()));
    m_openOn = root.get();
    m_result = ContentDialogResult::None;
    m_pending.emplace();
    auto operation = m_pending->operation();
    d->open();  // window-modal, returns at once
    // Without a default of its own, Qt would make the first button the one Enter presses.
    const auto chosen = DefaultButton();
    if (QPushButton* button = chosen == ContentDialogButton::Primary ? m_primary
                              : chosen == ContentDialogButton::Close ? m_close
                                                                     : nullptr;
        button && button->isVisible()) {
        button->setDefault(true);
        button->setFocus();
    } else if (QPushButton* first = m_close ? m_close : m_primary) {
        // Without a default, the focus starts on the button that changes nothing.
        first->setFocus();
    }
    return operation;
}

foundation::IAsyncAction ContentDialog::WhenNoneOpenAsync(const std::shared_ptr<xaml::XamlRoot>& root)
{
    foundation::async_source<void> source;
    if (root && open_dialogs().contains(root.get())) dialog_waiters()[root.get()].push_back(source);
    else source.complete();
    return source.operation();
}

void ContentDialog::closed()
{
    if (!m_pending) return;
    QObject::disconnect(m_qt->hostGone);
    const auto source = std::move(*m_pending);
    m_pending.reset();
    const auto result = m_result;
    const auto self = std::static_pointer_cast<ContentDialog>(strong_self());
    closing_dialogs().insert(self);
    open_dialogs().erase(m_openOn);
    auto waiting = dialog_waiters().extract(m_openOn);
    m_openOn = nullptr;
    // A closed dialog leaves the window, so a window that goes later does not take it along.
    if (QDialog* d = dialog(); d && d->parentWidget()) d->setParent(nullptr, Qt::Dialog);
    // The awaiting coroutine resumes after Qt has finished with the click, since it may drop
    // the last reference to the dialog. The posted work holds no UI object: work that never
    // runs (the application ends first) releases nothing while Qt tears down.
    std::vector<foundation::async_source<void>> waiters;
    if (!waiting.empty()) waiters = std::move(waiting.mapped());
    auto complete = [source, result, weak = std::weak_ptr<ContentDialog>(self), waiters = std::move(waiters)] {
        source.complete(result);
        if (const auto dialog = weak.lock()) closing_dialogs().erase(dialog);
        for (const auto& waiter : waiters) waiter.complete();
    };
    if (!foundation::ui_thread::post(complete)) complete();
}

void ContentDialog::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ContentControl::OnPropertyChanged(args);
    if (!widget()) return;
    const auto& p = args.Property();
    if (p == TitleProperty()) {
        show_header(m_title, Title(), nullptr);
        dialog()->setWindowTitle(m_title->text());
    } else if (p == CloseButtonTextProperty()) {
        show_button(m_close, CloseButtonText(), ContentDialogResult::None);
    } else if (p == PrimaryButtonTextProperty()) {
        show_button(m_primary, PrimaryButtonText(), ContentDialogResult::Primary);
    }
}

void ContentDialog::present_content(const IInspectable& before, const IInspectable& now)
{
    // Text content, such as an error message, wraps within the dialog's width and scrolls.
    const bool text = now && !std::dynamic_pointer_cast<UIElement>(now);
    ContentControl::present_content(before, text ? nullptr : now);
    m_qt->message->setText(text ? to_qstring(content_text(now)) : QString());
    // A screen reader reads the message as the dialog's own text when the dialog opens.
    dialog()->setAccessibleDescription(m_qt->message->text());
    m_qt->scroll->fit();
    m_qt->scroll->setVisible(text);
    m_body->setVisible(!text);
}

void register_content_dialog()
{
    metadata::type_builder(ContentDialog::class_name, ContentControl::class_name)
        .activatable<ContentDialog>()
        .property(ContentDialog::TitleProperty, {u"Object"}, nullptr)
        .property(ContentDialog::CloseButtonTextProperty, {u"String"}, foundation::box_value(hstring{}))
        .property(ContentDialog::PrimaryButtonTextProperty, {u"String"}, foundation::box_value(hstring{}))
        .property(ContentDialog::DefaultButtonProperty, {u"Microsoft.UI.Xaml.Controls.ContentDialogButton"},
                  foundation::box_value(ContentDialogButton::None));
}

}  // namespace xaml
