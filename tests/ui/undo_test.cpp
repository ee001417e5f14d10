// Every command that changes a box's text is one step on that box's undo
// stack: Ctrl+Z in the box brings back what the user had there, Ctrl+Y puts
// the command's text back; boxes a command leaves alone get no step.

#include "shown_window.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>

namespace morvane::ui {
namespace {

class Undo : public ActiveWindow {
protected:
    /// Empties the box and types `lines` into it, as the user would.
    static void Type(TextBox* box, const QStringList& lines) {
        box->SetText(QString());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                QTest::keyClick(box, Qt::Key_Return);
            }
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, lines[i], Qt::NoModifier);
        }
    }
};

TEST_F(Undo, CtrlZAfterACommandRestoresEachBoxItChanged) {
    const struct {
        const char* name;
        bool wrapBefore;
        std::function<void(FrmMain&)> command;
        std::set<int> changed; // indices into Panes(): TxtTop1, Txttop, TxtBottom1, TxtBottom
    } table[] = {
        {"GB2312 to UTF-8",
         true,
         [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kGbToUtf); },
         {2}},
        {"UTF-8 to GB2312",
         true,
         [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kUtfToGb); },
         {2}},
        {"swap", true, [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kSwap); }, {0, 2}},
        {"WML example",
         true,
         [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kWmlExample); },
         {0}},
        {"clear", true, [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kClear); }, {0, 2}},
        {"clear, word wrap off",
         false,
         [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kClear); },
         {1, 3}},
        {"copy result",
         true,
         [](FrmMain& w) { FrmMainProbe::CmdButton_Click(w, kCopyResult); },
         {}},
        {"word wrap off",
         true,
         [](FrmMain& w) { w.ChkChoose[kWordWrap]->setChecked(false); },
         {1, 3}},
        {"word wrap on",
         false,
         [](FrmMain& w) { w.ChkChoose[kWordWrap]->setChecked(true); },
         {0, 2}},
    };
    const std::array<QStringList, 4> typed = {
        QStringList{QStringLiteral("my page &#x4E2D; & text")},
        QStringList{QStringLiteral("hidden in")},
        QStringList{QStringLiteral("old result &#x6587;"), QStringLiteral("line 2")},
        QStringList{QStringLiteral("hidden out")}};
    for (const auto& row : table) {
        w->ChkChoose[kWordWrap]->setChecked(row.wrapBefore);
        const std::array<TextBox*, 4> boxes = w->Panes();
        std::array<QString, 4> before;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            Type(boxes[i], typed[i]);
            before[i] = boxes[i]->Text();
        }
        row.command(*w);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            TextBox* box = boxes[i];
            const QString after = box->Text();
            const bool changed = row.changed.count(static_cast<int>(i)) != 0;
            EXPECT_EQ(after != before[i], changed) << row.name << " box " << i;
            if (!changed) {
                continue;
            }
            EXPECT_TRUE(box->isVisible()) << row.name << " box " << i;
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(box->Text(), before[i]) << row.name << " box " << i;
            QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
            EXPECT_EQ(box->Text(), after) << row.name << " box " << i;
        }
    }
}

} // namespace
} // namespace morvane::ui
