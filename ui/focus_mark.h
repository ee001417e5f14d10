#pragma once
// A keyboard-focus mark for the controls whose style draws none: the status
// bar's panel, which takes the focus from the clock and help-tip boxes, and
// the About window's picture. The mark is a frame in the palette's highlight
// colour, two pixels wide, along the inside of the control.

#include <QWidget>

namespace morvane::ui {

/// Width of the focus mark, in pixels.
inline constexpr int kFocusMarkWidth = 2;

/// Draws the focus mark over `control` (call from its paint handler).
void DrawFocusMark(QWidget& control);

/// A control of type Base that draws the focus mark over itself while it has
/// the keyboard focus.
template <typename Base> class ShowsFocus final : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent* event) override {
        Base::paintEvent(event);
        if (this->hasFocus()) {
            DrawFocusMark(*this);
        }
    }
};

} // namespace morvane::ui
