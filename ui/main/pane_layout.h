#pragma once
// The arithmetic of the text area's layout, in twips and single-precision
// floats, apart from the widgets: where the upper and lower boxes go for a
// client size and a split ratio, and which ratio a splitter drag gives. Kept
// pure so exact twip cases can be checked without pixel rounding.

#include "ui/twips.h"

#include <optional>

namespace morvane::ui {

/// Where the upper (input) and lower (output) boxes of both pane pairs go.
struct PaneLayout {
    /// Always present; its width is negative when the client is narrower than
    /// the text area's reserve, and Move then refuses it.
    TwipRect upper;
    /// Absent when the room below the upper boxes is 400 twips or less: the
    /// lower boxes then keep the geometry they have.
    std::optional<TwipRect> lower;
};

/// Layout for a client area of ScaleWidth x ScaleHeight twips with the given
/// share of the usable height for the upper boxes (at least 400 twips high).
PaneLayout LayOutPanes(float ScaleWidth, float ScaleHeight, float SplitRatio);

/// Split ratio for the pointer at Y twips in a client ScaleHeight twips high:
/// Y / ScaleHeight, 0 when that is negative or not a number, 1 above 1.
float DragRatio(float Y, float ScaleHeight);

} // namespace morvane::ui
