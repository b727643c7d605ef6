// What a user with low vision needs to find in light and dark styles alike: where a text field
// is, and which control has the keyboard focus. Measured on the painted pixels, WCAG-style.

#include "platform/xaml/controls/AutoSuggestBox.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/ComboBox.h"
#include "platform/xaml/controls/NavigationViewItem.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/window/Backdrop.h"
#include "platform/xaml/window/Window.h"

#include "tests/support/event_loop.h"
#include "tests/xaml/desktop_appearance.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace xaml;
using foundation::box_value;
using foundation::make;
using test::contrast;
using test::DesktopAppearance;

namespace {

// KDE's Breeze colours, as its platform theme hands them to the program (no placeholder colour).
QPalette breeze(QColor window, QColor base, QColor button, QColor text)
{
    QPalette palette(button, window);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) palette.setColor(role, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Highlight, QColor(0x3D, 0xAE, 0xE9));
    palette.setColor(QPalette::HighlightedText, QColor(0xFC, 0xFC, 0xFC));
    return palette;
}

// The controls of the tool pages, on a window with the program's backdrop.
struct page {
    page()
    {
        auto panel = make<StackPanel>();
        panel->Spacing(14);
        panel->Margin({14, 14, 14, 14});
        fileBox->IsReadOnly(true);
        fileBox->Text(u"/home/user/archive.tar");
        for (const char16_t* item : {u"RSA 3072", u"ECDSA P-256"}) combo->Items()->Append(box_value(item));
        combo->SelectedIndex(0);
        button->Content(box_value(u"Browse…"));
        toggle->Content(box_value(u"XXH64"));
        chosen->Content(box_value(u"XXH3"));
        chosen->IsChecked(true);
        radio->Content(box_value(u"RSA"));
        check->Content(box_value(u"Include the e-mail address"));
        tool->Content(box_value(u"Certificate"));
        for (const std::shared_ptr<UIElement>& e : std::initializer_list<std::shared_ptr<UIElement>>{
                 text, fileBox, password, number, search, combo, button, toggle, chosen, radio, check, tool})
            panel->Children()->Append(e);
        window->Content(panel);
        window->widget()->resize(360, 720);
        configuration->Theme(desktop_theme() == ElementTheme::Dark ? SystemBackdropTheme::Dark : SystemBackdropTheme::Light);
        mica->SetSystemBackdropConfiguration(configuration);
        mica->AddSystemBackdropTarget(window);
        window->Activate();
        QApplication::setActiveWindow(window->widget());
        test::run_until([&] { return window->widget()->isVisible() && QApplication::activeWindow() == window->widget(); });
        QCoreApplication::processEvents();
    }
    ~page() { window->Close(); }

    QImage shot() const
    {
        QCoreApplication::processEvents();
        return window->widget()->grab().toImage();
    }
    QRect place(const QWidget* w) const { return QRect(w->mapTo(window->widget(), QPoint(0, 0)), w->size()); }

    std::shared_ptr<Window> window = make<Window>();
    std::shared_ptr<SystemBackdropConfiguration> configuration = make<SystemBackdropConfiguration>();
    std::shared_ptr<MicaController> mica = make<MicaController>();
    std::shared_ptr<TextBox> text = make<TextBox>();
    std::shared_ptr<TextBox> fileBox = make<TextBox>();
    std::shared_ptr<PasswordBox> password = make<PasswordBox>();
    std::shared_ptr<NumberBox> number = make<NumberBox>();
    std::shared_ptr<AutoSuggestBox> search = make<AutoSuggestBox>();
    std::shared_ptr<ComboBox> combo = make<ComboBox>();
    std::shared_ptr<Button> button = make<Button>();
    std::shared_ptr<ToggleButton> toggle = make<ToggleButton>();
    std::shared_ptr<ToggleButton> chosen = make<ToggleButton>();
    std::shared_ptr<RadioButton> radio = make<RadioButton>();
    std::shared_ptr<CheckBox> check = make<CheckBox>();
    std::shared_ptr<NavigationViewItem> tool = make<NavigationViewItem>();
};

// The pixels on the line through the middle of one side of `r`, from `reach` outside it to
// its centre.
std::vector<QPoint> inward(const QRect& r, int side, int reach)
{
    std::vector<QPoint> line;
    const QPoint c = r.center();
    for (int i = -reach; i < std::min(r.width(), r.height()) / 2; ++i) {
        switch (side) {
        case 0: line.emplace_back(r.left() + i, c.y()); break;
        case 1: line.emplace_back(c.x(), r.top() + i); break;
        case 2: line.emplace_back(r.right() - i, c.y()); break;
        default: line.emplace_back(c.x(), r.bottom() - i); break;
        }
    }
    return line;
}

constexpr const char* side_names[] = {"left", "top", "right", "bottom"};

// A field's boundary against the page: on each side, the strongest of its outer three pixels
// against the page just outside; the weakest side counts.
double boundary_contrast(const QImage& image, const QRect& field, std::string& where)
{
    double weakest = 100;
    for (int side = 0; side < 4; ++side) {
        const auto line = inward(field, side, 3);
        const QColor page = image.pixelColor(line.front());
        double best = 1;
        for (int i = 3; i < 6; ++i) best = std::max(best, contrast(image.pixelColor(line[static_cast<std::size_t>(i)]), page));
        if (best < weakest) {
            weakest = best;
            where = std::string(side_names[side]) + " side, page " + page.name().toStdString();
        }
    }
    return weakest;
}

// Whether the band `depth` wide inside the edge of `r`, where a focus mark goes, shows nothing
// but the page (and the faint fringe of a smoothed shape beside it).
bool clear_edge(const QImage& image, const QRect& r, int depth)
{
    const QColor page = image.pixelColor(r.left() - 2, r.center().y());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool edge = std::min({x - r.left(), r.right() - x, y - r.top(), r.bottom() - y}) < depth;
            if (edge && contrast(image.pixelColor(x, y), page) >= 1.5) return false;
        }
    return true;
}

// The focus mark on each side of a control, on the line through the middle of the side: the
// first run of pixels, from just outside the control to 8 pixels inside it, that focus changes
// by 3:1 at least; each of its ends stands 3:1 apart from the pixel beyond it. The weakest side
// counts.
struct focus_mark {
    double change = 100;        // focused against unfocused, the same pixels
    double surroundings = 100;  // the mark's ends against their neighbours, focused
    std::size_t width = 100;    // pixels across
    std::string where;
};

focus_mark measure_focus_mark(const QImage& unfocused, const QImage& focused, const QRect& control)
{
    constexpr std::size_t outside = 3, depth = 8;
    focus_mark mark;
    for (int side = 0; side < 4; ++side) {
        const auto line = inward(control, side, static_cast<int>(outside));
        const auto end = std::min(line.size(), outside + depth);
        auto pixel = [&](const QImage& image, std::size_t i) { return image.pixelColor(line[i]); };
        auto change = [&](std::size_t i) { return contrast(pixel(focused, i), pixel(unfocused, i)); };
        double sideChange = 1, sideSurroundings = 1;
        std::size_t first = 0, width = 0;
        for (; first < end && change(first) < 3; ++first) sideChange = std::max(sideChange, change(first));
        if (first < end) {
            std::size_t last = first;
            while (last + 1 < line.size() && change(last + 1) >= 3) ++last;
            sideChange = 100;
            for (std::size_t i = first; i <= last; ++i) sideChange = std::min(sideChange, change(i));
            width = last - first + 1;
            if (first > 0 && last + 1 < line.size())
                sideSurroundings = std::min(contrast(pixel(focused, first), pixel(focused, first - 1)),
                                            contrast(pixel(focused, last), pixel(focused, last + 1)));
        }
        if (std::min(sideChange, sideSurroundings) < std::min(mark.change, mark.surroundings) || width < mark.width)
            mark.where = side_names[side];
        mark.change = std::min(mark.change, sideChange);
        mark.surroundings = std::min(mark.surroundings, sideSurroundings);
        mark.width = std::min(mark.width, width);
    }
    return mark;
}

// Every field and every control that takes the focus on one page, in the palette as it is.
void check_page()
{
    page p;
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    const QImage plain = p.shot();

    const std::vector<std::pair<const char*, QWidget*>> fields = {
        {"text box", p.text->editor()},          {"read-only file box", p.fileBox->editor()},
        {"password box", p.password->editor()},  {"number box", p.number->editor()},
        {"search box", p.search->editor()},       {"combo box", p.combo->widget()->findChild<QComboBox*>()}};
    for (const auto& [kind, field] : fields) {
        std::string where;
        const double boundary = boundary_contrast(plain, p.place(field), where);
        EXPECT_GE(boundary, 3.0) << kind << ": its boundary is " << boundary << ":1 against the page (" << where << ")";
    }
    // A radio button or check box keeps its indicator and label clear of the mark around it.
    for (const QWidget* indicated : {p.radio->widget(), p.check->widget()})
        EXPECT_TRUE(clear_edge(plain, p.place(indicated), 3))
            << indicated->metaObject()->className() << " reaches into its focus mark";

    const std::vector<std::pair<const char*, std::shared_ptr<UIElement>>> focusable = {
        {"button", p.button},         {"toggle button", p.toggle},     {"chosen toggle button", p.chosen},
        {"radio button", p.radio},    {"check box", p.check},          {"navigation item", p.tool},
        {"combo box", p.combo},       {"text box", p.text},            {"read-only file box", p.fileBox},
        {"password box", p.password}, {"number box", p.number},        {"search box", p.search}};
    for (const auto& [kind, element] : focusable) {
        QWidget* target = element->widget()->focusProxy() ? element->widget()->focusProxy() : element->widget();
        const QImage unfocused = p.shot();
        ASSERT_TRUE(element->Focus(FocusState::Keyboard)) << kind;
        ASSERT_TRUE(test::run_until([&] { return target->hasFocus(); })) << kind;
        const QImage focused = p.shot();
        const focus_mark mark = measure_focus_mark(unfocused, focused, p.place(target));
        EXPECT_GE(mark.change, 3.0) << kind << ": focus changes its mark by " << mark.change << ":1 only (" << mark.where << ")";
        EXPECT_GE(mark.surroundings, 3.0) << kind << ": the focus mark is " << mark.surroundings
                                          << ":1 against what surrounds it (" << mark.where << ")";
        EXPECT_GE(mark.width, 2u) << kind << ": a focus mark " << mark.width << " pixel wide is easily missed ("
                                  << mark.where << ")";
        target->clearFocus();
        QCoreApplication::processEvents();
    }
}

}  // namespace

TEST_F(DesktopAppearance, FieldsAndFocusMarksStandOutInLightAndDarkStyles)
{
    m_portal.scheme = 0;
    Publish();
    follow_desktop_appearance();
    const QPalette platform = QApplication::palette();
    ASSERT_EQ(desktop_theme(), ElementTheme::Light) << "the offscreen platform's palette is light";
    {
        SCOPED_TRACE("the platform's light palette");
        check_page();
    }
    QApplication::setPalette(
        breeze(QColor(0xEF, 0xF0, 0xF1), QColor(0xFC, 0xFC, 0xFC), QColor(0xFC, 0xFC, 0xFC), QColor(0x23, 0x26, 0x29)));
    {
        SCOPED_TRACE("KDE Breeze");
        check_page();
    }
    QApplication::setPalette(
        breeze(QColor(0x20, 0x23, 0x26), QColor(0x14, 0x16, 0x18), QColor(0x29, 0x2C, 0x30), QColor(0xFC, 0xFC, 0xFC)));
    ASSERT_EQ(desktop_theme(), ElementTheme::Dark);
    {
        SCOPED_TRACE("KDE Breeze Dark");
        check_page();
    }
    QApplication::setPalette(platform);
    Change(1);
    ASSERT_TRUE(test::run_until([] { return desktop_theme() == ElementTheme::Dark; })) << "the portal's dark preference";
    {
        SCOPED_TRACE("the portal's dark preference");
        check_page();
    }
}
