#pragma once
// Recording fakes of every platform effect, for the window tests. Each fake
// records what the windows asked of it and answers what the test set up.

#include "platform/platform.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace morvane::fakes {

class FakeWindowManager final : public platform::WindowManager {
public:
    bool canPlace = true;
    /// Every keep-above request, in order.
    std::vector<bool> keepAboveCalls;
    bool above = false;
    QPoint cursor{0, 0};
    platform::ScreenRect frame{0, 0, 700, 600};
    int screenWidth = 1280;
    /// Every move request, in order (outer frame top-left, pixels). A move
    /// also updates frame, keeping its size, as a window manager that honours
    /// it would.
    std::vector<QPoint> moves;
    int activations = 0;
    /// Windows asked to stay out of the taskbar, in order.
    std::vector<const QWidget*> keptOutOfTaskbar;

    bool canPlaceWindows() const override { return canPlace; }
    void setKeepAbove(QWidget&, bool a) override {
        keepAboveCalls.push_back(a);
        above = a;
    }
    QPoint cursorPos() const override { return cursor; }
    platform::ScreenRect frameRect(const QWidget&) const override { return frame; }
    int primaryScreenWidth() const override { return screenWidth; }
    void moveFrame(QWidget&, QPoint topLeft) override {
        moves.push_back(topLeft);
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        frame = {topLeft.x(), topLeft.y(), topLeft.x() + w, topLeft.y() + h};
    }
    void showAndActivate(QWidget&) override { ++activations; }
    void keepOutOfTaskbar(QWidget& window) override { keptOutOfTaskbar.push_back(&window); }
};

/// The window system on a high-DPI screen, as Qt on X11 shows it to the
/// program: the X server holds the frame in device pixels (ratio of them to a
/// logical pixel), the program reads it through the same step to logical
/// pixels as the real window manager, and a move lands where Qt puts it, the
/// logical position times the ratio, rounded. Pointer and screen width are
/// logical, as Qt gives them.
class FakeScaledWindowManager final : public platform::WindowManager {
public:
    explicit FakeScaledWindowManager(qreal r)
        : ratio(r) {}
    qreal ratio;
    /// The frame where the X server has it, in device pixels.
    QRect device;
    QPoint cursor{0, 0};
    int screenWidth = 1280;
    int activations = 0;

    bool canPlaceWindows() const override { return true; }
    void setKeepAbove(QWidget&, bool) override {}
    QPoint cursorPos() const override { return cursor; }
    platform::ScreenRect frameRect(const QWidget&) const override {
        return platform::LogicalFromDevice(device, ratio, {0, 0});
    }
    int primaryScreenWidth() const override { return screenWidth; }
    void moveFrame(QWidget&, QPoint topLeft) override {
        device.moveTopLeft({qRound(topLeft.x() * ratio), qRound(topLeft.y() * ratio)});
    }
    void showAndActivate(QWidget&) override { ++activations; }
    void keepOutOfTaskbar(QWidget&) override {}
};

class FakeClipboard final : public platform::Clipboard {
public:
    /// "clear" and "set:<text>" in call order.
    QStringList calls;
    std::optional<QString> text;

    void clear() override {
        calls << QStringLiteral("clear");
        text.reset();
    }
    void setText(const QString& t) override {
        calls << QStringLiteral("set:") + t;
        text = t;
    }
};

class FakeShell final : public platform::Shell {
public:
    QStringList opened;
    bool answer = true;
    bool openUrl(const QString& url) override {
        opened << url;
        return answer;
    }
};

class FakeMessageBox final : public platform::MessageBox {
public:
    struct Call {
        QString text;
        QString title;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
    };
    std::vector<Call> calls;
    /// Answers given in turn; when exhausted, the default answer.
    std::vector<platform::MessageAnswer> answers;
    platform::MessageAnswer defaultAnswer = platform::MessageAnswer::Yes;

    platform::MessageAnswer show(QWidget*, const QString& text, const QString& title,
                                 platform::MessageButtons buttons,
                                 platform::MessageIcon icon) override {
        calls.push_back({text, title, buttons, icon});
        if (!answers.empty()) {
            const auto a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
        if (buttons == platform::MessageButtons::Ok) {
            return platform::MessageAnswer::Ok;
        }
        return defaultAnswer;
    }
};

class FakeRegistry final : public platform::Registry {
public:
    struct Value {
        std::uint32_t type = platform::kRegSz;
        std::vector<std::uint8_t> data;
    };
    /// Keys by path below HKEY_LOCAL_MACHINE; values by name.
    std::map<std::string, std::map<std::string, Value>> keys;
    bool failOpen = false;
    bool failQuery = false;

    int opens = 0;
    int closes = 0;
    std::vector<std::string> openedKeys;
    std::vector<std::string> queriedValues;
    std::vector<std::uint32_t> accessRequested;
    /// Buffer sizes offered by the caller, and whether the buffer was all zero.
    std::vector<std::uint32_t> offeredSizes;
    std::vector<bool> offeredZeroed;

    /// A string value; withTerminator adds the trailing zero byte.
    void setString(const std::string& key, const std::string& name, const std::string& s,
                   bool withTerminator = true) {
        Value v;
        v.type = platform::kRegSz;
        v.data.assign(s.begin(), s.end());
        if (withTerminator) {
            v.data.push_back(0);
        }
        keys[key][name] = v;
    }
    void setRaw(const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
        keys[key][name] = Value{type, std::move(data)};
    }

    long openKey(platform::RegKey root, const std::string& subKey, std::uint32_t,
                 std::uint32_t access, platform::RegKey* result) override;
    long queryValue(platform::RegKey key, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long closeKey(platform::RegKey key) override;

private:
    std::map<platform::RegKey, std::string> m_open;
    platform::RegKey m_next = 0x1000;
};

class FakeProcess final : public platform::Process {
public:
    QStringList started;
    /// Paths that start successfully; any other start fails.
    QStringList startable;
    /// Ordinary files that exist.
    QStringList files;
    QStringList existenceChecks;

    bool startDetached(const QString& path) override {
        started << path;
        return !path.isEmpty() && startable.contains(path);
    }
    bool fileExists(const QString& path) const override {
        const_cast<FakeProcess*>(this)->existenceChecks << path;
        return files.contains(path);
    }
};

/// All fakes together, with the Platform bundle that the windows take.
struct FakePlatform {
    FakeWindowManager windows;
    FakeClipboard clipboard;
    FakeShell shell;
    FakeMessageBox messages;
    FakeRegistry registry;
    FakeProcess process;
    platform::Platform platform{windows, clipboard, shell, messages, registry, process};
};

} // namespace morvane::fakes
