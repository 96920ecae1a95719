#include "minisignkey.h"

#include <QDir>
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

MinisignKey::MinisignKey(const QString &folder) : m_folder(folder)
{
    if (!run({"-G", "-W", "-p", "key.pub", "-s", "key.key"}))
        return;
    const QList<QByteArray> lines = contentOf(QDir(folder).filePath("key.pub")).split('\n');
    EXPECT_GE(lines.size(), 2);
    m_keyId = QString::fromLatin1(lines.value(0).split(' ').last());
    m_publicKey = QString::fromLatin1(lines.value(1));
}

QByteArray MinisignKey::sign(const QByteArray &content, const QStringList &arguments) const
{
    const QString file = QDir(m_folder).filePath("signed");
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    QFile::remove(file + ".minisig");
    if (!run(QStringList{"-S", "-s", "key.key", "-m", "signed"} + arguments))
        return QByteArray();
    return contentOf(file + ".minisig");
}

bool MinisignKey::run(const QStringList &arguments) const
{
    QProcess minisign;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(name, m_folder);
    minisign.setProcessEnvironment(env);
    minisign.setWorkingDirectory(m_folder);
    minisign.start("minisign", arguments);
    const bool ran = minisign.waitForFinished(20000) && minisign.exitStatus() == QProcess::NormalExit
        && minisign.exitCode() == 0;
    EXPECT_TRUE(ran) << "minisign " << arguments.join(' ').toStdString() << ": "
                     << minisign.readAllStandardError().toStdString();
    return ran;
}

} // namespace testsupport
