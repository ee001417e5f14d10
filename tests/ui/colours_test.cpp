// Colour settings: a user's pick in a component list fills empty lists with
// 255 and colours the ticked groups; nothing else changes colour.

#include "shown_window.h"
#include "ui/back_color.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <map>

namespace morvane::ui {
namespace {

class Colours : public ShownWindow {
public:
    /// What a user's pick does: the entry becomes current, then activated.
    void Pick(int list, const QString& entry) {
        QComboBox* box = w->ComboColor[static_cast<std::size_t>(list)];
        const int i = box->findText(entry);
        ASSERT_GE(i, 0) << entry.toStdString();
        box->setCurrentIndex(i);
        Q_EMIT box->activated(i);
    }

    // The three target groups, in the order they are coloured.
    std::vector<QWidget*> Texts() const {
        return {w->TxtTop1, w->Txttop, w->TxtBottom1, w->TxtBottom};
    }
    std::vector<QWidget*> Panel() const {
        std::vector<QWidget*> v = {w->PicContainer, w->FrameColor, w->FrameOption};
        v.insert(v.end(), w->ChkChoose.begin(), w->ChkChoose.end());
        v.insert(v.end(), w->ChkOption.begin(), w->ChkOption.end());
        return v;
    }
    std::vector<QWidget*> Buttons() const { return {w->CmdButton.begin(), w->CmdButton.end()}; }
    // Controls the colour settings never touch.
    std::vector<QWidget*> Untouched() const {
        return {w.get(),
                w->Picbottom,
                w->Picjiao,
                w->TxtHelpTip,
                w->TxtTimeTip,
                w->TxtLineTip,
                w->ComboColor[kRed],
                w->ComboColor[kGreen],
                w->ComboColor[kBlue]};
    }
    std::map<QWidget*, Colour> ColoursOf(const std::vector<QWidget*>& controls) const {
        std::map<QWidget*, Colour> m;
        for (QWidget* c : controls) {
            m[c] = BackColor(c);
        }
        return m;
    }
    void ExpectAll(const std::vector<QWidget*>& controls, Colour colour) {
        for (QWidget* c : controls) {
            EXPECT_EQ(BackColor(c), colour) << c->objectName().toStdString();
        }
    }
    void ExpectTexts(const char* red, const char* green, const char* blue) {
        EXPECT_EQ(w->ComboColor[kRed]->currentText(), QString::fromLatin1(red));
        EXPECT_EQ(w->ComboColor[kGreen]->currentText(), QString::fromLatin1(green));
        EXPECT_EQ(w->ComboColor[kBlue]->currentText(), QString::fromLatin1(blue));
    }
};

TEST_F(Colours, AFirstPickFillsTheOtherListsWith255AndColoursAllGroups) {
    const auto untouched = ColoursOf(Untouched());
    Pick(kRed, QStringLiteral("100"));
    ExpectTexts("100", "255", "255");
    const Colour c = RGB(100, 255, 255);
    ExpectAll(Texts(), c);
    ExpectAll(Panel(), c);
    ExpectAll(Buttons(), c);
    EXPECT_EQ(ColoursOf(Untouched()), untouched);
    // Label1 shows its frame through, with no colour of its own.
    EXPECT_FALSE(w->Label1->testAttribute(Qt::WA_SetPalette));
    // What each panel control fills itself with is the colour (a check box
    // fills with its button colour, a frame with its window colour).
    for (QWidget* control : Panel()) {
        EXPECT_EQ(control->palette().color(control->backgroundRole()), QColor(100, 255, 255))
            << control->objectName().toStdString();
        EXPECT_TRUE(control->autoFillBackground()) << control->objectName().toStdString();
    }
    // The palette really carries it: the pane's editing area, the button's face.
    EXPECT_EQ(w->TxtTop1->palette().color(QPalette::Base), QColor(100, 255, 255));
    EXPECT_EQ(w->CmdButton[kGbToUtf]->palette().color(QPalette::Button), QColor(100, 255, 255));
}

TEST_F(Colours, TheColourComesFromAllThreeListsWhicheverRaisedTheEvent) {
    const struct {
        int list;
        const char* entry;
        Colour expected;
    } steps[] = {
        {1, "20", RGB(255, 20, 255)},
        {2, "0", RGB(255, 20, 0)},
        {0, "240", RGB(240, 20, 0)},
        {1, "255", RGB(240, 255, 0)},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.list << " " << s.entry);
        Pick(s.list, QString::fromLatin1(s.entry));
        ExpectAll(Buttons(), s.expected);
        ExpectAll(Texts(), s.expected);
    }
}

TEST_F(Colours, BlackAndWhite) {
    for (int i = 0; i < 3; ++i) {
        Pick(i, QStringLiteral("0"));
    }
    ExpectAll(Panel(), RGB(0, 0, 0));
    for (int i = 0; i < 3; ++i) {
        Pick(i, QStringLiteral("255"));
    }
    ExpectAll(Panel(), RGB(255, 255, 255));
    EXPECT_EQ(RGB(255, 255, 255), 0xFFFFFFu);
}

TEST_F(Colours, WithNoTickBoxTickedAPickOnlyFillsTheLists) {
    for (QCheckBox* box : w->ChkOption) {
        box->setChecked(false);
    }
    const auto before = ColoursOf(Texts());
    const auto panel = ColoursOf(Panel());
    const auto buttons = ColoursOf(Buttons());
    Pick(kBlue, QStringLiteral("30"));
    ExpectTexts("255", "255", "30");
    EXPECT_EQ(ColoursOf(Texts()), before);
    EXPECT_EQ(ColoursOf(Panel()), panel);
    EXPECT_EQ(ColoursOf(Buttons()), buttons);
}

TEST_F(Colours, EachTickBoxColoursOnlyItsGroup) {
    const struct {
        int ticked;
        std::vector<QWidget*> (Colours::*group)() const;
    } cases[] = {{0, &Colours::Texts}, {1, &Colours::Panel}, {2, &Colours::Buttons}};
    int value = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticked);
        for (int i = 0; i < 3; ++i) {
            w->ChkOption[static_cast<std::size_t>(i)]->setChecked(i == c.ticked);
        }
        const auto others = [&] {
            std::vector<QWidget*> v;
            for (const auto& o : cases) {
                if (o.ticked != c.ticked) {
                    const auto g = (this->*o.group)();
                    v.insert(v.end(), g.begin(), g.end());
                }
            }
            return v;
        }();
        const auto before = ColoursOf(others);
        Pick(kRed, QString::number(value));
        ExpectAll((this->*c.group)(), RGB(value, 255, 255));
        EXPECT_EQ(ColoursOf(others), before);
        value += 10;
    }
}

TEST_F(Colours, TheHiddenPanePairIsColouredToo) {
    ASSERT_TRUE(w->Txttop->isHidden());
    Pick(kGreen, QStringLiteral("70"));
    EXPECT_EQ(BackColor(w->Txttop), RGB(255, 70, 255));
    EXPECT_EQ(BackColor(w->TxtBottom), RGB(255, 70, 255));
    w->Txttop->show();
    EXPECT_EQ(w->Txttop->viewport()->palette().color(QPalette::Base), QColor(255, 70, 255));
}

TEST_F(Colours, ClearingATickBoxLaterKeepsItsGroupsColour) {
    Pick(kRed, QStringLiteral("50"));
    w->ChkOption[kColourButtons]->setChecked(false);
    ExpectAll(Buttons(), RGB(50, 255, 255)); // no immediate effect
    Pick(kRed, QStringLiteral("90"));
    ExpectAll(Buttons(), RGB(50, 255, 255));
    ExpectAll(Texts(), RGB(90, 255, 255));
}

TEST_F(Colours, ASelectionMadeInCodeColoursNothing) {
    const auto before = ColoursOf(Texts());
    w->ComboColor[kRed]->setCurrentIndex(3);
    EXPECT_EQ(ColoursOf(Texts()), before);
}

TEST_F(Colours, TheHandlerNeverRaisesAPickOfItsOwn) {
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QComboBox* list : w->ComboColor) {
        spies.push_back(std::make_unique<QSignalSpy>(list, &QComboBox::activated));
    }
    FrmMainProbe::ComboColor_Click(*w, kRed);
    ExpectTexts("255", "255", "255");
    for (const auto& spy : spies) {
        EXPECT_EQ(spy->count(), 0);
    }
    ExpectAll(Buttons(), RGB(255, 255, 255));
}

TEST_F(Colours, APickByKeyboardOnTheListColours) {
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QComboBox* green = w->ComboColor[kGreen];
    green->setFocus();
    QTest::keyClick(green, Qt::Key_Down); // nothing selected: the first entry, "0"
    ExpectTexts("255", "0", "255");
    QTest::keyClick(green, Qt::Key_Down);
    ExpectTexts("255", "10", "255");
    ExpectAll(Buttons(), RGB(255, 10, 255));
}

} // namespace
} // namespace morvane::ui
