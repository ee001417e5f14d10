// The eight command buttons: the two conversions, swap, the WML example, copy
// result, clear, exit and About. Every command works on the pane pair that is
// shown, so what the user sees is what gets converted, copied or cleared.
#include "ui/main/frm_main.h"

#include "engine/engine.h"
#include "ui/about/frm_help.h"
#include "ui/pane_wait_cursor.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QPushButton>

#include <string>
#include <string_view>

namespace morvane::ui {

namespace {

// The engine and QString are both UTF-16: no re-encoding on the way in or out.
QString Convert(const QString& text, std::u16string (*conversion)(std::u16string_view)) {
    const std::u16string_view in(QStringView(text).utf16(), static_cast<std::size_t>(text.size()));
    const std::u16string out = conversion(in);
    return QString::fromUtf16(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace

void FrmMain::ConnectCommands() {
    for (std::size_t i = 0; i < CmdButton.size(); ++i) {
        connect(CmdButton[i], &QPushButton::clicked, this,
                [this, i] { CmdButton_Click(static_cast<int>(i)); });
    }
}

void FrmMain::CmdButton_Click(int Index) {
    const PanePair pair = ShownPair();
    PaneWaitCursor wait;
    constexpr auto Chars = &PaneWaitCursor::Chars;
    switch (Index) {
    case kGbToUtf:   // GB2312 form to UTF-8 form
    case kUtfToGb: { // UTF-8 form to GB2312 form
        wait.Expect(Chars(pair.input));
        const QString result =
            Convert(pair.input->Text(),
                    Index == kGbToUtf ? &engine::ConvertGbToUtf : &engine::ConvertUtfToGb);
        wait.Expect(result.size() + Chars(pair.output));
        pair.output->SetText(result);
        break;
    }
    case kSwap: { // swap input and output
        wait.Expect(Chars(pair.input) + Chars(pair.output));
        const QString t = pair.output->Text();
        pair.output->SetText(pair.input->Text());
        pair.input->SetText(t);
        break;
    }
    case kWmlExample: // the WML example; the About window stays loaded but hidden
        wait.Expect(Chars(pair.input));
        pair.input->SetText(Help().Text1->Text());
        break;
    case kCopyResult: // copy result, as plain text only, line breaks as they stand
        wait.Expect(Chars(pair.output));
        m_platform.clipboard.clear();
        m_platform.clipboard.setText(pair.output->Text());
        break;
    case kClear: // clear
        wait.Expect(Chars(pair.input) + Chars(pair.output));
        pair.input->SetText(QString());
        pair.output->SetText(QString());
        break;
    case kExit: // exit: the About window goes first, then the usual close request
        UnloadHelp();
        close();
        break;
    case kAbout: // About
        SetOnTop(0);
        ChkChoose[kKeepOnTop]->setChecked(false);
        // Modal, with no owner. The window unloads itself when it closes
        // (Unloaded), so it is not touched after exec() returns.
        Help().exec();
        break;
    default:
        break;
    }
}

} // namespace morvane::ui
