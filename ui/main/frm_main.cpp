// FrmMain's object: construction, the load step, the About window it owns,
// its size in twips and the window events it hands on to the handlers of the
// other files (controls.cpp creates the controls, close.cpp answers close
// requests, start_position.cpp places the window when it first shows).

#include "ui/main/frm_main.h"

#include "ui/about/frm_help.h"
#include "ui/back_color.h"
#include "ui/light_popups.h"
#include "ui/product.h"
#include "ui/program_font.h"
#include "ui/resources.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>

namespace morvane::ui {

namespace {

constexpr Colour kWindowBack = RGB(128, 128, 0);
constexpr Colour kWindowFore = RGB(255, 255, 192);

// Client area at creation, in twips.
constexpr float kClientWidth = 10170;
constexpr float kClientHeight = 8340;

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
    KeepPopupsLight(this);
    setFont(ProgramFont());
    SetBackColor(this, kWindowBack);
    // The background takes the splitter drag and its tip; its pointer shows
    // where the split can be dragged. The controls keep their own pointers.
    setMouseTracking(true);
    setCursor(Qt::SplitVCursor);

    CreateStatusBar();
    CreateTextArea();
    CreatePanel();
    SetTabOrder();
    setMinimumSize(MinimumClientSize());
    // The window's text colour is its own: the panes and the panel's captions
    // keep the toolkit's dark text on their light backgrounds.
    SetWindowForeColor(this, kWindowFore);

    ConnectCommands();
    ConnectOptions();
    ConnectColours();
    ConnectAutoHide();
    ConnectStatusBar();

    ConnectSessionEnd();

    Form_Load();
    TxtTop1->setFocus();
}

FrmMain::~FrmMain() {
    // An About window that closed itself just before the program ended may
    // still wait for its deferred deletion.
    delete m_helpClosing.data();
}

void FrmMain::Form_Load() {
    SplitRatio = 0.5f;
    TxtHelpTip->setText(QStringLiteral("将鼠标放到相应控件之上即可查看帮助提示。"));
    // Text drag and drop is the editor's own; make sure every pane offers both.
    for (TextBox* box : Panes()) {
        box->setAcceptDrops(true);
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
