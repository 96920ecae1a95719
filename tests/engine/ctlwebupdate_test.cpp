#include "update/engine/ctlwebupdate.h"

#include "platform/desktop/clock.h"
#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"
#include "tests/support/scriptedmessagebox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::MemoryPropertyStore;
using platform::PropertyBag;
using platform::Variant;

namespace {

struct FixedClock : platform::Clock {
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)); }
};

QStringList logLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString()) << "every line ends in CR LF";
    return lines;
}

class UpdateControl : public ::testing::Test {
protected:
    UpdateControl()
    {
        platform::Clock::install(&clock);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        control.setLogFilename(log);
    }
    ~UpdateControl() override
    {
        platform::Clock::install(nullptr);
        QLocale::setDefault(QLocale::system());
    }

    FixedClock clock;
    testsupport::ScriptedMessageBoxService boxes;
    QTemporaryDir dir;
    QString log = dir.filePath("update.log");
    ctlWebUpdate control;
    QStringList raised;
    QMetaObject::Connection recorder = QObject::connect(&control, &ctlWebUpdate::StatusChange,
                                                        [this](QString &m) { raised << m; });
};

} // namespace

TEST(UpdateControlState, ANewControlStartsEmptyAndFalse)
{
    ctlWebUpdate control;
    EXPECT_TRUE(control.DownloadLocation().isEmpty());
    EXPECT_TRUE(control.DownloadFile().isEmpty());
    EXPECT_TRUE(control.DownloadVersionFile().isEmpty());
    EXPECT_TRUE(control.CurrentVersion().isEmpty());
    EXPECT_TRUE(control.LogFilename().isEmpty());
    EXPECT_FALSE(control.ConfirmDownload());
    EXPECT_FALSE(control.AutoRun());
}

TEST(UpdateControlState, APutStoresTheValueUnchanged)
{
    ctlWebUpdate control;
    control.setDownloadFile(" http://x/ a ");
    control.setAutoRun(true);
    EXPECT_EQ(control.DownloadFile(), QString(" http://x/ a "));
    EXPECT_TRUE(control.AutoRun());
}

TEST(UpdateControlState, RestoreOfAnEmptyBagConfirmsButDoesNotRun)
{
    ctlWebUpdate control;
    MemoryPropertyStore store;
    control.ReadProperties(PropertyBag(store));
    EXPECT_TRUE(control.ConfirmDownload());
    EXPECT_FALSE(control.AutoRun());
}

TEST(UpdateControlState, RestoreMatchesKeysInAnyCase)
{
    MemoryPropertyStore store;
    store.write("_extentx", std::int32_t(6588));
    store.write("confirmdownload", false);
    store.write("autorun", false);
    store.write("downloadfile", "http://127.0.0.1/local/tarnwick.exe");
    store.write("LOGFILENAME", "run.log");
    ctlWebUpdate control;
    control.ReadProperties(PropertyBag(store));
    EXPECT_FALSE(control.ConfirmDownload());
    EXPECT_EQ(control.DownloadFile(), QString("http://127.0.0.1/local/tarnwick.exe"));
    EXPECT_EQ(control.LogFilename(), QString("run.log"));
}

TEST(UpdateControlState, SaveLeavesOutEmptyTextsAndKeepsBothSwitches)
{
    ctlWebUpdate control;
    control.setCurrentVersion("1.0");
    MemoryPropertyStore store;
    PropertyBag bag(store);
    control.WriteProperties(bag);
    ASSERT_EQ(store.size(), 3);
    EXPECT_EQ(store.entries()[0].first, QString("CurrentVersion"));
    EXPECT_EQ(store.entries()[1], qMakePair(QString("ConfirmDownload"), Variant(false)));
    EXPECT_EQ(store.entries()[2], qMakePair(QString("AutoRun"), Variant(false)));

    ctlWebUpdate restored;
    restored.ReadProperties(bag);
    EXPECT_FALSE(restored.ConfirmDownload()) << "a saved False stays False";
    EXPECT_EQ(restored.CurrentVersion(), QString("1.0"));
}

TEST(UpdateControlState, AValueThatCannotBeConvertedEndsTheRestoreAtItsKey)
{
    ctlWebUpdate control;
    control.setLogFilename("before.log");
    MemoryPropertyStore store;
    store.write("DownloadFile", "http://127.0.0.1/a.exe");
    store.write("ConfirmDownload", false);
    store.write("AutoRun", "sometimes");
    store.write("LogFilename", "after.log");
    try {
        control.ReadProperties(PropertyBag(store));
        FAIL() << "restore went through";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.description(), QString("Type mismatch"));
    }
    EXPECT_EQ(control.DownloadFile(), QString("http://127.0.0.1/a.exe"));
    EXPECT_FALSE(control.ConfirmDownload());
    EXPECT_EQ(control.LogFilename(), QString("before.log")) << "later keys keep their previous values";
}

TEST_F(UpdateControl, AMissingAddressIsReportedOnceByEventBoxAndLog)
{
    control.setDownloadLocation("/tmp/");
    control.RunUpdate();
    EXPECT_EQ(raised, QStringList{"No download filename specified"});
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QString("qvWebUpdate"));
    EXPECT_EQ(boxes.shown()[0].text, QString("No download filename specified"));
    EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(logLines(log), (QStringList{"06/12/2026 14:05:09  Download process started",
                                          "06/12/2026 14:05:09  No download filename specified"}));
}

TEST_F(UpdateControl, AMissingFolderIsReportedAfterTheAddress)
{
    control.setDownloadFile("http://127.0.0.1:1/local/tarnwick.exe");
    control.RunUpdate();
    EXPECT_EQ(raised, QStringList{"No download location specified"});
    EXPECT_EQ(boxes.texts(), QStringList{"No download location specified"});
    EXPECT_EQ(logLines(log).size(), 2);
}

TEST_F(UpdateControl, TheLogDateFollowsTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    control.RunUpdate();
    EXPECT_EQ(logLines(log).value(0), QString("12/6/26 14:05:09  Download process started"));
}

TEST_F(UpdateControl, EveryRunStartsAFreshLog)
{
    QFile old(log);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("last week's lines\r\n");
    old.close();
    control.RunUpdate();
    control.RunUpdate();
    EXPECT_EQ(logLines(log), (QStringList{"06/12/2026 14:05:09  Download process started",
                                          "06/12/2026 14:05:09  No download filename specified"}));
}

TEST_F(UpdateControl, AHandlersReplacementIsWhatTheLogKeeps)
{
    QObject::connect(&control, &ctlWebUpdate::StatusChange, [](QString &m) { m = "Replaced: " + m; });
    control.RunUpdate();
    EXPECT_EQ(raised, QStringList{"No download filename specified"}) << "handlers see the text as raised";
    EXPECT_EQ(logLines(log).value(1), QString("06/12/2026 14:05:09  Replaced: No download filename specified"));
    EXPECT_EQ(boxes.texts(), QStringList{"No download filename specified"});
}

TEST_F(UpdateControl, AnUnwritableLogChangesNothingButTheFile)
{
    control.setLogFilename(dir.filePath("no/such/folder/update.log"));
    control.RunUpdate();
    EXPECT_EQ(raised, QStringList{"No download filename specified"});
    EXPECT_EQ(boxes.texts(), QStringList{"No download filename specified"});
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));

    control.setLogFilename(QString());
    control.RunUpdate();
    EXPECT_EQ(raised.size(), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}

TEST_F(UpdateControl, AnErrorDuringTheRunIsTrappedShownAndLoggedWithoutAnEvent)
{
    QObject::connect(&control, &ctlWebUpdate::StatusChange,
                     [](QString &) { throw platform::RuntimeError(5); });
    control.RunUpdate();
    EXPECT_EQ(boxes.texts(), QStringList{"5 - Invalid procedure call or argument"});
    EXPECT_EQ(logLines(log), (QStringList{"06/12/2026 14:05:09  Download process started",
                                          "06/12/2026 14:05:09  5 - Invalid procedure call or argument"}));
}

TEST_F(UpdateControl, ARunStartedDuringARunReturnsAtOnce)
{
    int nested = 0;
    QObject::connect(&control, &ctlWebUpdate::StatusChange, [&](QString &) {
        ++nested;
        control.RunUpdate();
    });
    control.RunUpdate();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(logLines(log).size(), 2) << "the nested call neither restarts the log nor reports";
    EXPECT_EQ(boxes.shown().size(), 1);
}
