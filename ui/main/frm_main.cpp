#include "ui/main/frm_main.h"

#include "ui/about/frm_help.h"
#include "ui/back_color.h"
#include "ui/flat_style.h"
#include "ui/product.h"
#include "ui/resources.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include <algorithm>

namespace morvane::ui {

namespace {

constexpr Colour kWindowBack = RGB(128, 128, 0);
constexpr Colour kWindowFore = RGB(255, 255, 192);
constexpr Colour kPaneBack = RGB(255, 255, 192);
constexpr Colour kPanelBack = RGB(192, 192, 0);

// Client area at creation, in twips.
constexpr float kClientWidth = 10170;
constexpr float kClientHeight = 8340;

template <typename T> T* Named(T* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

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
    const QColor c = w->palette().color(QPalette::Active, role);
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace

FrmMain::FrmMain(platform::Platform& platform, QWidget* parent)
    : QWidget(parent)
    , m_platform(platform) {
    InitResources();
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(kAppTitle +
                   QStringLiteral(" V%1.%2  -- ").arg(kVersionMajor).arg(kVersionMinor) +
                   kMakerName + QStringLiteral("[") + kMakerDomainCaps + QStringLiteral("]出品"));
    setWindowIcon(QIcon(QStringLiteral(":/morvane/icon-32.png")));
    resize(ToPixels(kClientWidth), ToPixels(kClientHeight));
    // The window is drawn for a light desktop: every control starts from its
    // black text, so a dark theme's near-white text never lands on the fixed
    // light backgrounds below.
    setPalette(LightDesktopPalette());
    SetBackColor(this, kWindowBack);
    // The background takes the splitter drag and its tip; its pointer shows
    // where the split can be dragged. The controls keep their own pointers.
    setMouseTracking(true);
    setCursor(Qt::SplitVCursor);

    CreateStatusBar();
    CreateTextArea();
    CreatePanel();
    SetTabOrder();
    // The window's text colour is its own: the panes and the panel's captions
    // keep the toolkit's dark text on their light backgrounds.
    SetWindowForeColor(this, kWindowFore);

    ConnectCommands();
    ConnectOptions();
    ConnectColours();
    ConnectAutoHide();
    ConnectStatusBar();

    // Logging off or shutting down asks the same question as the close box.
    // Qt 6 leaves the windows open at that point, so the request is passed on
    // here; a refusal cancels the session's end.
    if (qGuiApp != nullptr) {
        connect(
            qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) {
                bool granted = false;
                const bool goOn = SessionEnding([&manager, &granted] {
                    granted = manager.allowsInteraction();
                    return granted;
                });
                if (!goOn) {
                    manager.cancel();
                }
                if (granted) {
                    manager.release();
                }
            },
            Qt::DirectConnection);
    }

    Form_Load();
    TxtTop1->setFocus();
}

FrmMain::~FrmMain() {
    // An About window that closed itself just before the program ended may
    // still wait for its deferred deletion.
    delete m_helpClosing.data();
}

void FrmMain::CreateStatusBar() {
    Picbottom = Named(new QWidget(this), QStringLiteral("Picbottom"));
    Picbottom->setFocusPolicy(Qt::ClickFocus);
    Picbottom->setCursor(Qt::ArrowCursor);
    Move(Picbottom, 0, 8025, 10170, 315);

    Picjiao = Named(new QLabel(Picbottom), QStringLiteral("Picjiao"));
    Picjiao->setPixmap(QPixmap(QStringLiteral(":/morvane/corner.png")));
    Move(Picjiao, 9900, 75, 330, 300);

    TxtHelpTip =
        Named(new QLineEdit(QStringLiteral("帮助提示："), Picbottom), QStringLiteral("TxtHelpTip"));
    Move(TxtHelpTip, 3900, 30, 5175, 285);
    SetBackColor(TxtHelpTip, SystemColour(this, QPalette::Midlight));

    TxtTimeTip =
        Named(new QLineEdit(QStringLiteral("现在时间："), Picbottom), QStringLiteral("TxtTimeTip"));
    Move(TxtTimeTip, 1695, 30, 2175, 285);
    SetBackColor(TxtTimeTip, SystemColour(this, QPalette::Button));

    TxtLineTip = Named(new QLineEdit(kMakerName, Picbottom), QStringLiteral("TxtLineTip"));
    Move(TxtLineTip, 0, 30, 1665, 285);
    SetForeColor(TxtLineTip, RGB(255, 0, 0));
    SetBackColor(TxtLineTip, SystemColour(this, QPalette::Light));
    TxtLineTip->setToolTip(QStringLiteral("访问") + kMakerName + QStringLiteral("【") +
                           kMakerDomainCaps + QStringLiteral("】"));

    for (QLineEdit* box : {TxtHelpTip, TxtTimeTip, TxtLineTip}) {
        box->setReadOnly(true);
    }
    // After setReadOnly, which gives a line box the arrow.
    TxtLineTip->setCursor(Qt::PointingHandCursor);

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
        Move(box, 0, top, 7695, height);
        box->setMouseTracking(true);
        return box;
    };
    TxtTop1 = makeBox(QStringLiteral("TxtTop1"), true, 3285, 0);
    Txttop = makeBox(QStringLiteral("Txttop"), false, 3285, 0);
    TxtBottom1 = makeBox(QStringLiteral("TxtBottom1"), true, 4065, 3330);
    TxtBottom = makeBox(QStringLiteral("TxtBottom"), false, 3765, 3330);
    Txttop->hide();
    TxtBottom->hide();
}

void FrmMain::CreatePanel() {
    PicContainer = Named(new QWidget(this), QStringLiteral("PicContainer"));
    Move(PicContainer, 8580, 0, 1590, 8025);
    SetBackColor(PicContainer, kPanelBack);
    PicContainer->setMouseTracking(true);
    PicContainer->setCursor(Qt::ArrowCursor);

    FrameOption = Named(new QGroupBox(QStringLiteral("选项设置"), PicContainer),
                        QStringLiteral("FrameOption"));
    Move(FrameOption, 90, 0, 1485, 1425);
    SetBackColor(FrameOption, kPanelBack);

    const std::array<QString, 4> chooseCaptions = {
        QStringLiteral("启用自动换行"), QStringLiteral("保持窗体最前"),
        QStringLiteral("自动隐藏窗体"), QStringLiteral("退出时提醒我")};
    for (int i = 0; i < 4; ++i) {
        auto* box = Named(new QCheckBox(chooseCaptions[static_cast<std::size_t>(i)], FrameOption),
                          QStringLiteral("ChkChoose(%1)").arg(i));
        Move(box, 60, 210 + 300 * static_cast<float>(i), 1395, 255);
        SetBackColor(box, kPanelBack);
        box->setMouseTracking(true);
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
        Move(button, buttons[i].left, buttons[i].top, 1455, 495);
        SetBackColor(button, kPanelBack);
        button->setAutoDefault(false);
        button->setMouseTracking(true);
        CmdButton[i] = button;
    }

    FrameColor = Named(new QGroupBox(QStringLiteral("背景颜色选择"), PicContainer),
                       QStringLiteral("FrameColor"));
    Move(FrameColor, 80, 6330, 1480, 1635);
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
    for (std::size_t i = 0; i < 3; ++i) {
        auto* list = Named(new QComboBox(FrameColor), QStringLiteral("ComboColor(%1)").arg(i));
        list->addItems(entries);
        list->setCurrentIndex(-1);
        list->setEditable(false);
        list->setMaxVisibleItems(26);
        Move(list, 390, 210 + 360 * static_cast<float>(i), 1065, 300);
        list->setStyle(flat);
        SetBackColor(list, listBacks[i]);
        list->setToolTip(listTips[i]);
        ComboColor[i] = list;
    }

    Label1 =
        Named(new QLabel(QStringLiteral("R:    G:   B:"), FrameColor), QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Move(Label1, 90, 300, 225, 1005);

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
        Move(box, options[i].left, 1290, 435, 255);
        box->setToolTip(QString::fromUtf16(options[i].tip));
        box->setChecked(true);
        SetBackColor(box, kPanelBack);
        box->setMouseTracking(true);
        box->setStyle(compact);
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

void FrmMain::Form_Load() {
    SplitRatio = 0.5f;
    TxtHelpTip->setText(QStringLiteral("将鼠标放到相应控件之上即可查看帮助提示。"));
    // Text drag and drop is the editor's own; make sure every pane offers both.
    for (TextBox* box : {Txttop, TxtTop1, TxtBottom, TxtBottom1}) {
        box->setAcceptDrops(true);
    }
}

bool FrmMain::SessionEnding(const std::function<bool()>& mayAsk) {
    if (isHidden()) {
        return true; // already closed
    }
    // The question needs the user, which the session manager must allow
    // first; when it does not, the session ends the program without asking.
    if (ChkChoose[kExitReminder]->isChecked() && !mayAsk()) {
        return true;
    }
    return close();
}

void FrmMain::Form_QueryUnload(bool& Cancel) {
    if (ChkChoose[kExitReminder]->isChecked()) {
        const auto answer = m_platform.messages.show(
            this, QStringLiteral("您真的要退出吗？"), QStringLiteral("Quorin温馨提示"),
            platform::MessageButtons::YesNo, platform::MessageIcon::Question);
        if (answer == platform::MessageAnswer::No) {
            Cancel = true;
        }
    }
}

FrmHelp& FrmMain::Help() {
    if (!m_help) {
        m_help = std::make_unique<FrmHelp>(m_platform, this);
        // Closed by its own OK, Esc or close box: destroy it once its modal
        // loop has returned (it is still inside its own handlers now), so the
        // next reference creates and loads it anew.
        connect(m_help.get(), &FrmHelp::Unloaded, this, [this, help = m_help.get()] {
            if (m_help.get() == help) {
                m_helpClosing = m_help.release();
                m_helpClosing->deleteLater();
            }
        });
    }
    return *m_help;
}

void FrmMain::UnloadHelp() {
    if (m_help) {
        m_help->hide();
        m_help.reset();
    }
}

PanePair FrmMain::ShownPair() const {
    if (ChkChoose[kWordWrap]->isChecked()) {
        return {TxtTop1, TxtBottom1};
    }
    return {Txttop, TxtBottom};
}

float FrmMain::ScaleWidth() const {
    return ToTwips(width());
}
float FrmMain::ScaleHeight() const {
    return ToTwips(height());
}
float FrmMain::OuterWidth() const {
    return ToTwips(frameGeometry().width());
}
float FrmMain::OuterHeight() const {
    return ToTwips(frameGeometry().height());
}

void FrmMain::closeEvent(QCloseEvent* event) {
    bool Cancel = false;
    Form_QueryUnload(Cancel);
    if (Cancel) {
        event->ignore();
        return;
    }
    UnloadHelp();
    event->accept();
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    } else if (event->type() == QEvent::ActivationChange) {
        // The window manager's frame is known only once it has framed the
        // window, typically by the time it first activates it.
        FitStatusBarToFrame();
    }
}

void FrmMain::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FitStatusBarToFrame();
}

namespace {

// How often, and how many milliseconds apart, a window shown before its frame
// was known looks for the frame (two seconds in all).
constexpr int kStartFrameChecks = 40;
constexpr int kStartFrameInterval = 50;

// Whether Qt knows the window manager's frame around the client area: a frame
// larger than the client area and around it. (Until the manager reports its
// frame, Qt gives the client area itself, and while the manager is still
// framing the window it may give a frame that does not even hold the client.)
bool FrameKnown(const QRect& frame, const QRect& client) {
    return frame.size() != client.size() && frame.contains(client);
}

// Where the outer frame's top-left corner goes when the window first shows:
// centred in the screen's available area. A frame taller than the area (a
// small screen at a high scale) starts at the area's top instead, and one
// wider than the area with its right end at the area's right edge, where the
// close box sits on the common desktops: the title bar stays on screen, to
// move the window by and to close it, and the window keeps its size.
QPoint StartPosition(const QRect& area, const QSize& frame) {
    QPoint topLeft = area.center() - QPoint(frame.width() / 2, frame.height() / 2);
    if (frame.height() > area.height()) {
        topLeft.setY(area.top());
    }
    if (frame.width() > area.width()) {
        topLeft.setX(area.left() + area.width() - frame.width());
    }
    return topLeft;
}

} // namespace

void FrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (const QScreen* s = screen()) {
            const QRect frame = frameGeometry();
            const bool framed = FrameKnown(frame, geometry());
            move(StartPosition(s->availableGeometry(), frame.size()));
            // Until an X11 window manager has framed the window, Qt knows no
            // frame: the frame is the client area, which then stands where
            // the frame was meant to, and the title bar lands above it.
            m_startFramed = framed;
            // The manager reports its frame a moment after mapping the window,
            // with no event to the window for it: look again a few times.
            CheckStartFrame(kStartFrameChecks);
        }
    }
}

void FrmMain::CheckStartFrame(int triesLeft) {
    if (m_startFramed) {
        return;
    }
    const QScreen* s = screen();
    const QRect frame = frameGeometry();
    if (s == nullptr || !FrameKnown(frame, geometry())) {
        // No frame known yet (or none at all, without a window manager).
        if (triesLeft > 0) {
            QTimer::singleShot(kStartFrameInterval, this,
                               [this, triesLeft] { CheckStartFrame(triesLeft - 1); });
        }
        return;
    }
    m_startFramed = true;
    // A window that fits stays where it was centred; one too large for the
    // area is placed again by its real frame, so its title bar is on screen.
    const QRect area = s->availableGeometry();
    if (!area.contains(frame)) {
        move(StartPosition(area, frame.size()));
    }
}

void FrmMain::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->buttons(), static_cast<float>(event->position().x()) * kTwipsPerPixel,
                   static_cast<float>(event->position().y()) * kTwipsPerPixel);
}

void FrmMain::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove(event->buttons(), static_cast<float>(event->position().x()) * kTwipsPerPixel,
                   static_cast<float>(event->position().y()) * kTwipsPerPixel);
}

void FrmMain::mouseReleaseEvent(QMouseEvent* event) {
    Form_MouseUp(event->buttons(), static_cast<float>(event->position().x()) * kTwipsPerPixel,
                 static_cast<float>(event->position().y()) * kTwipsPerPixel);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (FilterStatusEvent(watched, event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace morvane::ui
