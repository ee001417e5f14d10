#pragma once
// Window geometry in twips (15 per logical pixel). Controls keep the exact
// twip geometry they were given, as floats; Qt receives it rounded to pixels.

#include <QRectF>

class QWidget;

namespace morvane::ui {

inline constexpr float kTwipsPerPixel = 15.0f;

/// Twips to the nearest whole logical pixel.
int ToPixels(float twips);
/// Logical pixels to twips.
inline float ToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

/// Left, Top, Width, Height in twips.
struct TwipRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

/// Places a control at Left, Top, Width, Height twips inside its parent. A
/// negative width or height fails: nothing changes and the answer is false.
bool MoveTwips(QWidget* control, float Left, float Top, float Width, float Height);

/// The twip geometry last given by Move, or the control's pixel geometry in
/// twips when Move never placed it.
TwipRect Geometry(const QWidget* control);

} // namespace morvane::ui
