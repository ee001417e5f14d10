// The system clipboard through Qt: the copy command's plain text, exactly.

#include "platform/implementations.h"

#include <QClipboard>
#include <QGuiApplication>

namespace morvane::platform {
namespace {

class QtClipboard final : public Clipboard {
public:
    QtClipboard() = default;
    Q_DISABLE_COPY_MOVE(QtClipboard)

    void clear() override {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) {
            clipboard->clear(QClipboard::Clipboard);
        }
    }

    void setText(const QString& text) override {
        // QClipboard::setText offers text/plain only (and its X11 aliases),
        // unchanged: CR LF stays CR LF.
        if (QClipboard* clipboard = QGuiApplication::clipboard()) {
            clipboard->setText(text, QClipboard::Clipboard);
        }
    }
};

} // namespace

std::unique_ptr<Clipboard> makeClipboard() {
    return std::make_unique<QtClipboard>();
}

} // namespace morvane::platform
