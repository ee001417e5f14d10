#pragma once
// The wait pointer while a command or a paste changes the panes' texts. A
// step that converts, lays out or hands over this many characters takes some
// hundredths of a second; twice as many, about a tenth (measured on two
// cores: 1 M characters in and 3.2 M out converted and shown in 90 ms, a swap
// of two 1 M boxes 86 ms; a line of references with no place to break costs
// up to twice that). From there on the pointer shows that the program is
// busy; below, a wait pointer would only flicker.

#include "ui/text_box.h"

#include <QGuiApplication>
#include <QTextDocument>

namespace morvane::ui {

/// The wait pointer from the first step that expects a long run to the end of
/// the command. The change reaches the window system at once, although the
/// command holds up the event loop.
class PaneWaitCursor final {
public:
    static constexpr qsizetype kBusyChars = 500'000;

    PaneWaitCursor() = default;
    ~PaneWaitCursor() {
        if (m_shown) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    Q_DISABLE_COPY_MOVE(PaneWaitCursor)

    /// The next step works on `chars` characters.
    void Expect(qsizetype chars) {
        if (!m_shown && chars >= kBusyChars) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            m_shown = true;
        }
    }

    /// The characters a step that replaces or reads `box`'s text works on.
    static qsizetype Chars(const TextBox* box) { return box->document()->characterCount(); }

private:
    bool m_shown = false;
};

} // namespace morvane::ui
