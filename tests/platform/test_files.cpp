// Helpers shared by the platform tests.

#include "test_files.h"

#include <QFile>
#include <QtGlobal>

namespace morvane::platform::test {

bool writeFile(const QString& path, const QByteArray& content, bool executable) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0) {
        return false;
    }
    file.close();
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        perms |= QFile::ExeOwner;
    }
    return file.setPermissions(perms);
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<QByteArray>& value)
    : m_name(name) {
    if (qEnvironmentVariableIsSet(name)) {
        m_saved = qgetenv(name);
    }
    if (value) {
        qputenv(name, *value);
    } else {
        qunsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (m_saved) {
        qputenv(m_name, *m_saved);
    } else {
        qunsetenv(m_name);
    }
}

} // namespace morvane::platform::test
