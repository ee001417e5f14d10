#include "ui/about/frm_help.h"

#include "ui/back_color.h"
#include "ui/focus_mark.h"
#include "ui/named.h"
#include "ui/product.h"
#include "ui/program_font.h"
#include "ui/resources.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace morvane::ui {

namespace {

// Client area, in twips.
constexpr float kClientWidth = 5790;
constexpr float kClientHeight = 3240;

constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Colour kLinkBlue = RGB(0, 0, 255);
constexpr Colour kLineGrey = RGB(128, 128, 128);
constexpr Colour kLineWhite = RGB(255, 255, 255);

// A label that sizes itself to its text: it keeps its place and never gets
// smaller than it was drawn, but grows where this desktop's font needs more
// room than the given size, so no text is cut off.
void AutoSize(QLabel* label) {
    const TwipRect given = Geometry(label);
    const QSize hint = label->sizeHint();
    float width = given.Width;
    if (!label->wordWrap()) {
        width = std::max(width, ToTwips(hint.width()));
    }
    const int pixelWidth = ToPixels(given.Left + width) - ToPixels(given.Left);
    const int needHeight = label->wordWrap() ? label->heightForWidth(pixelWidth) : hint.height();
    const float height = std::max(given.Height, ToTwips(needHeight));
    MoveTwips(label, given.Left, given.Top, width, height);
}

/// Makes a wrapping label's font just small enough for its text to stand in
/// `lines` lines of the label's width, if the default font needs more: the
/// description's two lines have the next label right below them, and a wider
/// face than the one the window was drawn for would push a third line over it.
void FitLines(QLabel* label, int lines) {
    const TwipRect given = Geometry(label);
    const int pixelWidth = ToPixels(given.Left + given.Width) - ToPixels(given.Left);
    QFont font = label->font();
    constexpr qreal kSmallest = 7;
    while (font.pointSizeF() > kSmallest &&
           label->heightForWidth(pixelWidth) > lines * QFontMetrics(font).lineSpacing()) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        label->setFont(font);
    }
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, float left, float top,
                  float width, float height) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MoveTwips(label, left, top, width, height);
    return label;
}

// A straight horizontal line from x1 to x2 at y, thickness in pixels.
QFrame* MakeLine(QWidget* parent, const QString& name, float x1, float x2, float y, int thickness,
                 Colour colour) {
    auto* line = Named(new QFrame(parent), name);
    line->setFrameShape(QFrame::NoFrame);
    SetBackColor(line, colour);
    MoveTwips(line, x1, y, x2 - x1, ToTwips(thickness));
    return line;
}

} // namespace

FrmHelp::FrmHelp(platform::Platform& platform, QWidget* owner)
    // CustomizeWindowHint: only the buttons named here, so window managers
    // that honour the hints (jwm) offer neither minimise nor maximise; the
    // fixed size takes maximise away everywhere. openbox offers minimise on
    // every dialog whatever it asks: changeEvent undoes it.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
    , m_platform(platform)
    , m_owner(owner) {
    InitResources();
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowIcon(QIcon(QStringLiteral(":/morvane/icon-32.png")));
    // A fixed dialog: neither the user nor the window manager resizes it.
    setFixedSize(ToPixels(kClientWidth), ToPixels(kClientHeight));
    CreateControls();
    Form_Load();
}

FrmHelp::~FrmHelp() = default;

void FrmHelp::CreateControls() {
    // Drawn for a light desktop: the black labels keep their light background
    // under a dark theme, and the other labels and buttons their black text.
    setPalette(LightDesktopPalette());
    setFont(ProgramFont());

    Text1 = Named(new TextBox(this), QStringLiteral("Text1"));
    Text1->SetText(WmlExample());
    MoveTwips(Text1, 3840, 1440, 1935, 495);
    Text1->hide();

    // The picture takes the focus by Tab and marks it: the style draws no
    // focus for a picture.
    picIcon = Named(new ShowsFocus<QLabel>(this), QStringLiteral("picIcon"));
    {
        const QPixmap picture(QStringLiteral(":/morvane/about.png"));
        picIcon->setPixmap(picture);
        // Sunken border, 2 pixels on every side, around a box that fits the picture.
        picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picIcon->setLineWidth(2);
        picIcon->setAlignment(Qt::AlignCenter);
        const float border = ToTwips(2 * 2);
        MoveTwips(picIcon, 3840, 240, ToTwips(picture.width()) + border,
                  ToTwips(picture.height()) + border);
    }
    picIcon->setCursor(Qt::PointingHandCursor);
    picIcon->setToolTip(QStringLiteral("欢迎您光临") + kMakerName + QStringLiteral("。"));
    // A picture box takes the focus by Tab, between OK and System Information.
    picIcon->setFocusPolicy(Qt::TabFocus);

    cmdOK = Named(new QPushButton(QStringLiteral("确定"), this), QStringLiteral("cmdOK"));
    MoveTwips(cmdOK, 4125, 2265, 1500, 345);
    cmdOK->setDefault(true);

    cmdSysInfo = Named(new QPushButton(QStringLiteral("系统信息(&S)..."), this),
                       QStringLiteral("cmdSysInfo"));
    MoveTwips(cmdSysInfo, 4140, 2715, 1485, 345);

    Label1 =
        MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("作者网站："), 30, 1410, 915, 195);
    lblVersion = MakeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("版本："), 120, 360,
                           1695, 255);
    lblTitle = MakeLabel(this, QStringLiteral("lblTitle"), QString(), 1560, 60, 1455, 255);

    Line1[1] = MakeLine(this, QStringLiteral("Line1(1)"), 60, 5624, 2040, 1, kLineGrey);

    lblDescription[4] = MakeLabel(this, QStringLiteral("lblDescription(4)"),
                                  QStringLiteral("Email:    ") + kMakerEmail, 60, 1680, 2160, 180);

    lblDescription[2] =
        MakeLabel(this, QStringLiteral("lblDescription(2)"), kMakerUrl, 1020, 1410, 1890, 180);
    {
        // SimSun where it is installed; the font matcher picks the nearest
        // face elsewhere.
        QFont font(QStringLiteral("宋体"), 9);
        font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun")});
        font.setWeight(QFont::Normal);
        font.setUnderline(true);
        lblDescription[2]->setFont(font);
    }
    lblDescription[2]->setCursor(Qt::PointingHandCursor);

    lblDescription[1] = MakeLabel(
        this, QStringLiteral("lblDescription(1)"),
        QStringLiteral("本软件是由Quorin开发的UTF-8和GB2312编码转换的工具，供广大网友免费使用。"),
        360, 960, 3360, 360);
    lblDescription[1]->setWordWrap(true);
    FitLines(lblDescription[1], 2);

    lblDescription[0] = MakeLabel(this, QStringLiteral("lblDescription(0)"),
                                  QStringLiteral("应用程序简介："), 120, 720, 1260, 180);
    lbalTitle = MakeLabel(this, QStringLiteral("lbalTitle"), QStringLiteral("应用程序标题："), 120,
                          60, 1260, 180);

    // The second disclaimer line has no text of its own; it shares the row
    // with the first and overlaps it by 330 twips (600 to 930).
    lblDisclaimer[1] =
        MakeLabel(this, QStringLiteral("lblDisclaimer(1)"), QString(), 600, 2220, 330, 180);
    lblDisclaimer[0] = MakeLabel(this, QStringLiteral("lblDisclaimer(0)"),
                                 QStringLiteral("警告: ..."), 120, 2220, 810, 180);

    Line1[0] = MakeLine(this, QStringLiteral("Line1(0)"), 75, 5624, 2040, 2, kLineWhite);
    // The grey line lies over the upper half of the white one: an etched groove.
    Line1[1]->raise();

    for (QLabel* label : {lblDescription[0], lblDescription[1], lblDescription[2],
                          lblDescription[4], lbalTitle, lblDisclaimer[0]}) {
        SetForeColor(label, kBlack);
    }
    SetForeColor(lblDescription[2], kLinkBlue);
    for (QLabel* label : {lblDescription[0], lblDescription[1], lblDescription[2],
                          lblDescription[4], lbalTitle, lblDisclaimer[0]}) {
        AutoSize(label);
    }

    // Clicks on the picture and on every description label open the maker's
    // web site; the other labels ignore clicks.
    picIcon->installEventFilter(this);
    for (QLabel* label : lblDescription) {
        if (label != nullptr) {
            label->installEventFilter(this);
        }
    }

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    // What a screen reader says: the buttons by their captions, the picture by
    // its tip, the hidden page by the command that copies it out.
    SetSpoken(cmdOK, QString(), QStringLiteral("关闭本窗口。"));
    SetSpoken(cmdSysInfo, QString(), QStringLiteral("查看本机的系统信息。"));
    SetSpoken(picIcon, picIcon->toolTip(), QStringLiteral("单击访问") + kMakerUrl);
    SetSpoken(Text1, QStringLiteral("WML源码实例"), QString());

    // Focus order: OK, the picture, System Information, then the hidden page.
    QWidget::setTabOrder(cmdOK, picIcon);
    QWidget::setTabOrder(picIcon, cmdSysInfo);
    QWidget::setTabOrder(cmdSysInfo, Text1);
    cmdOK->setFocus();
}

void FrmHelp::showEvent(QShowEvent* event) {
    // The owner is no Qt parent (the dialog keeps its own palette and lives
    // as long as the main window's accessor says), only the window it stands
    // for. QDialog centres a dialog that has one over it; this one is centred
    // on the screen, so the owner is named after QDialog has placed it.
    QWindow* handle = windowHandle();
    if (handle != nullptr) {
        handle->setTransientParent(nullptr);
    }
    QDialog::showEvent(event);
    handle = windowHandle();
    if (handle != nullptr && m_owner != nullptr && m_owner->windowHandle() != nullptr) {
        handle->setTransientParent(m_owner->windowHandle());
    }
    m_platform.windows.keepOutOfTaskbar(*this);
}

void FrmHelp::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Minimised while shown (modal, most of the time), the window would leave
    // the main window waiting for it with nothing on screen to answer. It
    // comes back once the window manager has finished minimising it.
    if (event->type() == QEvent::WindowStateChange && isVisible() && isMinimized()) {
        QTimer::singleShot(0, this, &FrmHelp::ComeBack);
    }
}

void FrmHelp::ComeBack() {
    if (!isVisible() || !isMinimized()) {
        return;
    }
    // A window manager that minimises a dialog with its owner (openbox) has
    // taken the main window along: both come back.
    if (m_owner != nullptr && m_owner->isMinimized()) {
        m_owner->setWindowState(m_owner->windowState() & ~Qt::WindowMinimized);
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    m_platform.windows.showAndActivate(*this);
}

void FrmHelp::done(int result) {
    QDialog::done(result);
    Q_EMIT Unloaded();
}

bool FrmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        // A click is a left-button press and release over the same control.
        const bool click = mouse->button() == Qt::LeftButton && widget != nullptr &&
                           widget->rect().contains(mouse->position().toPoint());
        if (click && watched == picIcon) {
            picIcon_Click();
            return true;
        }
        for (std::size_t i = 0; click && i < lblDescription.size(); ++i) {
            if (lblDescription[i] != nullptr && watched == lblDescription[i]) {
                lblDescription_Click(static_cast<int>(i));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmHelp::Form_Load() {
    const QString version =
        QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
    setWindowTitle(kAppTitle + QStringLiteral(" V") + version);
    lblVersion->setText(QStringLiteral("版本 ") + version);
    lblTitle->setText(kAppTitle);
}

void FrmHelp::cmdOK_Click() {
    accept();
}

void FrmHelp::cmdSysInfo_Click() {
    StartSysInfo();
}

void FrmHelp::lblDescription_Click(int Index) {
    (void)Index; // every description label opens the same address
    (void)m_platform.shell.openUrl(kMakerUrl);
}

void FrmHelp::picIcon_Click() {
    (void)m_platform.shell.openUrl(kMakerUrl);
}

} // namespace morvane::ui
