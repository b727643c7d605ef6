#pragma once
// The top-level widget of a Window: its edge, caption buttons, moving and resizing when frameless.

#include <QPoint>
#include <QWidget>

#include <vector>

namespace xaml {

class AppWindowTitleBar;
class Window;
class caption_button;

class window_frame final : public QWidget {
public:
    explicit window_frame(Window* owner);
    ~window_frame() override;

    void detach() { m_owner = nullptr; }
    Window* owner() const noexcept { return m_owner; }

    // Maximised as the user sees it: without a window manager a request to maximise changes
    // the state Qt keeps but not the window, which must then not offer to restore.
    bool shows_maximized() const;
    void toggle_maximized();
    void set_frameless(bool frameless);
    void set_title_bar_height(int height);
    void refresh_captions(const AppWindowTitleBar& bar);
    int captions_width() const;
    // The edge drawn around a frameless window that is not maximised.
    int border() const;
    // The state shown by the frame: edge, caption buttons and their names.
    void frame_changed();

protected:
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place_captions();
    Qt::Edges edges_at(QPoint at) const;
    bool in_drag_area(const AppWindowTitleBar& bar, QPoint at, QWidget* target) const;

    Window* m_owner;
    QWidget* m_captions;
    std::vector<caption_button*> m_buttons;
    int m_titleBarHeight = 32;
    bool m_dragging = false;
    bool m_pressed = false;
    QPoint m_pressFrom, m_dragFrom, m_dragOrigin;
    Qt::Edges m_cursorEdges;
};

}  // namespace xaml
