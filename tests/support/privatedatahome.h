#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace testsupport {

// Points this process's XDG_DATA_HOME (where the per-user class registry
// lives) at a folder of its own while it lives, and XDG_DATA_DIRS (the
// system-wide ones) at its "system" folder, and back afterwards.
class PrivateDataHome {
public:
    PrivateDataHome() : m_saved(qgetenv("XDG_DATA_HOME")), m_savedDirs(qgetenv("XDG_DATA_DIRS"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(systemPath()));
    }
    ~PrivateDataHome()
    {
        qputenv("XDG_DATA_HOME", m_saved);
        qputenv("XDG_DATA_DIRS", m_savedDirs);
    }
    PrivateDataHome(const PrivateDataHome &) = delete;
    PrivateDataHome &operator=(const PrivateDataHome &) = delete;

    bool isValid() const { return m_home.isValid(); }
    QString path() const { return m_home.path(); }
    QString systemPath() const { return m_home.filePath(QStringLiteral("system")); }

private:
    QTemporaryDir m_home;
    QByteArray m_saved;
    QByteArray m_savedDirs;
};

} // namespace testsupport
