// The registry on Linux, where none exists. The About window looks up the
// system-information tool in two registry places; here the first of them is
// served from the programs installed on PATH and every other key and value is
// absent, so the About window either starts a tool or says none is available.

#include "platform/implementations.h"

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <array>
#include <cstring>
#include <map>

namespace morvane::platform {
namespace {

constexpr long kRegInvalidHandle = 6;
constexpr long kRegInvalidParameter = 87;

const std::string kToolKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
const std::string kToolValue = "PATH";

// Programs that give an overview of the machine, tried in this order.
// hardinfo is a system-information tool in the proper sense (hardware,
// operating system, devices) and desktop-neutral; kinfocenter is KDE's
// equivalent. The three system monitors of GNOME, MATE and Xfce show less
// (processes, resources, file systems) but are what those desktops install
// in its place.
constexpr std::array<const char*, 5> kToolCandidates = {
    "hardinfo", "kinfocenter", "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager"};

/// The full path of the first candidate found on PATH, as bytes in the file
/// system's encoding; empty when none is installed.
QByteArray findTool() {
    for (const char* name : kToolCandidates) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty()) {
            return QFile::encodeName(found);
        }
    }
    return {};
}

class LinuxRegistry final : public Registry {
public:
    LinuxRegistry() = default;
    Q_DISABLE_COPY_MOVE(LinuxRegistry)

    long openKey(RegKey root, const std::string& subKey, std::uint32_t /*options*/,
                 std::uint32_t /*access*/, RegKey* result) override {
        if (result == nullptr) {
            return kRegInvalidParameter;
        }
        if (root != kHKeyLocalMachine || subKey != kToolKey) {
            return kRegFileNotFound;
        }
        // Looked up afresh on every open: a tool installed meanwhile is found.
        QByteArray tool = findTool();
        if (tool.isEmpty()) {
            return kRegFileNotFound;
        }
        const RegKey handle = m_nextHandle++;
        m_open.emplace(handle, std::move(tool));
        *result = handle;
        return kRegSuccess;
    }

    long queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override {
        const auto it = m_open.find(key);
        if (it == m_open.end()) {
            return kRegInvalidHandle;
        }
        if (valueName != kToolValue) {
            return kRegFileNotFound;
        }
        if (data != nullptr && size == nullptr) {
            return kRegInvalidParameter;
        }
        const QByteArray& path = it->second;
        // A string value is stored with its terminating zero byte.
        const auto needed = static_cast<std::uint32_t>(path.size()) + 1;
        if (type != nullptr) {
            *type = kRegSz;
        }
        if (data == nullptr) {
            // Asking for the size only.
            if (size != nullptr) {
                *size = needed;
            }
            return kRegSuccess;
        }
        if (*size < needed) {
            *size = needed;
            return kRegMoreData;
        }
        std::memcpy(data, path.constData(), static_cast<std::size_t>(path.size()));
        data[needed - 1] = 0;
        *size = needed;
        return kRegSuccess;
    }

    long closeKey(RegKey key) override {
        return m_open.erase(key) == 1 ? kRegSuccess : kRegInvalidHandle;
    }

private:
    // Small numbers that no pointer or predefined root can be confused with.
    RegKey m_nextHandle = 1;
    std::map<RegKey, QByteArray> m_open;
};

} // namespace

std::unique_ptr<Registry> makeRegistry() {
    return std::make_unique<LinuxRegistry>();
}

} // namespace morvane::platform
