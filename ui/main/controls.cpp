// FrmMain's controls as they are created: the status bar, the four text
// boxes, the right-hand panel with its options, commands and colour lists, and
// the keyboard focus order through them.

#include "ui/main/frm_main.h"

#include "ui/back_color.h"
#include "ui/flat_style.h"
#include "ui/focus_mark.h"
#include "ui/main/help_tips.h"
#include "ui/named.h"
#include "ui/product.h"
#include "ui/resources.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace morvane::ui {

namespace {

constexpr Colour kPaneBack = RGB(255, 255, 192);
constexpr Colour kPanelBack = RGB(192, 192, 0);

// The colour-target tick boxes are 29 pixels wide, just room for a small
// indicator, a narrow gap and one Chinese character: the toolkit's usual
// indicator and gap would cut the character in half.
class CompactCheckStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
            return std::min(13, QProxyStyle::pixelMetric(metric, option, widget));
        case PM_CheckBoxLabelSpacing:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

Colour SystemColour(const QWidget* w, QPalette::ColorRole role) {
    return FromQColor(w->palette().color(QPalette::Active, role));
}

} // namespace

void FrmMain::CreateStatusBar() {
    // The clock and help-tip boxes hand the focus to the status bar's panel,
    // which the style draws no focus for: it marks it itself.
    Picbottom = Named(new ShowsFocus<QWidget>(this), QStringLiteral("Picbottom"));
    Picbottom->setFocusPolicy(Qt::ClickFocus);
    Picbottom->setCursor(Qt::ArrowCursor);
    MoveTwips(Picbottom, 0, 8025, 10170, 315);

    Picjiao = Named(new QLabel(Picbottom), QStringLiteral("Picjiao"));
    Picjiao->setPixmap(QPixmap(QStringLiteral(":/morvane/corner.png")));
    MoveTwips(Picjiao, 9900, 75, 330, 300);

    TxtHelpTip =
        Named(new QLineEdit(QStringLiteral("帮助提示："), Picbottom), QStringLiteral("TxtHelpTip"));
    MoveTwips(TxtHelpTip, 3900, 30, 5175, 285);
    SetBackColor(TxtHelpTip, SystemColour(this, QPalette::Midlight));

    TxtTimeTip =
        Named(new QLineEdit(QStringLiteral("现在时间："), Picbottom), QStringLiteral("TxtTimeTip"));
    MoveTwips(TxtTimeTip, 1695, 30, 2175, 285);
    SetBackColor(TxtTimeTip, SystemColour(this, QPalette::Button));

    TxtLineTip = Named(new QLineEdit(kMakerName, Picbottom), QStringLiteral("TxtLineTip"));
    MoveTwips(TxtLineTip, 0, 30, 1665, 285);
    SetForeColor(TxtLineTip, RGB(255, 0, 0));
    SetBackColor(TxtLineTip, SystemColour(this, QPalette::Light));
    TxtLineTip->setToolTip(QStringLiteral("访问") + kMakerName + QStringLiteral("【") +
                           kMakerDomainCaps + QStringLiteral("】"));

    for (QLineEdit* box : {TxtHelpTip, TxtTimeTip, TxtLineTip}) {
        box->setReadOnly(true);
    }
    // The clock and help-tip boxes pass any focus on to Picbottom at once, so
    // as Tab stops they would hold nothing: Tab passes over them, a click
    // still hands the focus to the status bar.
    for (QLineEdit* box : {TxtHelpTip, TxtTimeTip}) {
        box->setFocusPolicy(Qt::ClickFocus);
    }
    // After setReadOnly, which gives a line box the arrow.
    TxtLineTip->setCursor(Qt::PointingHandCursor);

    // What a screen reader says of the status bar: the boxes have no
    // caption, so they are named for what they show.
    SetSpoken(Picbottom, QStringLiteral("状态栏"), QStringLiteral("时钟和帮助提示所在的状态栏。"));
    SetSpoken(TxtLineTip, TxtLineTip->toolTip(), QStringLiteral("单击访问") + kMakerUrl);
    SetSpoken(TxtTimeTip, QStringLiteral("现在时间"), QStringLiteral("时钟，每秒更新。"));
    SetSpoken(TxtHelpTip, QStringLiteral("帮助提示"),
              QStringLiteral("显示鼠标所指控件的帮助提示。"));

    TimStatuBar = Named(new QTimer(this), QStringLiteral("TimStatuBar"));
    TimStatuBar->setInterval(1000);
    TimStatuBar->start();
}

void FrmMain::CreateTextArea() {
    const auto makeBox = [this](const QString& name, bool wrap, float height, float top) {
        auto* box = Named(new TextBox(this), name);
        box->SetWrapping(wrap);
        // The text keeps its I-beam; the scroll bars and frame the arrow.
        box->setCursor(Qt::ArrowCursor);
        SetBackColor(box, kPaneBack);
        MoveTwips(box, 0, top, 7695, height);
        box->setMouseTracking(true);
        return box;
    };
    TxtTop1 = makeBox(QStringLiteral("TxtTop1"), true, 3285, 0);
    Txttop = makeBox(QStringLiteral("Txttop"), false, 3285, 0);
    TxtBottom1 = makeBox(QStringLiteral("TxtBottom1"), true, 4065, 3330);
    TxtBottom = makeBox(QStringLiteral("TxtBottom"), false, 3765, 3330);
    Txttop->hide();
    TxtBottom->hide();
    // The two pairs are one input and one output box to the user.
    for (TextBox* box : {TxtTop1, Txttop}) {
        SetSpoken(box, QStringLiteral("输入框"), QString::fromUtf16(kInputTip));
    }
    for (TextBox* box : {TxtBottom1, TxtBottom}) {
        SetSpoken(box, QStringLiteral("输出框"), QString::fromUtf16(kOutputTip));
    }
}

void FrmMain::CreatePanel() {
    PicContainer = Named(new QWidget(this), QStringLiteral("PicContainer"));
    MoveTwips(PicContainer, 8580, 0, 1590, 8025);
    SetBackColor(PicContainer, kPanelBack);
    PicContainer->setMouseTracking(true);
    PicContainer->setCursor(Qt::ArrowCursor);

    FrameOption = Named(new QGroupBox(QStringLiteral("选项设置"), PicContainer),
                        QStringLiteral("FrameOption"));
    MoveTwips(FrameOption, 90, 0, 1485, 1425);
    SetBackColor(FrameOption, kPanelBack);

    const std::array<QString, 4> chooseCaptions = {
        QStringLiteral("启用自动换行"), QStringLiteral("保持窗体最前"),
        QStringLiteral("自动隐藏窗体"), QStringLiteral("退出时提醒我")};
    for (int i = 0; i < 4; ++i) {
        auto* box = Named(new QCheckBox(chooseCaptions[static_cast<std::size_t>(i)], FrameOption),
                          QStringLiteral("ChkChoose(%1)").arg(i));
        MoveTwips(box, 60, 210 + 300 * static_cast<float>(i), 1395, 255);
        SetBackColor(box, kPanelBack);
        box->setMouseTracking(true);
        SetSpoken(box, QString(), QString::fromUtf16(kChooseTips.at(static_cast<std::size_t>(i))));
        ChkChoose[static_cast<std::size_t>(i)] = box;
    }
    ChkChoose[kWordWrap]->setChecked(true);
    if (!m_platform.windows.canPlaceWindows()) {
        const QString why = QStringLiteral(
            "当前桌面会话不允许程序自行放置窗口（需要 X11 或 XWayland），此选项不可用。");
        for (QCheckBox* box : {ChkChoose[kKeepOnTop], ChkChoose[kAutoHide]}) {
            box->setEnabled(false);
            box->setToolTip(why);
        }
    }

    struct ButtonPlace {
        const char16_t* caption;
        float left;
        float top;
    };
    const std::array<ButtonPlace, 8> buttons = {{
        {u"&GB2312转UTF-8", 100, 1560},
        {u"&UTF-8转GB2312", 100, 2160},
        {u"代码互换(&R)", 100, 2760},
        {u"&WML源码实例", 100, 3360},
        {u"复制结果(&C)", 100, 3960},
        {u"清空代码(&D)", 100, 4560},
        {u"退出(&E)", 120, 5160},
        {u"关于本软件(&A)", 120, 5760},
    }};
    // The buttons and the colour lists show their faces in exactly their
    // colour, whatever the desktop's style.
    auto* flat = new FlatStyle();
    flat->setParent(this);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = Named(new QPushButton(QString::fromUtf16(buttons[i].caption), PicContainer),
                             QStringLiteral("CmdButton(%1)").arg(i));
        button->setStyle(flat);
        MoveTwips(button, buttons[i].left, buttons[i].top, 1455, 495);
        SetBackColor(button, kPanelBack);
        // Enter (Return or the keypad's) clicks the focused button, as Space does.
        button->setAutoDefault(true);
        button->setMouseTracking(true);
        SetSpoken(button, QString(), QString::fromUtf16(kButtonTips.at(i)));
        CmdButton[i] = button;
    }

    FrameColor = Named(new QGroupBox(QStringLiteral("背景颜色选择"), PicContainer),
                       QStringLiteral("FrameColor"));
    MoveTwips(FrameColor, 80, 6330, 1480, 1635);
    SetBackColor(FrameColor, kPanelBack);
    SetForeColor(FrameColor, RGB(0, 0, 0));

    QStringList entries;
    for (int v = 0; v <= 240; v += 10) {
        entries << QString::number(v);
    }
    entries << QStringLiteral("255");
    const std::array<Colour, 3> listBacks = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    const std::array<QString, 3> listTips = {QStringLiteral("请选择红色成分Red"),
                                             QStringLiteral("请选择绿色成分Green"),
                                             QStringLiteral("请选择蓝色成分Blue")};
    // Without a name of its own each list would be called by its frame's title.
    const std::array<QString, 3> listNames = {
        QStringLiteral("红色成分"), QStringLiteral("绿色成分"), QStringLiteral("蓝色成分")};
    for (std::size_t i = 0; i < 3; ++i) {
        auto* list = Named(new QComboBox(FrameColor), QStringLiteral("ComboColor(%1)").arg(i));
        list->addItems(entries);
        list->setCurrentIndex(-1);
        list->setEditable(false);
        list->setMaxVisibleItems(26);
        MoveTwips(list, 390, 210 + 360 * static_cast<float>(i), 1065, 300);
        list->setStyle(flat);
        SetBackColor(list, listBacks[i]);
        list->setToolTip(listTips[i]);
        SetSpoken(list, listNames[i], listTips[i]);
        ComboColor[i] = list;
    }

    Label1 =
        Named(new QLabel(QStringLiteral("R:    G:   B:"), FrameColor), QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    MoveTwips(Label1, 90, 300, 225, 1005);

    struct OptionPlace {
        const char16_t* caption;
        const char16_t* tip;
        float left;
    };
    const std::array<OptionPlace, 3> options = {{
        {u"文", u"对文本框进行颜色设置", 550},
        {u"窗", u"对窗体进行颜色设置", 80},
        {u"钮", u"对按钮进行颜色设置", 1000},
    }};
    auto* compact = new CompactCheckStyle();
    compact->setParent(this);
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* box = Named(new QCheckBox(QString::fromUtf16(options[i].caption), FrameColor),
                          QStringLiteral("ChkOption(%1)").arg(i));
        MoveTwips(box, options[i].left, 1290, 435, 255);
        box->setToolTip(QString::fromUtf16(options[i].tip));
        box->setChecked(true);
        SetBackColor(box, kPanelBack);
        box->setMouseTracking(true);
        box->setStyle(compact);
        SetSpoken(box, QString(), QString::fromUtf16(kOptionTips.at(i)));
        ChkOption[i] = box;
    }

    Timer1 = Named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(0);
}

void FrmMain::SetTabOrder() {
    const QList<QWidget*> order = {TxtTop1,
                                   TxtBottom1,
                                   ChkChoose[kWordWrap],
                                   ChkChoose[kKeepOnTop],
                                   ChkChoose[kAutoHide],
                                   ChkChoose[kExitReminder],
                                   CmdButton[kGbToUtf],
                                   CmdButton[kUtfToGb],
                                   CmdButton[kSwap],
                                   CmdButton[kWmlExample],
                                   CmdButton[kCopyResult],
                                   CmdButton[kClear],
                                   CmdButton[kExit],
                                   ComboColor[kRed],
                                   ComboColor[kGreen],
                                   ComboColor[kBlue],
                                   ChkOption[kColourWindow],
                                   ChkOption[kColourText],
                                   ChkOption[kColourButtons],
                                   TxtBottom,
                                   Txttop,
                                   TxtLineTip,
                                   TxtTimeTip,
                                   TxtHelpTip,
                                   CmdButton[kAbout]};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace morvane::ui
