#pragma once
// Small helpers for the platform tests: executable scripts in a temporary
// folder, and an environment variable set for the length of one test.

#include <QByteArray>
#include <QString>

#include <optional>

namespace morvane::platform::test {

/// Writes a file with the given content; executable makes it runnable by its
/// owner. Returns false when the file cannot be written.
bool writeFile(const QString& path, const QByteArray& content, bool executable);

/// Sets (or with nullopt removes) an environment variable and puts back the
/// previous value when it goes out of scope.
class ScopedEnv final {
public:
    ScopedEnv(const char* name, const std::optional<QByteArray>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_saved;
};

} // namespace morvane::platform::test
