// Prints the colours the desktop's theme hands a Qt program, for the
// end-to-end tests to check that the theme they set up is in force:
// "WINDOW TEXT TOOLTIP" of the application's palette, each as r,g,b.

#include <QApplication>
#include <QPalette>
#include <QToolTip>

#include <cstdio>

namespace {

void Print(const QColor& c, const char* after) {
    std::printf("%d,%d,%d%s", c.red(), c.green(), c.blue(), after);
}

} // namespace

int main(int argc, char* argv[]) {
    const QApplication app(argc, argv);
    const QPalette palette = QApplication::palette();
    Print(palette.color(QPalette::Window), " ");
    Print(palette.color(QPalette::WindowText), " ");
    Print(QToolTip::palette().color(QPalette::ToolTipBase), "\n");
    return 0;
}
