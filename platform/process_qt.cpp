// Starting another program without waiting for it, and testing for a file.

#include "platform/implementations.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace morvane::platform {
namespace {

class QtProcess final : public Process {
public:
    QtProcess() = default;
    Q_DISABLE_COPY_MOVE(QtProcess)

    bool startDetached(const QString& path) override {
        if (path.isEmpty()) {
            return false;
        }
        // Qt reports a failed exec (no such file, not executable) as false.
        return QProcess::startDetached(path, QStringList());
    }

    bool fileExists(const QString& path) const override {
        // isFile() follows symbolic links and is false for folders, devices
        // and anything missing.
        return !path.isEmpty() && QFileInfo(path).isFile();
    }
};

} // namespace

std::unique_ptr<Process> makeProcess() {
    return std::make_unique<QtProcess>();
}

} // namespace morvane::platform
