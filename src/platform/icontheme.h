#pragma once

// Menu and toolbar pictures come from the desktop's icon theme by their
// freedesktop names; our own small icons stand in for names it lacks (and
// for everything where no theme is installed).
namespace IconTheme {
inline constexpr const char* Fallback = "quillora";
void install();
} // namespace IconTheme
