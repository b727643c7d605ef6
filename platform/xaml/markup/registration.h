#pragma once
// The markup part's types; xaml::register_types() calls them.

namespace xaml {

void register_items_repeater();

namespace markup_detail {
// Resource dictionaries, templates, visual states and setters, which the loader builds itself.
void register_loader_types();
}  // namespace markup_detail

}  // namespace xaml
