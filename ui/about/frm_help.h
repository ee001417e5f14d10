#pragma once
// FrmHelp, the About window: title, version, description, the maker's web
// address and e-mail, disclaimers and a picture; OK and System Information
// buttons; and, hidden, the WML example page that the main window's example
// command copies out of Text1.

#include "platform/platform.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace morvane::ui {

class TextBox;

class FrmHelp final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmHelp)
public:
    /// Creates the window and runs its load step; it is not shown. owner, if
    /// given, is the window it belongs to: the window manager keeps the
    /// About window with it (above it, minimised and restored together).
    explicit FrmHelp(platform::Platform& platform, QWidget* owner = nullptr);
    ~FrmHelp() override;

    TextBox* Text1 = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblTitle = nullptr;
    std::array<QFrame*, 2> Line1{};
    /// Elements 0, 1, 2 and 4; there is no element 3.
    std::array<QLabel*, 5> lblDescription{};
    QLabel* lbalTitle = nullptr;
    std::array<QLabel*, 2> lblDisclaimer{};

Q_SIGNALS:
    /// The window was closed (OK, Enter, Esc or its close box) and wants to be destroyed.
    void Unloaded();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend struct FrmHelpProbe; // tests reach the handlers through it

    void CreateControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblDescription_Click(int Index);
    void picIcon_Click();

    // sys_info.cpp: the system-information launcher.
    void StartSysInfo();
    bool GetKeyValue(platform::RegKey KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);

    // A window manager that minimises the window anyway gets it back at once.
    void ComeBack();

    platform::Platform& m_platform;
    QPointer<QWidget> m_owner;
};

/// The WML example page, 16 lines, each ending in CR LF.
QString WmlExample();

} // namespace morvane::ui
