#include "tools/output.h"

#include "tools/driver_error.h"
#include "tools/messages.h"
#include "tools/path_text.h"
#include "tools/replacement_platform.h"

#include <filesystem>
#include <random>

namespace morvane::tools {
namespace {

/// Pieces are gathered up to this size before each write; a typical page is one write.
constexpr std::size_t kWriteSize = std::size_t{64} << 10;
/// How much of the target's name the temporary file's name keeps, so that the whole name
/// stays inside 255 bytes with the dot, the marker and the six random characters.
constexpr std::size_t kNameKept = 200;
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kRandomAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

} // namespace

std::string TemporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    std::string result = "." + name.substr(0, kNameKept) + std::string(kTemporaryMarker);
    std::uniform_int_distribution<std::size_t> pick(0, kRandomAlphabet.size() - 1);
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        result += kRandomAlphabet[pick(random)];
    }
    return result;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() < 1 + 1 + kTemporaryMarker.size() + kRandomLength || name.front() != '.') {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - kRandomLength);
    const std::string_view marker =
        name.substr(name.size() - kRandomLength - kTemporaryMarker.size(), kTemporaryMarker.size());
    return marker == kTemporaryMarker &&
           tail.find_first_not_of(kRandomAlphabet) == std::string_view::npos;
}

ReplacementFile::ReplacementFile(std::string target)
    : m_target(std::move(target)) {
    const std::filesystem::path path = PathOf(m_target);
    const std::string name = NameOf(path.filename());
    if (name.empty() || name == "." || name == "..") {
        throw DriverError("cannot write " + Quoted(m_target) + ": it names a folder");
    }
    m_file = CreatePendingFile(m_target, path.has_parent_path() ? NameOf(path.parent_path()) : ".",
                               name);
}

ReplacementFile::~ReplacementFile() = default;

void ReplacementFile::Write(std::string_view bytes) {
    m_written += bytes.size();
    if (m_pending.size() + bytes.size() <= kWriteSize) {
        m_pending.append(bytes);
        return;
    }
    Flush();
    if (bytes.size() < kWriteSize) {
        m_pending.assign(bytes);
    } else {
        m_file->Write(bytes);
    }
}

void ReplacementFile::Flush() {
    m_file->Write(m_pending);
    m_pending.clear();
}

void ReplacementFile::Commit(bool syncFolder) {
    Flush();
    m_file->Commit(syncFolder);
}

} // namespace morvane::tools
