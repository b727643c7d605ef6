#pragma once
// The desktop's light or dark preference, followed while the program runs: the settings
// portal's colour scheme where a portal answers on the session bus, the platform's palette
// otherwise. Either way placeholder texts, the edges of fields, radio-button circles and the
// keyboard focus stay plain to see.

namespace xaml {

// Starts following the preference; the Qt application must exist. Called again, it starts
// over with the session bus as it is then.
void follow_desktop_appearance();
// Stops following: the platform's palette and the style the application had come back.
void stop_following_desktop_appearance();

}  // namespace xaml
