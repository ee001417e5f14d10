// The system-information launcher: finds the system-information tool through
// two registry values and starts it, or says that it is not available.
#include "ui/about/frm_help.h"

#include "ui/product.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace morvane::ui {

namespace {

// Where the tool's full path is kept.
const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
// Where the tool's folder is kept; the program file is added to it.
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");
const QString kSysInfoProgram = QStringLiteral("\\MSINFO32.EXE");

constexpr std::uint32_t kValueBufferSize = 1024;

// Key paths and value names go to the registry as bytes in the system code page.
std::string CodePageBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// "&h" and the 32-bit number in upper-case hexadecimal without leading zeros.
// The number is read little-endian from the bytes that are there: a value
// shorter than four bytes (its top bytes zero, or the trailing zero already
// cut off) counts the missing bytes as zero, and bytes past the fourth are
// not part of the number.
QString DwordText(const std::uint8_t* data, std::uint32_t size) {
    std::uint32_t number = 0;
    const std::uint32_t count = std::min<std::uint32_t>(size, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return QStringLiteral("&h") + QString::number(number, 16).toUpper();
}

} // namespace

void FrmHelp::StartSysInfo() {
    // The two lookups share this variable: a failed first lookup empties it.
    QString SysInfoPath;
    bool started = false;
    if (GetKeyValue(platform::kHKeyLocalMachine, kSysInfoKey, kSysInfoValue, SysInfoPath)) {
        // The full path is used as stored, without testing it first.
        started = m_platform.process.startDetached(SysInfoPath);
    } else if (GetKeyValue(platform::kHKeyLocalMachine, kSysInfoLocationKey, kSysInfoLocationValue,
                           SysInfoPath)) {
        if (m_platform.process.fileExists(SysInfoPath + kSysInfoProgram)) {
            SysInfoPath += kSysInfoProgram;
            started = m_platform.process.startDetached(SysInfoPath);
        }
    }
    if (!started) {
        m_platform.messages.show(this, QStringLiteral("此时系统信息不可用"), kAppTitle,
                                 platform::MessageButtons::Ok, platform::MessageIcon::None);
    }
}

bool FrmHelp::GetKeyValue(platform::RegKey KeyRoot, const QString& KeyName,
                          const QString& SubKeyRef, QString& KeyVal) {
    platform::Registry& registry = m_platform.registry;
    platform::RegKey hKey = 0;
    if (registry.openKey(KeyRoot, CodePageBytes(KeyName), 0, platform::kKeyAccess, &hKey) !=
        platform::kRegSuccess) {
        KeyVal.clear();
        return false;
    }

    std::array<std::uint8_t, kValueBufferSize> buffer{};
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    if (registry.queryValue(hKey, CodePageBytes(SubKeyRef), &type, buffer.data(), &size) !=
        platform::kRegSuccess) {
        KeyVal.clear();
        registry.closeKey(hKey);
        return false;
    }

    // Never trust a reported size beyond the buffer that was offered.
    size = std::min(size, kValueBufferSize);
    // A string normally arrives with its terminating zero byte; leave it out.
    if (size > 0 && buffer[size - 1] == 0) {
        --size;
    }
    switch (type) {
    case platform::kRegSz:
        KeyVal = QString::fromLocal8Bit(reinterpret_cast<const char*>(buffer.data()),
                                        static_cast<qsizetype>(size));
        break;
    case platform::kRegDword:
        KeyVal = DwordText(buffer.data(), size);
        break;
    default:
        // Other kinds of value are read successfully but give no text.
        break;
    }
    registry.closeKey(hKey);
    return true;
}

} // namespace morvane::ui
