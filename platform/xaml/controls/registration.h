#pragma once
// The controls' types, each registered beside its class; xaml::register_types() calls them.

namespace xaml {

void register_control_bases();
void register_auto_suggest_box();
void register_border();
void register_button();
void register_combo_box();
void register_content_dialog();
void register_font_icon();
void register_frame();
void register_grid();
void register_image();
void register_menu_flyout();
void register_navigation_view();
void register_navigation_view_item();
void register_number_box();
void register_panel();
void register_password_box();
void register_progress_ring();
void register_radio_buttons();
void register_relative_panel();
void register_scroll_viewer();
void register_selector();
void register_stack_panel();
void register_text_block();
void register_text_box();
void register_toggle_button();
void register_tool_tip_service();

}  // namespace xaml
