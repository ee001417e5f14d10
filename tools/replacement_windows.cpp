// Replacing a file on Windows (replacement_platform.h). The temporary file is
// made in the target's folder, open to no one else, and marked for deletion
// at once: should the run be killed while it is written, Windows deletes it
// when the process's handles close, and nothing is left behind. Once written
// it is flushed to the disk, unmarked, closed and put in the target's place by
// ReplaceFileW, which gives it the original's attributes, creation time and
// access control list; a target that does not exist yet is made by
// MoveFileExW. A read-only target is refused, as Windows would refuse to
// replace it.
//
// Only between the unmarking and the replacement can a killed run leave its
// temporary file behind. Windows has no mark that only this program could
// set (an alternate data stream exists only on NTFS, and where there is none
// the colon would make another file), so SweepLeftovers() names such files
// and leaves them to the user; it removes nothing.

#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/messages.h"
#include "tools/replacement_platform.h"
#include "tools/wide_text_windows.h"

#include <windows.h>

namespace morvane::tools {
namespace {

std::wstring InFolder(const std::string& folder, const std::string& name) {
    return WideFromUtf8(folder + "\\" + name);
}

/// Marks the file `handle` for deletion when its last handle closes, or unmarks it.
bool DeleteOnClose(HANDLE handle, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

class WindowsPendingFile final : public PendingFile {
public:
    WindowsPendingFile(std::string target, const std::string& folder, const std::string& name);
    ~WindowsPendingFile() override;
    void Write(std::string_view bytes) override;
    void Commit(bool syncFolder) override;

private:
    [[noreturn]] void Fail(const std::string& why, DWORD error) const {
        throw DriverError(WindowsErrorText("cannot write " + Quoted(m_target) + why, error));
    }
    void PutInPlace();

    std::string m_target;
    std::wstring m_wideTarget;
    std::wstring m_temporary;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_existed = false;
    DWORD m_attributes = FILE_ATTRIBUTE_NORMAL; ///< the target's, when it exists
    bool m_committed = false;
};

WindowsPendingFile::WindowsPendingFile(std::string target, const std::string& folder,
                                       const std::string& name)
    : m_target(std::move(target))
    , m_wideTarget(WideFromUtf8(m_target)) {
    const DWORD attributes = ::GetFileAttributesW(m_wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            throw DriverError("cannot write " + Quoted(m_target) + ": not a regular file");
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            throw DriverError("cannot write " + Quoted(m_target) + ": it is read-only");
        }
        m_existed = true;
        m_attributes = attributes;
    } else if (const DWORD error = ::GetLastError();
               error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        Fail("", error);
    }
    while (m_handle == INVALID_HANDLE_VALUE) {
        m_temporary = InFolder(folder, TemporaryName(name));
        m_handle = ::CreateFileW(m_temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            const DWORD error = ::GetLastError();
            m_temporary.clear();
            Fail(": cannot make a file in its folder " + Quoted(folder), error);
        }
    }
    // Where the file system cannot delete on close, a killed run leaves the file named.
    (void)DeleteOnClose(m_handle, true);
}

WindowsPendingFile::~WindowsPendingFile() {
    if (m_handle != INVALID_HANDLE_VALUE) {
        (void)DeleteOnClose(m_handle, true);
        ::CloseHandle(m_handle);
    }
    if (!m_committed && !m_temporary.empty()) {
        (void)::DeleteFileW(m_temporary.c_str());
    }
}

void WindowsPendingFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD put = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30U));
        if (::WriteFile(m_handle, bytes.data(), size, &put, nullptr) == 0) {
            Fail("", ::GetLastError());
        }
        if (put == 0) {
            Fail("", ERROR_DISK_FULL); // a file that takes nothing without an error is full
        }
        bytes.remove_prefix(put);
    }
}

void WindowsPendingFile::Commit(bool /*syncFolder*/) {
    if (::FlushFileBuffers(m_handle) == 0 || !DeleteOnClose(m_handle, false)) {
        Fail("", ::GetLastError());
    }
    ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    // ReplaceFileW gives the original's attributes too, but not every implementation does
    // (Wine's does not), and a target that went away meanwhile is replaced by a move.
    if (m_existed && ::SetFileAttributesW(m_temporary.c_str(), m_attributes) == 0) {
        Fail(": cannot keep its attributes", ::GetLastError());
    }
    PutInPlace();
    m_committed = true;
}

void WindowsPendingFile::PutInPlace() {
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!m_existed) {
        if (::MoveFileExW(m_temporary.c_str(), m_wideTarget.c_str(), kMove) == 0) {
            Fail("", ::GetLastError()); // the destructor removes the temporary file
        }
        return;
    }
    if (::ReplaceFileW(m_wideTarget.c_str(), m_temporary.c_str(), nullptr, 0, nullptr, nullptr) !=
        0) {
        return;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
        // The target went away meanwhile: the result takes its place as a new file.
        if (::MoveFileExW(m_temporary.c_str(), m_wideTarget.c_str(), kMove) == 0) {
            Fail("", ::GetLastError());
        }
        return;
    }
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // Windows removed the original but could not rename the result into its place; the
        // result goes there by a plain move rather than leave no target at all.
        if (::MoveFileExW(m_temporary.c_str(), m_wideTarget.c_str(), kMove) != 0) {
            m_committed = true;
            Fail(": written, but its attributes and access control list were not kept", error);
        }
    }
    Fail("", error); // the target is as it was, the destructor removes the temporary file
}

} // namespace

std::unique_ptr<PendingFile> CreatePendingFile(const std::string& target, const std::string& folder,
                                               const std::string& name) {
    return std::make_unique<WindowsPendingFile>(target, folder, name);
}

void SyncFolder(const std::string& /*folder*/) {
    // Windows syncs no folder: MOVEFILE_WRITE_THROUGH and the file system's journal make
    // the renames durable.
}

Leftovers SweepLeftovers(const std::string& folder) {
    Leftovers found;
    WIN32_FIND_DATAW entry{};
    HANDLE const search = ::FindFirstFileW(InFolder(folder, "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        const std::string name = Utf8FromWide(entry.cFileName);
        if (!IsTemporaryName(name)) {
            continue;
        }
        // A live writer holds its file open to no one else (a sharing violation), or marked
        // for deletion (access denied); either is no leftover.
        HANDLE const file =
            ::CreateFileW(InFolder(folder, name).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
                found.unsure.push_back(name);
            }
            continue;
        }
        ::CloseHandle(file);
        found.unsure.push_back(name);
    } while (::FindNextFileW(search, &entry) != 0);
    ::FindClose(search);
    return found;
}

} // namespace morvane::tools
