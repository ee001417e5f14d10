#pragma once
// Test access to the windows' handlers and window-level fields, which are
// private to the windows themselves.

#include "ui/about/frm_help.h"
#include "ui/main/frm_main.h"

namespace morvane::ui {

struct FrmMainProbe {
    static float& SplitRatio(FrmMain& w) { return w.SplitRatio; }
    static bool& SplitDragging(FrmMain& w) { return w.SplitDragging; }
    static QString& HelpTipText(FrmMain& w) { return w.HelpTipText; }

    static void Form_Load(FrmMain& w) { w.Form_Load(); }
    static void Form_QueryUnload(FrmMain& w, bool& Cancel) { w.Form_QueryUnload(Cancel); }
    static bool SessionEnding(FrmMain& w, const std::function<bool()>& mayAsk) {
        return w.SessionEnding(mayAsk);
    }
    static void CmdButton_Click(FrmMain& w, int Index) { w.CmdButton_Click(Index); }
    static void ChkChoose_Click(FrmMain& w, int Index) { w.ChkChoose_Click(Index); }
    static void SetOnTop(FrmMain& w, int IsOnTop) { w.SetOnTop(IsOnTop); }
    static void ArrangeTextBoxes(FrmMain& w) { w.ArrangeTextBoxes(); }
    static void Form_Resize(FrmMain& w) { w.Form_Resize(); }
    static void Form_MouseDown(FrmMain& w, Qt::MouseButtons b, float x, float y) {
        w.Form_MouseDown(b, x, y);
    }
    static void Form_MouseMove(FrmMain& w, Qt::MouseButtons b, float x, float y) {
        w.Form_MouseMove(b, x, y);
    }
    static void Form_MouseUp(FrmMain& w, Qt::MouseButtons b, float x, float y) {
        w.Form_MouseUp(b, x, y);
    }
    static void ComboColor_Click(FrmMain& w, int Index) { w.ComboColor_Click(Index); }
    static void Timer1_Timer(FrmMain& w) { w.Timer1_Timer(); }
    static void TimStatuBar_Timer(FrmMain& w) { w.TimStatuBar_Timer(); }
    static void TxtLineTip_Click(FrmMain& w) { w.TxtLineTip_Click(); }
};

struct FrmHelpProbe {
    static void Form_Load(FrmHelp& w) { w.Form_Load(); }
    static void cmdOK_Click(FrmHelp& w) { w.cmdOK_Click(); }
    static void cmdSysInfo_Click(FrmHelp& w) { w.cmdSysInfo_Click(); }
    static void lblDescription_Click(FrmHelp& w, int Index) { w.lblDescription_Click(Index); }
    static void picIcon_Click(FrmHelp& w) { w.picIcon_Click(); }
    static void StartSysInfo(FrmHelp& w) { w.StartSysInfo(); }
    static bool GetKeyValue(FrmHelp& w, platform::RegKey KeyRoot, const QString& KeyName,
                            const QString& SubKeyRef, QString& KeyVal) {
        return w.GetKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal);
    }
};

} // namespace morvane::ui
