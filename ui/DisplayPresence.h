#pragma once
// Whether the program has somewhere to show windows.
namespace tov::ui {

// A window system the user sits at: a display is named.
bool displayPresent();
// Somewhere the toolkit can draw: a display, or a toolkit platform named
// explicitly (such as offscreen). Windows nobody can see would wait for
// ever.
bool toolkitCanDraw();

}  // namespace tov::ui
