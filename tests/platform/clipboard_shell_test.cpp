// The clipboard's plain text and the browser hand-off, headless.

#include "platform/implementations.h"
#include "test_files.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::platform {
namespace {

TEST(ClipboardTest, PlacesExactlyThePlainText) {
    auto clipboard = makeClipboard();
    // 汉字 (Chinese characters), a lone CR and a character above U+FFFF (😀)
    const QString texts[] = {
        QStringLiteral("line1\r\nline2 汉字\r\n"),
        QStringLiteral("&#x4E2D;\r\r\n\t<wml>"),
        QStringLiteral("a\rb\nc 😀"),
        QStringLiteral("x"),
    };
    for (const QString& text : texts) {
        // Something richer is on the clipboard first; it must all go.
        auto* rich = new QMimeData;
        rich->setHtml(QStringLiteral("<b>old</b>"));
        rich->setText(QStringLiteral("old"));
        QGuiApplication::clipboard()->setMimeData(rich);

        clipboard->clear();
        clipboard->setText(text);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->formats(), QStringList{QStringLiteral("text/plain")});
        EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    }
}

TEST(ClipboardTest, ClearRemovesEveryFormat) {
    auto clipboard = makeClipboard();
    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>old</b>"));
    rich->setText(QStringLiteral("old"));
    QGuiApplication::clipboard()->setMimeData(rich);
    clipboard->clear();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(ShellTest, RefusesAddressesThatAreNotValid) {
    auto shell = makeShell();
    for (const char* url : {"", "http://[::1", "http://exa mple.org/"}) {
        EXPECT_FALSE(shell->openUrl(QString::fromLatin1(url))) << url;
    }
}

} // namespace
} // namespace morvane::platform
