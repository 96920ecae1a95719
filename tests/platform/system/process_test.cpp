#include "platform/desktop/eventpump.h"
#include "platform/system/process.h"
#include "platform/core/runtimeerror.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include "tests/support/filecontent.h"
#include "tests/support/runtimeerrorof.h"
#include "tests/support/waitfor.h"

#include <gtest/gtest.h>

using testsupport::runtimeErrorOf;

namespace {

void writeScript(const QString &path, const QByteArray &body, QFile::Permissions perms)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(body);
    f.close();
    f.setPermissions(perms);
}

bool waitForFile(const QString &path)
{
    const QDeadlineTimer deadline(5000);
    while (!QFileInfo::exists(path) && !deadline.hasExpired())
        platform::waitSeconds(0.02);
    return QFileInfo::exists(path);
}

const QFile::Permissions kExecutable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

} // namespace

TEST(Process, StartsAProgramDetachedInTheCallersWorkingDirectory)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("product with blanks; $(echo no).exe");
    writeScript(program, "#!/bin/sh\npwd > \"$(dirname \"$0\")/started.txt\"\n", kExecutable);
    platform::process::startProgram(program);
    const QString record = dir.filePath("started.txt");
    ASSERT_TRUE(testsupport::poll([&] { return testsupport::readBytes(record).endsWith('\n'); }, 5000));
    EXPECT_EQ(testsupport::readBytes(record), QDir::current().canonicalPath().toUtf8() + "\n");
}

TEST(Process, RefusesWhatCannotBeStarted)
{
    QTemporaryDir dir;
    EXPECT_EQ(runtimeErrorOf([&] { platform::process::startProgram(dir.filePath("missing.exe")); }), 53);
    writeScript(dir.filePath("plain.txt"), "text", QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(runtimeErrorOf([&] { platform::process::startProgram(dir.filePath("plain.txt")); }), 70);
    EXPECT_EQ(runtimeErrorOf([&] { platform::process::startProgram(dir.path()); }), 70);
    EXPECT_EQ(runtimeErrorOf([&] { platform::process::startProgram(QString()); }), 5);
}

TEST(Process, ShellOpenStartsProgramsToo)
{
    QTemporaryDir dir;
    writeScript(dir.filePath("run.exe"), "#!/bin/sh\ntouch \"$(dirname \"$0\")/opened.txt\"\n", kExecutable);
    EXPECT_TRUE(platform::process::shellOpen(dir.filePath("run.exe")));
    EXPECT_TRUE(waitForFile(dir.filePath("opened.txt")));
}
