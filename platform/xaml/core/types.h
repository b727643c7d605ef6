#pragma once
// Value types of the UI layer.

#include "platform/foundation/boxing.h"

#include <cstdint>

namespace xaml {

using foundation::hstring;
using foundation::IInspectable;

enum class Visibility { Visible = 0, Collapsed = 1 };
enum class HorizontalAlignment { Left = 0, Center = 1, Right = 2, Stretch = 3 };
enum class VerticalAlignment { Top = 0, Center = 1, Bottom = 2, Stretch = 3 };
enum class Orientation { Vertical = 0, Horizontal = 1 };
enum class FocusState { Unfocused = 0, Pointer = 1, Keyboard = 2, Programmatic = 3 };
enum class ElementTheme { Default = 0, Light = 1, Dark = 2 };
enum class TextWrapping { NoWrap = 1, Wrap = 2, WrapWholeWords = 3 };
enum class TextAlignment { Center = 0, Left = 1, Start = 1, Right = 2, End = 2, Justify = 3 };
enum class GridUnitType { Auto = 0, Pixel = 1, Star = 2 };
enum class TypeKind { Primitive = 0, Metadata = 1, Custom = 2 };

struct Thickness {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const Thickness&, const Thickness&) = default;
};

struct CornerRadius {
    double TopLeft = 0, TopRight = 0, BottomRight = 0, BottomLeft = 0;
    friend bool operator==(const CornerRadius&, const CornerRadius&) = default;
};

struct GridLength {
    double Value = 1.0;
    xaml::GridUnitType GridUnitType = xaml::GridUnitType::Star;
    friend bool operator==(const GridLength&, const GridLength&) = default;
};

struct GridLengthHelper {
    static GridLength Auto() { return {0.0, GridUnitType::Auto}; }
    static GridLength FromPixels(double pixels) { return {pixels, GridUnitType::Pixel}; }
    static GridLength FromValueAndType(double value, GridUnitType type) { return {value, type}; }
};

struct Color {
    std::uint8_t A = 0, R = 0, G = 0, B = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

struct Colors {
    static constexpr Color Transparent() { return {0, 255, 255, 255}; }
    static constexpr Color Black() { return {255, 0, 0, 0}; }
    static constexpr Color White() { return {255, 255, 255, 255}; }
};

// A type by name, as navigation and markup name them.
struct TypeName {
    hstring Name;
    TypeKind Kind = TypeKind::Primitive;
    friend bool operator==(const TypeName&, const TypeName&) = default;
};

class RoutedEventArgs {
public:
    virtual ~RoutedEventArgs() = default;
    IInspectable OriginalSource() const { return m_source; }
    void set_original_source(IInspectable source) { m_source = std::move(source); }

private:
    IInspectable m_source;
};

}  // namespace xaml
