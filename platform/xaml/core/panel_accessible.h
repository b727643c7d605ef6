#pragma once
// What assistive technology finds inside the layer's plain container widgets (panels, the boxes
// of composite controls, scroll viewports): the children that show, in their order.

namespace xaml {

// Once the application exists; idempotent.
void install_panel_accessible();

}  // namespace xaml
