#pragma once
// The system clipboard, as the copy command uses it.

#include <QString>

namespace morvane::platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// Empties the clipboard of every format.
    virtual void clear() = 0;
    /// Places text on the clipboard as plain text only, byte for byte (CR LF kept).
    virtual void setText(const QString& text) = 0;
};

} // namespace morvane::platform
