#pragma once
// Opening a web address in the user's browser.

#include <QString>

namespace morvane::platform {

class Shell {
public:
    virtual ~Shell() = default;
    /// Asks the desktop to open url in the default browser. Never blocks; the
    /// answer only says whether a handler was found, not that a page opened.
    virtual bool openUrl(const QString& url) = 0;
};

} // namespace morvane::platform
