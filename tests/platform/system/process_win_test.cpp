// Starting programs on Windows, with the sample product, which notes each
// start and the folder it was started in, in tarnwick-started.txt beside
// itself.

#include "platform/system/process.h"
#include "platform/core/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/runtimeerrorof.h"
#include "tests/support/waitfor.h"

#include <gtest/gtest.h>

using testsupport::runtimeErrorOf;
namespace process = platform::process;

namespace {

QString sampleProduct()
{
    return QCoreApplication::applicationDirPath() + "/tarnwick-1.0.exe";
}

QByteArray startsIn(const QTemporaryDir &dir)
{
    QFile record(dir.filePath("tarnwick-started.txt"));
    testsupport::poll([&] { return record.exists(); }, 10000);
    return record.open(QIODevice::ReadOnly) ? record.readAll() : QByteArray();
}

// What the sample product records when it starts in this test's working
// directory, as a program started with no directory of its own does.
QByteArray startedHere()
{
    return "Tarnwick 1.0 in " + QDir::toNativeSeparators(QDir::currentPath()).toUtf8() + "\n";
}

} // namespace

TEST(ProcessWindows, StartsAProgramWhoseNameAShellWouldReadOtherwise)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("product with blanks & (more).exe");
    ASSERT_TRUE(QFile::copy(sampleProduct(), program));
    process::startProgram(program);
    EXPECT_EQ(startsIn(dir), startedHere());
}

TEST(ProcessWindows, ShellOpenStartsProgramsToo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(sampleProduct(), dir.filePath("tarnwick.exe")));
    EXPECT_TRUE(process::shellOpen(dir.filePath("tarnwick.exe")));
    EXPECT_EQ(startsIn(dir), startedHere());
}

TEST(ProcessWindows, RefusesWhatCannotBeStarted)
{
    QTemporaryDir dir;
    QFile text(dir.filePath("plain.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("text");
    text.close();
    EXPECT_EQ(runtimeErrorOf([&] { process::startProgram(dir.filePath("missing.exe")); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { process::startProgram(text.fileName()); }), 70);
    EXPECT_EQ(runtimeErrorOf([&] { process::startProgram(dir.path()); }), 70);
    EXPECT_EQ(runtimeErrorOf([&] { process::startProgram(QString()); }), 5);
}

TEST(ProcessWindows, TheApplicationFolderIsWrittenWithBackslashes)
{
    const QString folder = process::applicationFolder();
    EXPECT_TRUE(folder.contains('\\')) << folder.toStdString();
    EXPECT_FALSE(folder.contains('/')) << folder.toStdString();
    EXPECT_FALSE(folder.endsWith('\\'));
}
