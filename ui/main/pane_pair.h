#pragma once
// A pane pair: an input box over an output box of the same kind.

namespace morvane::ui {

class TextBox;

struct PanePair {
    TextBox* input = nullptr;
    TextBox* output = nullptr;
};

} // namespace morvane::ui
