#pragma once
// Control colours as the program composes them: one 24-bit value
// red + 256 x green + 65536 x blue.

#include <cstdint>

class QColor;
class QPalette;
class QWidget;

namespace morvane::ui {

using Colour = std::uint32_t;

/// red + 256 x green + 65536 x blue, each component 0 to 255.
constexpr Colour RGB(int red, int green, int blue) {
    return static_cast<Colour>(red) + 256u * static_cast<Colour>(green) +
           65536u * static_cast<Colour>(blue);
}

/// The two ways between the program's colour value and Qt's.
QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

/// Sets the background a control shows: the editing area of a text box, the
/// face of a button, the whole area of a panel, frame, check box or label.
void SetBackColor(QWidget* control, Colour colour);
/// The colour last set with SetBackColor; the palette's own background otherwise.
Colour BackColor(const QWidget* control);

/// Sets the text colour of a control, and of the controls inside it that have
/// none of their own.
void SetForeColor(QWidget* control, Colour colour);

/// Sets the text colour of a window's own surface; its controls, created
/// before, keep the text colours the window had.
void SetWindowForeColor(QWidget* window, Colour colour);

/// The palette of the light desktops the windows are drawn for: black text on
/// light grey faces and white editing areas. The windows start from it on
/// every desktop, so the text on their fixed backgrounds stays black under a
/// dark theme too.
QPalette LightDesktopPalette();

} // namespace morvane::ui
