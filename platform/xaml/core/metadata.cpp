#include "platform/xaml/core/metadata.h"

#include "platform/foundation/utf.h"
#include "platform/xaml/core/brush.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

namespace xaml::metadata {

namespace {

struct registry {
    std::map<std::u16string, type_info, std::less<>> types;
    std::map<std::u16string, text_converter, std::less<>> converters;
    std::atomic<bool> sealed = false;
};

registry& the_registry()
{
    static auto* instance = new registry;
    return *instance;
}

[[noreturn]] void bad_text(std::u16string_view text, std::u16string_view type)
{
    throw foundation::hresult_invalid_argument(u"\"" + hstring(text) + u"\" is not a valid " + hstring(type));
}

std::string ascii(std::u16string_view text, std::u16string_view type)
{
    std::string out;
    for (char16_t c : text) {
        if (c > 0x7F) bad_text(text, type);
        out.push_back(static_cast<char>(c));
    }
    // Surrounding blanks are not part of a number.
    const auto first = out.find_first_not_of(" \t\r\n");
    const auto last = out.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
}

double parse_double(std::u16string_view text, std::u16string_view type)
{
    const std::string s = ascii(text, type);
    if (s.empty()) bad_text(text, type);
    if (s == "Auto" || s == "NaN") return std::nan("");
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE) bad_text(text, type);
    return value;
}

std::int64_t parse_integer(std::u16string_view text, std::u16string_view type, std::int64_t min, std::int64_t max)
{
    std::string s = ascii(text, type);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || value < min || value > max)
        bad_text(text, type);
    return value;
}

std::vector<double> parse_list(std::u16string_view text, std::u16string_view type)
{
    std::vector<double> values;
    std::u16string item;
    auto flush = [&] {
        if (!item.empty()) values.push_back(parse_double(item, type));
        item.clear();
    };
    for (char16_t c : text) {
        if (c == u',' || c == u' ') flush();
        else item.push_back(c);
    }
    flush();
    return values;
}

Color parse_color(std::u16string_view text)
{
    static const std::map<std::u16string, Color> named = {
        {u"Transparent", Colors::Transparent()}, {u"Black", Colors::Black()}, {u"White", Colors::White()},
        {u"Red", {255, 255, 0, 0}},               {u"Green", {255, 0, 128, 0}}, {u"Blue", {255, 0, 0, 255}},
        {u"Gray", {255, 128, 128, 128}},          {u"LightGray", {255, 211, 211, 211}},
        {u"DarkGray", {255, 169, 169, 169}},
    };
    if (const auto found = named.find(std::u16string(text)); found != named.end()) return found->second;
    const std::string s = ascii(text, u"Color");
    if (s.size() != 7 && s.size() != 9) bad_text(text, u"Color");
    if (s[0] != '#') bad_text(text, u"Color");
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(s.data() + 1, s.data() + s.size(), value, 16);
    if (error != std::errc() || end != s.data() + s.size()) bad_text(text, u"Color");
    if (s.size() == 7) value |= 0xFF000000u;
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

void register_builtin_converters()
{
    using foundation::box_value;
    register_converter(u"String", [](std::u16string_view text) { return box_value(hstring(text)); });
    register_converter(u"Object", [](std::u16string_view text) { return box_value(hstring(text)); });
    register_converter(u"Boolean", [](std::u16string_view text) -> IInspectable {
        const std::string s = ascii(text, u"Boolean");
        if (s == "True" || s == "true") return box_value(true);
        if (s == "False" || s == "false") return box_value(false);
        bad_text(text, u"Boolean");
    });
    register_converter(u"Int32", [](std::u16string_view text) {
        return box_value(static_cast<std::int32_t>(parse_integer(text, u"Int32", INT32_MIN, INT32_MAX)));
    });
    register_converter(u"UInt32", [](std::u16string_view text) {
        return box_value(static_cast<std::uint32_t>(parse_integer(text, u"UInt32", 0, UINT32_MAX)));
    });
    register_converter(u"Int64", [](std::u16string_view text) {
        return box_value(parse_integer(text, u"Int64", INT64_MIN, INT64_MAX));
    });
    register_converter(u"Double", [](std::u16string_view text) { return box_value(parse_double(text, u"Double")); });
    register_converter(u"Thickness", [](std::u16string_view text) -> IInspectable {
        const auto v = parse_list(text, u"Thickness");
        if (v.size() == 1) return box_value(Thickness{v[0], v[0], v[0], v[0]});
        if (v.size() == 2) return box_value(Thickness{v[0], v[1], v[0], v[1]});
        if (v.size() == 4) return box_value(Thickness{v[0], v[1], v[2], v[3]});
        bad_text(text, u"Thickness");
    });
    register_converter(u"CornerRadius", [](std::u16string_view text) -> IInspectable {
        const auto v = parse_list(text, u"CornerRadius");
        if (v.size() == 1) return box_value(CornerRadius{v[0], v[0], v[0], v[0]});
        if (v.size() == 4) return box_value(CornerRadius{v[0], v[1], v[2], v[3]});
        bad_text(text, u"CornerRadius");
    });
    register_converter(u"GridLength", [](std::u16string_view text) -> IInspectable {
        if (text == u"Auto") return box_value(GridLengthHelper::Auto());
        if (!text.empty() && text.back() == u'*') {
            const auto number = text.substr(0, text.size() - 1);
            const double value = number.empty() ? 1.0 : parse_double(number, u"GridLength");
            if (!(value >= 0)) bad_text(text, u"GridLength");
            return box_value(GridLength{value, GridUnitType::Star});
        }
        const double value = parse_double(text, u"GridLength");
        if (!(value >= 0)) bad_text(text, u"GridLength");
        return box_value(GridLengthHelper::FromPixels(value));
    });
    register_converter(u"Color", [](std::u16string_view text) { return box_value(parse_color(text)); });
    register_converter(u"Brush", [](std::u16string_view text) -> IInspectable {
        return foundation::make<SolidColorBrush>(parse_color(text));
    });
    register_enum<Visibility>(u"Visibility", {{u"Visible", Visibility::Visible}, {u"Collapsed", Visibility::Collapsed}});
    register_enum<HorizontalAlignment>(u"HorizontalAlignment", {{u"Left", HorizontalAlignment::Left},
                                                                {u"Center", HorizontalAlignment::Center},
                                                                {u"Right", HorizontalAlignment::Right},
                                                                {u"Stretch", HorizontalAlignment::Stretch}});
    register_enum<VerticalAlignment>(u"VerticalAlignment", {{u"Top", VerticalAlignment::Top},
                                                            {u"Center", VerticalAlignment::Center},
                                                            {u"Bottom", VerticalAlignment::Bottom},
                                                            {u"Stretch", VerticalAlignment::Stretch}});
    register_enum<Orientation>(u"Orientation",
                               {{u"Vertical", Orientation::Vertical}, {u"Horizontal", Orientation::Horizontal}});
    register_enum<ElementTheme>(u"ElementTheme", {{u"Default", ElementTheme::Default},
                                                  {u"Light", ElementTheme::Light},
                                                  {u"Dark", ElementTheme::Dark}});
    register_enum<TextWrapping>(u"TextWrapping", {{u"NoWrap", TextWrapping::NoWrap},
                                                  {u"Wrap", TextWrapping::Wrap},
                                                  {u"WrapWholeWords", TextWrapping::WrapWholeWords}});
    register_enum<TextAlignment>(u"TextAlignment", {{u"Center", TextAlignment::Center},
                                                    {u"Left", TextAlignment::Left},
                                                    {u"Start", TextAlignment::Start},
                                                    {u"Right", TextAlignment::Right},
                                                    {u"End", TextAlignment::End},
                                                    {u"Justify", TextAlignment::Justify}});
}

std::once_flag builtins_once;

void check_open(std::u16string_view what)
{
    if (the_registry().sealed)
        throw foundation::hresult_illegal_method_call(hstring(what) +
                                                      u" is registered after start-up; register it before the application starts");
}

// The converter name for markup text of a property: primitives by their own name, other types by
// the last part of their full name, a nullable value as its value.
hstring text_type_of(const TypeName& type)
{
    constexpr std::u16string_view nullable = u"Windows.Foundation.IReference`1<";
    std::u16string_view name = type.Name;
    if (name.starts_with(nullable) && name.ends_with(u'>'))
        name = name.substr(nullable.size(), name.size() - nullable.size() - 1);
    if (const auto dot = name.rfind(u'.'); dot != std::u16string_view::npos) name = name.substr(dot + 1);
    return hstring(name);
}

}  // namespace

type_builder::type_builder(std::u16string_view name, std::u16string_view base)
{
    check_open(name);
    auto& types = the_registry().types;
    const auto [where, inserted] = types.try_emplace(std::u16string(name));
    if (!inserted) throw foundation::hresult_invalid_argument(u"The type " + hstring(name) + u" is registered twice");
    m_type = &where->second;
    m_type->name = hstring(name);
    m_type->base = hstring(base);
}

type_builder& type_builder::add(member_info member)
{
    const hstring name = member.name;
    if (!m_type->members.try_emplace(name, std::move(member)).second) {
        // A type half made is not registered at all.
        const hstring type = m_type->name;
        the_registry().types.erase(type.str());
        throw foundation::hresult_invalid_argument(u"The member " + type + u"." + name + u" is registered twice");
    }
    return *this;
}

type_builder& type_builder::static_class()
{
    foundation::activation::register_class(m_type->name, nullptr);
    return *this;
}

type_builder& type_builder::activatable(std::function<IInspectable()> make)
{
    m_type->activate = std::move(make);
    return *this;
}

type_builder& type_builder::define(property_slot& slot, TypeName type, PropertyMetadata metadata, bool attached, setter set)
{
    const TypeName owner{m_type->name, TypeKind::Metadata};
    const hstring text_type = text_type_of(type);
    slot.m_property = attached ? DependencyProperty::RegisterAttached(slot.name(), std::move(type), owner, std::move(metadata))
                               : DependencyProperty::Register(slot.name(), std::move(type), owner, std::move(metadata));
    return add(member_info{slot.name(), text_type, slot.m_property, std::move(set), {}, attached, false});
}

type_builder& type_builder::checked_property(property_slot& slot, TypeName type, IInspectable defaultValue, setter set)
{
    return define(slot, std::move(type), PropertyMetadata(std::move(defaultValue)), false, std::move(set));
}

type_builder& type_builder::property(property_slot& slot, TypeName type, IInspectable defaultValue,
                                     PropertyChangedCallback changed)
{
    return define(slot, std::move(type), PropertyMetadata(std::move(defaultValue), std::move(changed)), false);
}

type_builder& type_builder::attached(property_slot& slot, TypeName type, IInspectable defaultValue,
                                     PropertyChangedCallback changed, value_ownership ownership)
{
    return define(slot, std::move(type), PropertyMetadata(std::move(defaultValue), std::move(changed), ownership), true);
}

type_builder& type_builder::member(hstring name, hstring type, setter set, getter get)
{
    return add(member_info{std::move(name), std::move(type), {}, std::move(set), std::move(get), false, false});
}

type_builder& type_builder::collection(hstring name, setter add_item)
{
    return add(member_info{std::move(name), u"Object", {}, std::move(add_item), {}, false, true});
}

type_builder& type_builder::content(hstring member)
{
    m_type->content_member = std::move(member);
    return *this;
}

std::vector<const type_info*> registered_types()
{
    std::vector<const type_info*> types;
    for (const auto& entry : the_registry().types) types.push_back(&entry.second);
    return types;
}

const type_info* find_type(std::u16string_view name) noexcept
{
    const auto& types = the_registry().types;
    const auto found = types.find(name);
    return found == types.end() ? nullptr : &found->second;
}

const member_info* find_member(const type_info& type, std::u16string_view name) noexcept
{
    for (const type_info* t = &type; t; t = t->base.empty() ? nullptr : find_type(t->base)) {
        const auto found = t->members.find(hstring(name));
        if (found != t->members.end()) return &found->second;
    }
    return nullptr;
}

bool is_derived_from(std::u16string_view type, std::u16string_view base) noexcept
{
    for (const type_info* t = find_type(type); t; t = t->base.empty() ? nullptr : find_type(t->base))
        if (t->name == base) return true;
    return false;
}

void register_converter(hstring type, text_converter convert)
{
    check_open(u"The converter for " + type);
    if (!the_registry().converters.try_emplace(type.str(), std::move(convert)).second)
        throw foundation::hresult_invalid_argument(u"The converter for " + type + u" is registered twice");
}

void seal()
{
    std::call_once(builtins_once, register_builtin_converters);
    the_registry().sealed = true;
}

bool is_sealed() noexcept { return the_registry().sealed; }

void unseal_for_tests() noexcept { the_registry().sealed = false; }

IInspectable convert_text(std::u16string_view type, std::u16string_view text)
{
    std::call_once(builtins_once, register_builtin_converters);
    const auto& converters = the_registry().converters;
    const auto found = converters.find(type);
    if (found == converters.end())
        throw foundation::hresult_invalid_argument(u"Values of type " + hstring(type) + u" cannot be written as text");
    return found->second(text);
}

}  // namespace xaml::metadata
