#pragma once
// FrmMain, the program's main window: two pane pairs of text boxes on the
// left, the panel of options, commands and colours on the right, and the
// status bar along the bottom. The class is split by concern over several
// files: frm_main.cpp (the object, start-up, window events), controls.cpp
// (creating the controls, focus order), close.cpp (close requests, session
// end), start_position.cpp, commands.cpp, options.cpp, layout.cpp (pane layout
// and splitter), colours.cpp, auto_hide.cpp and status_bar.cpp (help tips,
// clock, link).

#include "platform/platform.h"
#include "ui/main/control_index.h"
#include "ui/main/pane_pair.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace morvane::ui {

class FrmHelp;
class TextBox;

class FrmMain final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmMain)
public:
    explicit FrmMain(platform::Platform& platform, QWidget* parent = nullptr);
    ~FrmMain() override;

    /// The About window, created (and loaded) on first reference.
    FrmHelp& Help();
    /// Whether the About window exists now.
    bool HelpLoaded() const { return m_help != nullptr; }
    /// Closes and destroys the About window if it exists.
    void UnloadHelp();

    // Status bar.
    QWidget* Picbottom = nullptr;
    QLabel* Picjiao = nullptr;
    QLineEdit* TxtHelpTip = nullptr;
    QLineEdit* TxtTimeTip = nullptr;
    QLineEdit* TxtLineTip = nullptr;
    QTimer* TimStatuBar = nullptr;

    // Text area: the wrapping pair and the non-wrapping pair.
    TextBox* TxtTop1 = nullptr;
    TextBox* Txttop = nullptr;
    TextBox* TxtBottom1 = nullptr;
    TextBox* TxtBottom = nullptr;

    // Right-hand panel.
    QWidget* PicContainer = nullptr;
    QGroupBox* FrameOption = nullptr;
    std::array<QCheckBox*, 4> ChkChoose{};
    std::array<QPushButton*, 8> CmdButton{};
    QGroupBox* FrameColor = nullptr;
    std::array<QComboBox*, 3> ComboColor{};
    QLabel* Label1 = nullptr;
    std::array<QCheckBox*, 3> ChkOption{};
    QTimer* Timer1 = nullptr;

    /// The pane pair shown now (word wrap on: TxtTop1/TxtBottom1).
    PanePair ShownPair() const;
    /// All four text boxes, both pairs, shown or not: inputs first, the
    /// wrapping box before the non-wrapping one.
    std::array<TextBox*, 4> Panes() const { return {TxtTop1, Txttop, TxtBottom1, TxtBottom}; }

    /// Client area and outer frame in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;
    float OuterWidth() const;
    float OuterHeight() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Tab and Shift+Tab from the status bar go on from the box that passed
    /// the focus to it.
    bool focusNextPrevChild(bool next) override;

private:
    friend struct FrmMainProbe; // tests reach the handlers through it

    // controls.cpp
    void CreateStatusBar();
    void CreateTextArea();
    void CreatePanel();
    void SetTabOrder();

    // frm_main.cpp
    void Form_Load();

    // close.cpp
    /// Passes the desktop session's end on to SessionEnding.
    void ConnectSessionEnd();
    void Form_QueryUnload(bool& Cancel);
    /// The desktop session is ending (log-off, shutdown): the same close
    /// request as the close box. mayAsk asks the session manager whether the
    /// close question may be shown now. False when the close was refused, so
    /// the session end is cancelled.
    bool SessionEnding(const std::function<bool()>& mayAsk);

    // commands.cpp
    void ConnectCommands();
    void CmdButton_Click(int Index);

    // options.cpp
    void ConnectOptions();
    void ChkChoose_Click(int Index);
    void SetOnTop(int IsOnTop);

    // layout.cpp: pane layout and splitter.
    /// The smallest client area, in pixels, that shows every control of the
    /// right-hand panel and of the status bar whole; at most the screen's
    /// available area less room for the frame.
    QSize MinimumClientSize() const;
    void ArrangeTextBoxes();
    void Form_Resize();
    /// The help-tip box's width and the corner picture's place follow the
    /// outer width, frame included; the frame may arrive after the resize.
    void FitStatusBarToFrame();
    void Form_MouseDown(Qt::MouseButtons Button, float X, float Y);
    void Form_MouseMove(Qt::MouseButtons Button, float X, float Y);
    void Form_MouseUp(Qt::MouseButtons Button, float X, float Y);

    // colours.cpp
    void ConnectColours();
    void ComboColor_Click(int Index);

    // auto_hide.cpp
    void ConnectAutoHide();
    void Timer1_Timer();

    // status_bar.cpp: help tips, clock, link, focus of the status boxes.
    void ConnectStatusBar();
    /// Handles pointer moves, clicks and focus of watched controls; true when consumed.
    bool FilterStatusEvent(QObject* watched, QEvent* event);
    void ShowHelpTip(const QString& tip);
    void ChkChoose_MouseMove(int Index);
    void ChkOption_MouseMove(int Index);
    void CmdButton_MouseMove(int Index);
    void PicContainer_MouseMove();
    void TextBox_MouseMove(const TextBox* box);
    void TimStatuBar_Timer();
    void TxtLineTip_Click();
    void TxtTimeTip_GotFocus();
    void TxtHelpTip_GotFocus();
    /// The next control of the keyboard order from `from` on, or null.
    QWidget* NextInTabOrder(QWidget* from, bool next) const;

    /// The window starts centred on the screen with its title bar on screen
    /// (showEvent); once the window manager's frame around it is known, a
    /// window too large for the screen is placed again by that frame. Looks
    /// again later, triesLeft more times, while no frame is known.
    void CheckStartFrame(int triesLeft);

    platform::Platform& m_platform;
    std::unique_ptr<FrmHelp> m_help;
    /// An About window that closed itself and waits for its deferred deletion.
    QPointer<FrmHelp> m_helpClosing;
    bool m_shownOnce = false;
    /// The start position has been checked against the window manager's frame
    /// (or was made with the frame known).
    bool m_startFramed = false;
    /// The outer width the status bar was last fitted to, in twips.
    float m_fittedOuterWidth = -1;
    /// The status box that last passed the focus to Picbottom, while it has it.
    QLineEdit* m_focusPassedBy = nullptr;

    // Window-level state.
    float SplitRatio = 0.5f;
    bool SplitDragging = false;
    QString HelpTipText;
};

} // namespace morvane::ui
