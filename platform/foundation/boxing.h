#pragma once
// Boxed values: scalars, strings, points and rectangles as runtime objects.
//
// IReference<T> is a value that may be null; boxing a null reference gives a null object and
// unboxing a null object as IReference<T> gives null again.

#include "platform/foundation/object.h"

#include <cstdint>
#include <concepts>
#include <optional>
#include <type_traits>

namespace foundation {

struct Point {
    float X = 0;
    float Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    float Width = 0;
    float Height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

template <class T>
using IReference = std::optional<T>;

enum class PropertyType {
    Empty = 0,
    UInt8 = 1,
    Int16 = 2,
    UInt16 = 3,
    Int32 = 4,
    UInt32 = 5,
    Int64 = 6,
    UInt64 = 7,
    Single = 8,
    Double = 9,
    Char16 = 10,
    Boolean = 11,
    String = 12,
    Inspectable = 13,
    Point = 17,
    Size = 18,
    Rect = 19,
    OtherType = 20,
};

// Typed access to a boxed value. A getter of another type converts numbers that fit and
// fails with TYPE_E_TYPEMISMATCH otherwise.
class IPropertyValue {
public:
    virtual ~IPropertyValue() = default;
    virtual PropertyType Type() const = 0;
    virtual bool IsNumericScalar() const = 0;
    virtual std::int32_t GetInt32() const = 0;
    virtual std::uint32_t GetUInt32() const = 0;
    virtual std::int64_t GetInt64() const = 0;
    virtual double GetDouble() const = 0;
    virtual bool GetBoolean() const = 0;
    virtual hstring GetString() const = 0;
    virtual foundation::Point GetPoint() const = 0;
    virtual foundation::Size GetSize() const = 0;
    virtual foundation::Rect GetRect() const = 0;
};

// The typed face of a boxed value.
template <class T>
class IReferenceValue {
public:
    virtual ~IReferenceValue() = default;
    virtual const T& Value() const = 0;
};

namespace detail {

// Boxed values compare by value, other objects by identity.
class IBoxedEquality {
public:
    virtual ~IBoxedEquality() = default;
    virtual bool EqualsBoxed(const Object& other) const = 0;
};

template <class T>
constexpr PropertyType property_type_of()
{
    if constexpr (std::is_same_v<T, bool>) return PropertyType::Boolean;
    else if constexpr (std::is_same_v<T, std::uint8_t>) return PropertyType::UInt8;
    else if constexpr (std::is_same_v<T, std::int16_t>) return PropertyType::Int16;
    else if constexpr (std::is_same_v<T, std::uint16_t>) return PropertyType::UInt16;
    else if constexpr (std::is_same_v<T, std::int32_t>) return PropertyType::Int32;
    else if constexpr (std::is_same_v<T, std::uint32_t>) return PropertyType::UInt32;
    else if constexpr (std::is_same_v<T, std::int64_t>) return PropertyType::Int64;
    else if constexpr (std::is_same_v<T, std::uint64_t>) return PropertyType::UInt64;
    else if constexpr (std::is_same_v<T, float>) return PropertyType::Single;
    else if constexpr (std::is_same_v<T, double>) return PropertyType::Double;
    else if constexpr (std::is_same_v<T, char16_t>) return PropertyType::Char16;
    else if constexpr (std::is_same_v<T, hstring>) return PropertyType::String;
    else if constexpr (std::is_same_v<T, Point>) return PropertyType::Point;
    else if constexpr (std::is_same_v<T, Size>) return PropertyType::Size;
    else if constexpr (std::is_same_v<T, Rect>) return PropertyType::Rect;
    else return PropertyType::OtherType;
}

hstring boxed_class_name(PropertyType type);
[[noreturn]] void throw_type_mismatch(PropertyType have, const char* want);

template <class To, class From>
To convert_number(const From& value, PropertyType type, const char* want)
{
    if constexpr (std::is_arithmetic_v<From> && !std::is_same_v<From, bool> && !std::is_same_v<From, char16_t>) {
        if constexpr (std::is_floating_point_v<To>) {
            return static_cast<To>(value);
        } else if constexpr (std::is_integral_v<From>) {
            if (std::in_range<To>(value)) return static_cast<To>(value);
        } else {
            const auto truncated = static_cast<long double>(value);
            if (truncated == static_cast<long double>(static_cast<std::int64_t>(value)) &&
                std::in_range<To>(static_cast<std::int64_t>(value)))
                return static_cast<To>(value);
        }
    }
    throw_type_mismatch(type, want);
}

template <class T>
class boxed_value final : public Object, public IPropertyValue, public IReferenceValue<T>, public IBoxedEquality {
public:
    explicit boxed_value(T value) : m_value(std::move(value)) {}

    hstring GetRuntimeClassName() const override { return boxed_class_name(Type()); }
    const T& Value() const override { return m_value; }
    bool EqualsBoxed(const Object& other) const override
    {
        if constexpr (std::is_floating_point_v<T>) {
            // NaN is "not set" for sizes: setting it again is no change.
            const auto* same = dynamic_cast<const boxed_value*>(&other);
            return same && (same->m_value == m_value || (m_value != m_value && same->m_value != same->m_value));
        } else if constexpr (std::equality_comparable<T>) {
            const auto* same = dynamic_cast<const boxed_value*>(&other);
            return same && same->m_value == m_value;
        } else {
            return this == &other;
        }
    }

    PropertyType Type() const override { return property_type_of<T>(); }
    bool IsNumericScalar() const override
    {
        return std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char16_t>;
    }
    std::int32_t GetInt32() const override { return convert_number<std::int32_t>(m_value, Type(), "Int32"); }
    std::uint32_t GetUInt32() const override { return convert_number<std::uint32_t>(m_value, Type(), "UInt32"); }
    std::int64_t GetInt64() const override { return convert_number<std::int64_t>(m_value, Type(), "Int64"); }
    double GetDouble() const override { return convert_number<double>(m_value, Type(), "Double"); }
    bool GetBoolean() const override { return get<bool>("Boolean"); }
    hstring GetString() const override { return get<hstring>("String"); }
    Point GetPoint() const override { return get<Point>("Point"); }
    foundation::Size GetSize() const override { return get<foundation::Size>("Size"); }
    foundation::Rect GetRect() const override { return get<foundation::Rect>("Rect"); }

private:
    template <class U>
    U get(const char* want) const
    {
        if constexpr (std::is_same_v<T, U>) return m_value;
        else throw_type_mismatch(Type(), want);
    }

    T m_value;
};

template <class T>
struct is_reference_type : std::false_type {};
template <class T>
struct is_reference_type<std::optional<T>> : std::true_type {};
template <class T>
struct is_shared_object : std::false_type {};
template <class T>
struct is_shared_object<std::shared_ptr<T>> : std::true_type {};

}  // namespace detail

template <class T>
IInspectable box_value(T value)
{
    if constexpr (detail::is_shared_object<T>::value) {
        return as_inspectable(value);
    } else if constexpr (detail::is_reference_type<T>::value) {
        return value ? box_value(*value) : nullptr;
    } else {
        return make<detail::boxed_value<T>>(std::move(value));
    }
}

inline IInspectable box_value(const char16_t* text) { return box_value(hstring(text)); }
inline IInspectable box_value(std::u16string_view text) { return box_value(hstring(text)); }

// Unboxes T; a null object or one of another type fails with no-interface.
// For IReference<T>, a null object gives null.
template <class T>
T unbox_value(const IInspectable& value)
{
    if constexpr (detail::is_shared_object<T>::value) {
        return as<typename T::element_type>(value);
    } else if constexpr (detail::is_reference_type<T>::value) {
        if (!value) return std::nullopt;
        return unbox_value<typename T::value_type>(value);
    } else {
        return as<IReferenceValue<T>>(value)->Value();
    }
}

// Unboxes T, or gives the fallback for a null object or one of another type.
template <class T>
T unbox_value_or(const IInspectable& value, T fallback)
{
    if (auto typed = try_as<IReferenceValue<T>>(value)) return typed->Value();
    return fallback;
}

// Whether two values are the same: identical objects, or boxed values that compare equal.
inline bool value_equals(const IInspectable& a, const IInspectable& b)
{
    if (a == b) return true;
    if (!a || !b) return false;
    const auto* boxed = dynamic_cast<const detail::IBoxedEquality*>(a.get());
    return boxed && boxed->EqualsBoxed(*b);
}

// The platform's factory of property values.
struct PropertyValue {
    static IInspectable CreateEmpty() { return nullptr; }
    static IInspectable CreateUInt32(std::uint32_t value) { return box_value(value); }
    static IInspectable CreateInt32(std::int32_t value) { return box_value(value); }
    static IInspectable CreateInt64(std::int64_t value) { return box_value(value); }
    static IInspectable CreateDouble(double value) { return box_value(value); }
    static IInspectable CreateBoolean(bool value) { return box_value(value); }
    static IInspectable CreateString(hstring value) { return box_value(std::move(value)); }
    static IInspectable CreatePoint(Point value) { return box_value(value); }
    static IInspectable CreateSize(Size value) { return box_value(value); }
    static IInspectable CreateRect(Rect value) { return box_value(value); }
};

}  // namespace foundation
