#include "tools/messages.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace morvane::tools {

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string WithoutControls(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte >= 0x20 && byte != 0x7F && !c1) {
            result += text[i];
            continue;
        }
        for (std::size_t k = 0; k < (c1 ? 2U : 1U); ++k) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text[i + k])));
            result += escaped;
        }
        i += c1 ? 1 : 0;
    }
    return result;
}

void PrintLine(const std::string& line) {
    std::fputs((WithoutControls(line) + "\n").c_str(), stderr);
}

void PrintError(const std::string& message) {
    PrintLine("morvane-convert: " + message);
}

Messages::Messages(std::size_t files)
    : m_total(files)
    , m_progress(files > 1 && ::isatty(STDERR_FILENO) == 1) {}

void Messages::Error(const std::string& message) {
    ClearProgress();
    PrintError(message);
}

void Messages::Problem(const std::string& line) {
    ClearProgress();
    PrintLine(line);
}

void Messages::ClearProgress() {
    if (m_shown) {
        std::fputs("\r\x1b[K", stderr);
        m_shown = false;
    }
}

void Messages::Progress(std::size_t done, const std::string& name) {
    if (!m_progress) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && now - m_lastShown < std::chrono::milliseconds(100)) {
        return;
    }
    m_lastShown = now;
    std::string line = "morvane-convert: " + std::to_string(done) + "/" + std::to_string(m_total) +
                       " " + WithoutControls(name);
    winsize size{};
    const std::size_t width =
        ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col : 80;
    if (line.size() >= width) {
        // Cut at a character boundary of UTF-8, so the terminal never shows half a character.
        std::size_t cut = width - 1;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        line.resize(cut);
    }
    std::fputs(("\r\x1b[K" + line).c_str(), stderr);
    m_shown = true;
}

} // namespace morvane::tools
