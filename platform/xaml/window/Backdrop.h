#pragma once
// The window backdrop: a soft, theme-tinted background behind the window's content that
// follows the configuration's theme and whether the window has the input.

#include "platform/foundation/object.h"
#include "platform/xaml/window/Window.h"

class QWidget;

namespace xaml {

enum class SystemBackdropTheme { Default = 0, Light = 1, Dark = 2 };

class SystemBackdropConfiguration final : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Composition.SystemBackdrops.SystemBackdropConfiguration"; }

    bool IsInputActive() const noexcept { return m_inputActive; }
    void IsInputActive(bool value);
    SystemBackdropTheme Theme() const noexcept { return m_theme; }
    void Theme(SystemBackdropTheme value);
    bool IsHighContrast() const noexcept { return false; }

    foundation::event_token changed(foundation::delegate<> handler) { return m_changed.add(std::move(handler)); }
    void changed(foundation::event_token token) { m_changed.remove(token); }

private:
    bool m_inputActive = true;
    SystemBackdropTheme m_theme = SystemBackdropTheme::Default;
    foundation::event<foundation::delegate<>> m_changed;
};

class MicaController final : public foundation::Object {
public:
    MicaController() = default;
    ~MicaController() override;
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Composition.SystemBackdrops.MicaController"; }

    static bool IsSupported() { return true; }
    void SetSystemBackdropConfiguration(const std::shared_ptr<SystemBackdropConfiguration>& configuration);
    // Paints behind the target's content; false when the target offers no surface.
    bool AddSystemBackdropTarget(const std::shared_ptr<ICompositionSupportsSystemBackdrop>& target);
    bool RemoveSystemBackdropTarget(const std::shared_ptr<ICompositionSupportsSystemBackdrop>& target);
    // IClosable: stops painting and lets go of the targets.
    void Close();
    bool is_closed() const noexcept { return m_closed; }

    // The tint painted for a theme and input state.
    static Color tint(SystemBackdropTheme theme, bool inputActive);

private:
    void repaint();

    std::shared_ptr<SystemBackdropConfiguration> m_configuration;
    foundation::event_token m_token;
    std::vector<std::weak_ptr<ICompositionSupportsSystemBackdrop>> m_targets;
    bool m_closed = false;
};

}  // namespace xaml
