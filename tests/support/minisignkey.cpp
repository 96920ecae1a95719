#include "minisignkey.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace testsupport {

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

MinisignKey::MinisignKey()
{
    run({"-G", "-W", "-p", "key.pub", "-s", "key.key"});
    const QList<QByteArray> lines = contentOf(m_folder.filePath("key.pub")).split('\n');
    m_keyId = QString::fromLatin1(lines.first().split(' ').last()).rightJustified(16, QLatin1Char('0'));
    m_publicKey = QString::fromLatin1(lines.value(1));
}

QByteArray MinisignKey::sign(const QByteArray &content, const QStringList &arguments, const QString &name) const
{
    QFile file(m_folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    QFile::remove(file.fileName() + ".minisig");
    return run(QStringList{"-S", "-s", "key.key", "-m", name} + arguments)
        ? contentOf(file.fileName() + ".minisig")
        : QByteArray();
}

bool MinisignKey::run(const QStringList &arguments) const
{
    QProcess minisign;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(name, m_folder.path());
    minisign.setProcessEnvironment(env);
    minisign.setWorkingDirectory(m_folder.path());
    minisign.start("minisign", arguments);
    const bool ran = minisign.waitForFinished(20000) && minisign.exitStatus() == QProcess::NormalExit
        && minisign.exitCode() == 0;
    EXPECT_TRUE(ran) << "minisign " << arguments.join(' ').toStdString() << ": "
                     << minisign.readAllStandardError().toStdString();
    return ran;
}

} // namespace testsupport
