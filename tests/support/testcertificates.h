#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A certificate authority made for one test run and a server certificate
// for 127.0.0.1 and localhost signed by it, made with the openssl program
// in a temporary folder (PEM files).
class TestCertificates {
public:
    TestCertificates();

    QString authorityFile() const { return m_dir.filePath(QStringLiteral("ca.pem")); }
    QString certificateFile() const { return m_dir.filePath(QStringLiteral("server.pem")); }
    QString keyFile() const { return m_dir.filePath(QStringLiteral("server.key")); }

private:
    void openssl(const QStringList &arguments) const;

    QTemporaryDir m_dir;
};

} // namespace testsupport
