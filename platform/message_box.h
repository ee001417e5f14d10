#pragma once
// Modal message boxes with the program's own Chinese button texts.

#include <QString>

class QWidget;

namespace morvane::platform {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question };
enum class MessageAnswer { Ok, Yes, No };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    /// Shows a modal box and returns the button pressed. With YesNo, Yes is the
    /// default button and closing the box answers No. parent may be null.
    virtual MessageAnswer show(QWidget* parent, const QString& text, const QString& title,
                               MessageButtons buttons, MessageIcon icon) = 0;
};

} // namespace morvane::platform
