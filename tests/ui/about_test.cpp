// The About window: its controls, its load step, its links and its keys, and
// the WML example page it carries.

#include "fake_platform.h"
#include "probe.h"
#include "ui/about/frm_help.h"
#include "ui/back_color.h"
#include "ui/product.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::ui {
namespace {

class About : public ::testing::Test {
protected:
    void SetUp() override { help = std::make_unique<FrmHelp>(fake.platform); }
    void Show() {
        help->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(help.get()));
    }

    fakes::FakePlatform fake;
    std::unique_ptr<FrmHelp> help;
};

TEST_F(About, LoadSetsCaptionVersionAndTitle) {
    const QString version = QString::fromLatin1(morvane::kVersion);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Morvane V") + version);
    EXPECT_EQ(help->lblVersion->text(), QStringLiteral("版本 ") + version);
    EXPECT_EQ(help->lblTitle->text(), QStringLiteral("Morvane"));
}

TEST_F(About, FixedDialogWithCloseBoxOnly) {
    EXPECT_EQ(help->size(), QSize(386, 216)); // 5790 x 3240 twips
    EXPECT_EQ(help->minimumSize(), help->maximumSize());
    const Qt::WindowFlags flags = help->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(help->parentWidget(), nullptr);
    EXPECT_FALSE(help->windowIcon().isNull());
}

TEST_F(About, ControlsStandAtTheirPlaces) {
    const struct {
        QWidget* control;
        TwipRect place;
    } table[] = {
        {help->Text1, {3840, 1440, 1935, 495}},
        // The picture (120 x 65 pixels) and its 2-pixel sunken border.
        {help->picIcon, {3840, 240, 1860, 1035}},
        {help->cmdOK, {4125, 2265, 1500, 345}},
        {help->cmdSysInfo, {4140, 2715, 1485, 345}},
        {help->Label1, {30, 1410, 915, 195}},
        {help->lblVersion, {120, 360, 1695, 255}},
        {help->lblTitle, {1560, 60, 1455, 255}},
        {help->Line1[1], {60, 2040, 5564, 15}},
        {help->Line1[0], {75, 2040, 5549, 30}},
        {help->lblDisclaimer[1], {600, 2220, 330, 180}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Geometry(row.control), row.place) << row.control->objectName().toStdString();
    }
}

// Labels that size themselves keep their place and show their whole text.
TEST_F(About, SelfSizingLabelsShowTheirWholeText) {
    const struct {
        QLabel* label;
        TwipRect given;
        QString text;
    } table[] = {
        {help->lblDescription[4],
         {60, 1680, 2160, 180},
         QStringLiteral("Email:    ") + kMakerEmail},
        {help->lblDescription[2], {1020, 1410, 1890, 180}, kMakerUrl},
        {help->lblDescription[1],
         {360, 960, 3360, 360},
         QStringLiteral("本软件是由Quorin开发的UTF-8和GB2312编码转换的工具，供广大网友免费使用。")},
        {help->lblDescription[0], {120, 720, 1260, 180}, QStringLiteral("应用程序简介：")},
        {help->lbalTitle, {120, 60, 1260, 180}, QStringLiteral("应用程序标题：")},
        {help->lblDisclaimer[0], {120, 2220, 810, 180}, QStringLiteral("警告: ...")},
    };
    for (const auto& row : table) {
        const std::string name = row.label->objectName().toStdString();
        EXPECT_EQ(row.label->text(), row.text) << name;
        const TwipRect at = Geometry(row.label);
        EXPECT_EQ(at.Left, row.given.Left) << name;
        EXPECT_EQ(at.Top, row.given.Top) << name;
        EXPECT_GE(at.Width, row.given.Width) << name;
        EXPECT_GE(at.Height, row.given.Height) << name;
        if (row.label->wordWrap()) {
            EXPECT_GE(row.label->height(), row.label->heightForWidth(row.label->width())) << name;
        } else {
            EXPECT_GE(row.label->size().width(), row.label->sizeHint().width()) << name;
            EXPECT_GE(row.label->size().height(), row.label->sizeHint().height()) << name;
        }
    }
    EXPECT_EQ(help->Label1->text(), QStringLiteral("作者网站："));
    EXPECT_EQ(help->cmdOK->text(), QStringLiteral("确定"));
    EXPECT_EQ(help->cmdSysInfo->text(), QStringLiteral("系统信息(&S)..."));
    EXPECT_TRUE(help->lblDisclaimer[1]->text().isEmpty());
    EXPECT_EQ(help->lblDescription[3], nullptr);
}

TEST_F(About, LinkLooksLikeALink) {
    QLabel* link = help->lblDescription[2];
    EXPECT_EQ(link->font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(link->font().pointSize(), 9);
    EXPECT_TRUE(link->font().underline());
    EXPECT_FALSE(link->font().bold());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(help->picIcon->cursor().shape(), Qt::PointingHandCursor);
    for (QLabel* label : {help->lblDescription[0], help->lblDescription[1], help->lblDescription[4],
                          help->lbalTitle, help->lblDisclaimer[0]}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0))
            << label->objectName().toStdString();
    }
    EXPECT_EQ(help->picIcon->toolTip(), QStringLiteral("欢迎您光临Tarnwick。"));
    EXPECT_EQ(help->picIcon->pixmap().size(), QSize(120, 65));
    EXPECT_EQ(help->picIcon->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(help->picIcon->lineWidth(), 2);
    EXPECT_EQ(BackColor(help->Line1[1]), RGB(128, 128, 128));
    EXPECT_EQ(BackColor(help->Line1[0]), RGB(255, 255, 255));
}

TEST_F(About, PictureAndDescriptionsOpenTheWebSiteOtherLabelsDoNot) {
    Show();
    const struct {
        QWidget* control;
        bool opens;
    } table[] = {
        {help->picIcon, true},           {help->lblDescription[0], true},
        {help->lblDescription[1], true}, {help->lblDescription[2], true},
        {help->lblDescription[4], true}, {help->Label1, false},
        {help->lblTitle, false},         {help->lbalTitle, false},
        {help->lblVersion, false},       {help->lblDisclaimer[0], false},
        {help->lblDisclaimer[1], false},
    };
    for (const auto& row : table) {
        fake.shell.opened.clear();
        QTest::mouseClick(row.control, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(row.control, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_EQ(fake.shell.opened, row.opens ? QStringList{kMakerUrl} : QStringList{})
            << row.control->objectName().toStdString();
    }
    // A failing browser changes nothing.
    fake.shell.answer = false;
    fake.shell.opened.clear();
    QTest::mouseClick(help->picIcon, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(fake.shell.opened.size(), 1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(fake.messages.calls.empty());
}

TEST_F(About, FocusStartsOnOkAndFollowsTheTabIndices) {
    Show();
    EXPECT_EQ(QApplication::focusWidget(), help->cmdOK);
    QTest::keyClick(help->cmdOK, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), help->picIcon);
    QTest::keyClick(help->picIcon, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), help->cmdSysInfo);
    QTest::keyClick(help->cmdSysInfo, Qt::Key_Tab); // past the hidden Text1
    EXPECT_EQ(QApplication::focusWidget(), help->cmdOK);
}

// Esc closes wherever the focus is; Enter too, except on System Information.
TEST_F(About, EscAndEnterCloseTheWindow) {
    const struct {
        int key;
        int focus; // 0 OK, 1 picture, 2 System Information
        bool closes;
    } table[] = {{Qt::Key_Escape, 0, true}, {Qt::Key_Escape, 1, true}, {Qt::Key_Escape, 2, true},
                 {Qt::Key_Return, 0, true}, {Qt::Key_Return, 1, true}, {Qt::Key_Enter, 0, true},
                 {Qt::Key_Return, 2, false}};
    for (const auto& row : table) {
        help = std::make_unique<FrmHelp>(fake.platform);
        QSignalSpy unloaded(help.get(), &FrmHelp::Unloaded);
        Show();
        QWidget* focus[] = {help->cmdOK, help->picIcon, help->cmdSysInfo};
        focus[row.focus]->setFocus();
        fake.messages.calls.clear();
        QTest::keyClick(focus[row.focus], static_cast<Qt::Key>(row.key));
        EXPECT_EQ(!help->isVisible(), row.closes) << row.key << " " << row.focus;
        EXPECT_EQ(unloaded.count(), row.closes ? 1 : 0) << row.key << " " << row.focus;
        // Enter on System Information starts the launcher (here: "not available").
        EXPECT_EQ(fake.messages.calls.size(), row.closes ? 0u : 1u) << row.key << " " << row.focus;
    }
}

TEST_F(About, CloseBoxAndOkUnload) {
    QSignalSpy unloaded(help.get(), &FrmHelp::Unloaded);
    Show();
    help->close();
    EXPECT_EQ(unloaded.count(), 1);
    Show();
    help->cmdOK->click();
    EXPECT_EQ(unloaded.count(), 2);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(About, AccessKeyStartsSystemInformation) {
    Show();
    QTest::keyClick(help.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(fake.messages.calls.size(), 1u);
    EXPECT_TRUE(help->isVisible());
}

TEST_F(About, Text1HoldsTheHiddenExamplePage) {
    EXPECT_TRUE(help->Text1->isHidden());
    EXPECT_EQ(help->Text1->Text(), WmlExample());
}

TEST(WmlExamplePage, SixteenLinesEachEndingInCrLf) {
    const QString page = WmlExample();
    ASSERT_TRUE(page.endsWith(QStringLiteral("</wml>\r\n")));
    const QStringList lines = page.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17);
    EXPECT_TRUE(lines[16].isEmpty());
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')));
    }
    const struct {
        int line;
        QString text;
    } table[] = {
        {1, QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>")},
        {2, QStringLiteral("<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.1//EN\" "
                           "\"http://www.wapforum.org/DTD/wml_1.1.xml\">")},
        {3, QStringLiteral("<wml>")},
        {4, QStringLiteral(
                "    <card id=\"Main\" title=\"WAP\u4EE3\u7801\u5B9E\u4F8B\">")}, // 代码实例
        {5, QStringLiteral("\t\t<p align=\"center\">")},
        {6, QStringLiteral("\t\t<b>T a r n w i c k</b>")},
        {7, QStringLiteral("\t\t</p>")},
        {8, QStringLiteral("\t\t<p align=\"left\">")},
        {10, QStringLiteral("\t\t</p>")},
        {11, QStringLiteral("\t\t<p align=\"center\">")},
        {12, QStringLiteral("\t\t\t<br/>")},
        {13, QStringLiteral("\t\t\t<small>http://www.tarnwick.example/</small>")},
        {14, QStringLiteral("\t\t</p>")},
        {15, QStringLiteral("    </card>")},
        {16, QStringLiteral("</wml>")},
    };
    for (const auto& row : table) {
        EXPECT_EQ(lines[row.line - 1], row.text) << row.line;
    }
    // Line 9: no indentation; its brackets, list commas, commas and closing
    // mark are the full-width ones, its parentheses ASCII.
    const QString nine = lines[8];
    EXPECT_TRUE(nine.startsWith(QChar(0x300E) + QStringLiteral("Tarnwick") + QChar(0x300F)));
    EXPECT_EQ(nine.count(QChar(0x3001)), 3);
    EXPECT_EQ(nine.count(QChar(0xFF0C)), 2);
    EXPECT_TRUE(nine.endsWith(QChar(0xFF01)));
    EXPECT_EQ(nine.count(QLatin1Char('(')), 1);
    EXPECT_EQ(nine.count(QLatin1Char(')')), 1);
    EXPECT_EQ(nine.size(), 64);
}

} // namespace
} // namespace morvane::ui
