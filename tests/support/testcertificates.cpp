#include "testcertificates.h"

#include <QFile>
#include <QProcess>

namespace testsupport {

TestCertificates::TestCertificates()
{
    const QStringList ecKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    openssl(QStringList{"req", "-x509"} + ecKey
            + QStringList{"-keyout", m_dir.filePath("ca.key"), "-out", authorityFile(), "-days", "2", "-subj",
                          "/CN=Tarnwick Test Authority"});
    openssl(QStringList{"req"} + ecKey
            + QStringList{"-keyout", keyFile(), "-out", m_dir.filePath("server.csr"), "-subj", "/CN=127.0.0.1"});
    QFile extensions(m_dir.filePath("server.ext"));
    if (!extensions.open(QIODevice::WriteOnly))
        qFatal("can't write %s", qPrintable(extensions.fileName()));
    extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n");
    extensions.close();
    openssl({"x509", "-req", "-in", m_dir.filePath("server.csr"), "-CA", authorityFile(), "-CAkey",
             m_dir.filePath("ca.key"), "-CAcreateserial", "-out", certificateFile(), "-days", "2", "-extfile",
             extensions.fileName()});
}

void TestCertificates::openssl(const QStringList &arguments) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("openssl %s failed: %s", qPrintable(arguments.join(' ')), process.readAll().constData());
}

} // namespace testsupport
