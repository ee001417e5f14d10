// Colour settings: a pick in one of the red, green and blue lists colours the
// groups of controls whose tick boxes are ticked.
#include "ui/back_color.h"
#include "ui/main/frm_main.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace morvane::ui {

namespace {
// The entry a list that has nothing selected takes on the first pick.
constexpr char16_t kFullIntensity[] = u"255";
} // namespace

void FrmMain::ConnectColours() {
    // activated: the user's picks only, never a selection made in code.
    for (int i = 0; i < 3; ++i) {
        connect(ComboColor[static_cast<std::size_t>(i)], &QComboBox::activated, this,
                [this, i] { ComboColor_Click(i); });
    }
}

void FrmMain::ComboColor_Click(int Index) {
    (void)Index; // the colour always comes from all three lists
    for (QComboBox* list : ComboColor) {
        if (list->currentText().isEmpty()) {
            // Silenced, so that filling a list can never start a second run
            // of this handler in the middle of this one.
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(list->findText(QString::fromUtf16(kFullIntensity)));
        }
    }
    const Colour colour =
        RGB(ComboColor[kRed]->currentText().toInt(), ComboColor[kGreen]->currentText().toInt(),
            ComboColor[kBlue]->currentText().toInt());

    if (ChkOption[kColourText]->isChecked()) {
        for (TextBox* box : Panes()) {
            SetBackColor(box, colour);
        }
    }
    if (ChkOption[kColourWindow]->isChecked()) {
        SetBackColor(PicContainer, colour);
        SetBackColor(FrameColor, colour);
        SetBackColor(FrameOption, colour);
        for (QCheckBox* box : ChkChoose) {
            SetBackColor(box, colour);
        }
        for (QCheckBox* box : ChkOption) {
            SetBackColor(box, colour);
        }
    }
    if (ChkOption[kColourButtons]->isChecked()) {
        for (QPushButton* button : CmdButton) {
            SetBackColor(button, colour);
        }
    }
}

} // namespace morvane::ui
