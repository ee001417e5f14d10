#pragma once
// The style of the command buttons and the colour lists: their faces are one
// flat fill of exactly their background colour, inside a classic raised
// bevel that turns sunken while pressed, with a dark outline while they have
// the keyboard focus. Everything else (captions, the list's arrow, the focus
// rectangle) is drawn by Fusion, which looks the same on every desktop.

#include <QProxyStyle>

namespace morvane::ui {

class FlatStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FlatStyle)
public:
    FlatStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

} // namespace morvane::ui
