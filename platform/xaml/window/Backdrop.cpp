#include "platform/xaml/window/Backdrop.h"

#include "platform/xaml/core/qt_bridge.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace xaml {

void SystemBackdropConfiguration::IsInputActive(bool value)
{
    if (value == m_inputActive) return;
    m_inputActive = value;
    m_changed();
}

void SystemBackdropConfiguration::Theme(SystemBackdropTheme value)
{
    if (value == m_theme) return;
    m_theme = value;
    m_changed();
}

MicaController::~MicaController()
{
    if (m_configuration) m_configuration->changed(m_token);
}

Color MicaController::tint(SystemBackdropTheme theme, bool inputActive)
{
    if (theme == SystemBackdropTheme::Default)
        theme = QGuiApplication::palette().color(QPalette::Window).lightness() < 128 ? SystemBackdropTheme::Dark
                                                                                     : SystemBackdropTheme::Light;
    // A faint blue-grey tint; an inactive window is a shade flatter, as the material goes.
    if (theme == SystemBackdropTheme::Dark) return inputActive ? Color{255, 32, 34, 40} : Color{255, 40, 40, 40};
    return inputActive ? Color{255, 238, 241, 247} : Color{255, 243, 243, 243};
}

void MicaController::SetSystemBackdropConfiguration(const std::shared_ptr<SystemBackdropConfiguration>& configuration)
{
    if (m_configuration) m_configuration->changed(m_token);
    m_configuration = configuration;
    if (m_configuration) {
        std::weak_ptr<MicaController> weak = get_weak(this);
        m_token = m_configuration->changed([weak] {
            if (auto self = weak.lock()) self->repaint();
        });
    }
    repaint();
}

bool MicaController::AddSystemBackdropTarget(const std::shared_ptr<ICompositionSupportsSystemBackdrop>& target)
{
    if (m_closed || !target || !target->backdrop_surface()) return false;
    m_targets.push_back(target);
    repaint();
    return true;
}

bool MicaController::RemoveSystemBackdropTarget(const std::shared_ptr<ICompositionSupportsSystemBackdrop>& target)
{
    const auto before = m_targets.size();
    std::erase_if(m_targets, [&](const auto& weak) { return weak.lock() == target; });
    if (QWidget* surface = target ? target->backdrop_surface() : nullptr) surface->setAutoFillBackground(false);
    return m_targets.size() != before;
}

void MicaController::Close()
{
    if (m_closed) return;
    m_closed = true;
    for (const auto& weak : m_targets)
        if (auto target = weak.lock())
            if (QWidget* surface = target->backdrop_surface()) {
                surface->setPalette(QPalette());
                surface->setAutoFillBackground(false);
            }
    m_targets.clear();
    if (m_configuration) m_configuration->changed(m_token);
    m_configuration.reset();
}

void MicaController::repaint()
{
    if (m_closed) return;
    const auto theme = m_configuration ? m_configuration->Theme() : SystemBackdropTheme::Default;
    const bool active = m_configuration ? m_configuration->IsInputActive() : true;
    const QColor color = to_qcolor(tint(theme, active));
    for (const auto& weak : m_targets) {
        auto target = weak.lock();
        QWidget* surface = target ? target->backdrop_surface() : nullptr;
        if (!surface) continue;
        QPalette palette = surface->palette();
        palette.setColor(QPalette::Window, color);
        surface->setPalette(palette);
        surface->setAutoFillBackground(true);
        surface->update();
    }
}

}  // namespace xaml
