#pragma once

#include "update/engine/ctlwebupdate.h"
#include "update/progressbar/qvprogressbar.h"

#include "platform/read/asyncread.h"
#include "platform/desktop/clock.h"
#include "platform/patch/patch.h"
#include "tests/support/filecontent.h"
#include "tests/support/httptestserver.h"
#include "tests/support/scriptedmessagebox.h"
#include "tests/support/waitfor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace enginetest {

// A clock whose monotonic time moves only when a test moves it.
struct SteppingClock : platform::Clock {
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)); }
    qint64 monotonicMs() const override { return ms; }
    qint64 ms = 5'000'000;
};

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    f.write(content);
}

// An update control with a log, a stepping clock, scripted message boxes,
// its own cache folder and a test server.
class EngineTest : public ::testing::Test {
protected:
    EngineTest()
    {
        platform::Clock::install(&clock);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        read()->setCacheFolder(dir.filePath("cache"));
        control.setLogFilename(dir.filePath("update.log"));
        QObject::connect(&control, &ctlWebUpdate::StatusChange, [this](QString &m) { raised << m; });
    }
    ~EngineTest() override
    {
        platform::Clock::install(nullptr);
        QLocale::setDefault(QLocale::system());
    }

    platform::AsyncRead *read() { return control.findChild<platform::AsyncRead *>(); }
    QString label(const char *name) const { return control.findChild<QLabel *>(name)->text(); }
    qvProgressBar *bar() const { return control.findChild<qvProgressBar *>(); }

    // The log's messages, without their time stamps.
    QStringList log() const
    {
        QStringList messages;
        const QString text = QString::fromUtf8(testsupport::readBytes(dir.filePath("update.log")));
        for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            EXPECT_TRUE(line.startsWith(QStringLiteral("06/12/2026 14:05:09  "))) << qPrintable(line);
            messages << line.mid(21);
        }
        return messages;
    }

    // The lines one successful read of url writes, from its first status to
    // "Downloaded ..."; path is the cache file it names.
    static QStringList downloadLines(const QString &url, const QString &path, const QString &mime,
                                     const QString &connectTo = QString())
    {
        QStringList lines{"vbAsyncStatusCodeFindingResource - " + url};
        if (!connectTo.isEmpty())
            lines << "vbAsyncStatusCodeConnecting - " + connectTo;
        lines << "vbAsyncStatusCodeSendingRequest - " + url << "vbAsyncStatusCodeMIMETypeAvailable - " + mime
              << "vbAsyncStatusCodeCacheFileNameAvailable - " + path << "vbAsyncStatusCodeBeginDownloadData - " + url
              << "vbAsyncStatusCodeEndDownloadData - " + url << url + " was copied to: " + path
              << "Downloaded " + url + " to " + path;
        return lines;
    }

    // The line of a run that finds no patch for the product at installed
    // (read before the run replaces it).
    static QString noPatchLine(const QString &productUrl, const QString &installed)
    {
        return "No patch at " + platform::patch::patchAddress(productUrl, platform::patch::sha256Hex(installed))
               + ": downloading the whole product";
    }

    // The cache file that the log names for the read of url.
    QString cachePathIn(const QStringList &lines, const QString &url) const
    {
        for (const QString &line : lines)
            if (line.startsWith(url + " was copied to: "))
                return line.mid(url.size() + 16);
        return QString();
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.port()); }

    SteppingClock clock;
    testsupport::ScriptedMessageBoxService boxes;
    testsupport::HttpTestServer server;
    QTemporaryDir dir;
    ctlWebUpdate control;
    QStringList raised;
};

} // namespace enginetest
