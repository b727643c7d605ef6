#pragma once
// The element core's types, each registered beside its class; xaml::register_types() calls them.

namespace xaml {

void register_elements();
void register_brushes();
void register_automation();

}  // namespace xaml
