#include "platform/xaml/controls/ContentDialog.h"

#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/XamlRoot.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <map>
#include <set>
#include <vector>

namespace xaml {

namespace {

const TypeName dialog_type{u"Microsoft.UI.Xaml.Controls.ContentDialog", TypeKind::Metadata};

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

}  // namespace

const DependencyProperty& ContentDialog::TitleProperty()
{
    static const auto p = DependencyProperty::Register(u"Title", {u"Object"}, dialog_type, PropertyMetadata(nullptr));
    return p;
}
const DependencyProperty& ContentDialog::CloseButtonTextProperty()
{
    static const auto p = DependencyProperty::Register(u"CloseButtonText", {u"String"}, dialog_type,
                                                       PropertyMetadata(foundation::box_value(hstring{})));
    return p;
}
const DependencyProperty& ContentDialog::PrimaryButtonTextProperty()
{
    static const auto p = DependencyProperty::Register(u"PrimaryButtonText", {u"String"}, dialog_type,
                                                       PropertyMetadata(foundation::box_value(hstring{})));
    return p;
}

const DependencyProperty& ContentDialog::DefaultButtonProperty()
{
    static const auto p =
        DependencyProperty::Register(u"DefaultButton", {u"Microsoft.UI.Xaml.Controls.ContentDialogButton", TypeKind::Metadata},
                                     dialog_type, PropertyMetadata(foundation::box_value(ContentDialogButton::None)));
    return p;
}

struct ContentDialog::qt_parts {
    QMetaObject::Connection hostGone;  // the owner window's end closes the dialog
};

ContentDialog::ContentDialog() : ContentControl(own_widget_t{}), m_qt(std::make_unique<qt_parts>())
{
    auto* dialog = new QDialog;
    dialog->setMinimumWidth(320);
    dialog->setMaximumWidth(548);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    m_title = new QLabel(dialog);
    QFont font = m_title->font();
    font.setPixelSize(20);
    font.setBold(true);
    m_title->setFont(font);
    m_title->setWordWrap(true);
    m_title->setVisible(false);
    m_body = new QWidget(dialog);
    m_primary = new QPushButton(dialog);
    m_primary->setVisible(false);
    m_close = new QPushButton(dialog);
    m_close->setVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    for (QPushButton* button : {m_primary, m_close}) {
        button->setMinimumWidth(120);
        buttons->addWidget(button);
    }
    layout->addWidget(m_title);
    layout->addWidget(m_body, 1);
    layout->addLayout(buttons);
    set_widget(dialog);

    QObject::connect(m_primary, &QPushButton::clicked, dialog, [this, dialog] {
        m_result = ContentDialogResult::Primary;
        dialog->accept();
    });
    QObject::connect(m_close, &QPushButton::clicked, dialog, [this, dialog] {
        m_result = ContentDialogResult::None;
        dialog->reject();
    });
    QObject::connect(dialog, &QDialog::finished, dialog, [this] { guard([this] { closed(); }); });
}

ContentDialog::~ContentDialog() = default;

QDialog* ContentDialog::dialog() const { return static_cast<QDialog*>(widget()); }

foundation::IAsyncOperation<ContentDialogResult> ContentDialog::ShowAsync()
{
    const auto root = m_root.lock();
    if (!root) throw foundation::hresult_invalid_argument(u"A ContentDialog needs its XamlRoot set before it is shown");
    auto& open = open_dialogs();
    if (m_pending || open.contains(root.get()))
        throw foundation::hresult_error(E_ASYNC_OPERATION_NOT_STARTED, u"Only a single ContentDialog can be open at any time.");
    QDialog* d = dialog();
    QWidget* owner = root->host_widget()->window();
    d->setParent(owner, Qt::Dialog);

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
        const QString title = to_qstring(content_text(Title()));
        m_title->setText(title);
        m_title->setVisible(!title.isEmpty());
        dialog()->setWindowTitle(title);
    } else if (p == CloseButtonTextProperty()) {
        m_close->setText(to_qstring(CloseButtonText()));
        m_close->setVisible(!CloseButtonText().empty());
    } else if (p == PrimaryButtonTextProperty()) {
        m_primary->setText(to_qstring(PrimaryButtonText()));
        m_primary->setVisible(!PrimaryButtonText().empty());
    }
}

void ContentDialog::present_content(const IInspectable& before, const IInspectable& now)
{
    ContentControl::present_content(before, now);
    // Text content, such as an error message, wraps within the dialog's width.
    if (now && !std::dynamic_pointer_cast<UIElement>(now) && !visual_children().empty())
        if (auto text = std::dynamic_pointer_cast<TextBlock>(visual_children().back()))
            set_value(*text, TextBlock::TextWrappingProperty(), TextWrapping::Wrap);
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.ContentDialog", u"Microsoft.UI.Xaml.Controls.ContentControl")
        .activatable<ContentDialog>()
        .property(ContentDialog::TitleProperty())
        .property(ContentDialog::CloseButtonTextProperty())
        .property(ContentDialog::PrimaryButtonTextProperty());
    return true;
}();

}  // namespace

}  // namespace xaml
