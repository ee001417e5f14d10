// Modal message boxes with the program's own Chinese button texts.

#include "platform/implementations.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace morvane::platform {
namespace {

class QtMessageBox final : public MessageBox {
public:
    QtMessageBox() = default;
    Q_DISABLE_COPY_MOVE(QtMessageBox)

    MessageAnswer show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons, MessageIcon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        // Shown as written: a message is never taken for markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        box.setIcon(icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon);
        // No window of the program takes input while the box is open.
        box.setWindowModality(Qt::ApplicationModal);

        if (buttons == MessageButtons::Ok) {
            QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
            box.setDefaultButton(ok);
            box.setEscapeButton(ok);
            box.exec();
            return MessageAnswer::Ok;
        }

        // The standard Yes and No buttons would stay English without Qt's
        // Chinese translations; these carry their own mnemonics (Alt+Y, Alt+N).
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        // Escape and the close box press No.
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
};

} // namespace

std::unique_ptr<MessageBox> makeMessageBox() {
    return std::make_unique<QtMessageBox>();
}

} // namespace morvane::platform
