#pragma once
// The parsed form of a markup file, kept by the loader and by data templates, which build their
// content again for every item. Internal to the layer.

#include "platform/foundation/error.h"
#include "platform/foundation/hstring.h"

#include <map>
#include <memory>
#include <vector>

namespace xaml::markup_detail {

using foundation::hstring;

inline constexpr std::u16string_view presentation_namespace = u"http://schemas.microsoft.com/winfx/2006/xaml/presentation";
inline constexpr std::u16string_view xaml_namespace = u"http://schemas.microsoft.com/winfx/2006/xaml";

struct attribute {
    hstring ns;    // namespace URI, empty for an unprefixed attribute
    hstring name;  // local name: "Text", "Grid.Row", "ConnectionId"
    hstring value;
    int line = 0;
};

struct node;
using node_ptr = std::shared_ptr<const node>;

// A child of an element: another element, or text when `element` is null.
struct content_item {
    node_ptr element;
    hstring text;
    int line = 0;
};

struct node {
    hstring ns;    // namespace URI
    hstring name;  // local name; "Owner.Member" for a property element
    int line = 0;
    std::vector<attribute> attributes;
    std::vector<content_item> children;  // document order
    std::shared_ptr<const std::map<hstring, hstring>> namespaces;  // prefix to URI; "" is the default

    bool is_property_element() const { return name.str().find(u'.') != std::u16string::npos; }
};

struct document {
    hstring path;  // named in every error message
    node_ptr root;
};

// Reads and parses a markup file; fails with an error naming the path (and the line, for XML errors).
std::shared_ptr<const document> read_document(const hstring& path);

// A markup error found at a line of the file; the loader adds the path when it reports it.
struct markup_error {
    foundation::hresult code;
    int line;
    hstring message;
};

// The error as the hresult_error kind its code has, with the file and line in front of the message.
[[noreturn]] void throw_located(const document& doc, const markup_error& error);

}  // namespace xaml::markup_detail
