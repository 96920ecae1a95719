#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace testsupport {

// Points this process's XDG_DATA_HOME (where the class registry lives) at a
// folder of its own while it lives, and back afterwards.
class PrivateDataHome {
public:
    PrivateDataHome() : m_saved(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
    }
    ~PrivateDataHome() { qputenv("XDG_DATA_HOME", m_saved); }
    PrivateDataHome(const PrivateDataHome &) = delete;
    PrivateDataHome &operator=(const PrivateDataHome &) = delete;

    bool isValid() const { return m_home.isValid(); }
    QString path() const { return m_home.path(); }

private:
    QTemporaryDir m_home;
    QByteArray m_saved;
};

} // namespace testsupport
