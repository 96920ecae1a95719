#include "enginefixture.h"

#include "update/engine/versioncompare.h"

using namespace enginetest;
using testsupport::HttpResponse;

namespace {

const QString kNoUpdate = "The current version is already the latest version.  No update performed.";

class VersionCheck : public EngineTest {
protected:
    // A run against a version file with content, installed version current;
    // the product address answers 404 so a run that goes on ends quickly.
    void runCheck(const QByteArray &content, const QString &current)
    {
        server.serve("/version.txt", HttpResponse::ok(content, "text/plain"));
        control.setDownloadVersionFile(server.url("/version.txt"));
        control.setCurrentVersion(current);
        control.setDownloadFile(server.url("/missing/tarnwick.exe"));
        control.setDownloadLocation(dir.filePath("app/"));
        raised.clear();
        control.RunUpdate();
        lines = log();
        copy = cachePathIn(lines, server.url("/version.txt"));
    }

    bool wentOnToDownload() const { return lines.last() == "Download process completed"; }

    QStringList lines;
    QString copy;
};

TEST_F(VersionCheck, SameAndOlderVersionsEndTheRunWithAMessage)
{
    struct Case {
        QByteArray content;
        QString current;
        QString outcome;
    };
    const QList<Case> cases = {
        {"1.0\r\n", "1.0", "Same version as server"},
        {"2.0\n", "2.0", "Same version as server"}, // a lone line feed ends the line too
        {"1.9\r\nignored", "1.10", "Older version on server"},
        {"2.0", "10.0", "Older version on server"},
        {"\r\n3.0", "1.0", "Older version on server"},
        {"1.0A\r", "1.0a", "Older version on server"},
    };
    for (const Case &c : cases) {
        const int boxesBefore = boxes.shown().size();
        runCheck(c.content, c.current);
        EXPECT_EQ(raised, QStringList{c.outcome}) << c.content.constData();
        ASSERT_EQ(boxes.shown().size(), boxesBefore + 1);
        EXPECT_EQ(boxes.shown().last().text, kNoUpdate);
        EXPECT_EQ(boxes.shown().last().buttons, platform::MsgButtons::Ok);
        EXPECT_EQ(boxes.shown().last().icon, platform::MsgIcon::None);
        EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{c.outcome, "Deleted version file " + copy}));
        EXPECT_FALSE(QFile::exists(copy));
        EXPECT_FALSE(wentOnToDownload());
    }
}

TEST_F(VersionCheck, ANewerVersionGoesOnUnlessTheUserSaysNo)
{
    control.setConfirmDownload(false);
    runCheck("1.10\r\n", "1.9");
    EXPECT_EQ(raised, QStringList{"Newer version found"});
    EXPECT_TRUE(boxes.shown().isEmpty()) << "no question without ConfirmDownload";
    EXPECT_TRUE(lines.contains("Deleted version file " + copy));
    EXPECT_TRUE(lines.contains("Unable to download " + server.url("/missing/tarnwick.exe")));
    EXPECT_TRUE(wentOnToDownload());

    control.setConfirmDownload(true);
    boxes.queueAnswer(platform::MsgAnswer::No);
    runCheck("1.0 ", "1.0");
    EXPECT_EQ(raised, QStringList{"Newer version found"});
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Question);
    EXPECT_EQ(lines.last(), "Deleted version file " + copy) << "the file goes even when the answer is No";
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_FALSE(wentOnToDownload());
}

TEST_F(VersionCheck, AnEmptyOrEndlessFirstLineIsAnErrorThatLeavesNothing)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"", "Input past end of file"},
        {QByteArray(5000, '9'), "The first line is longer than 4096 bytes"},
    };
    for (const auto &[content, why] : cases) {
        runCheck(content, "1.0");
        const QString message = "Error checking version file - " + why;
        EXPECT_EQ(raised, QStringList{message});
        EXPECT_EQ(boxes.texts().last(), message);
        EXPECT_EQ(lines.last(), message);
        EXPECT_FALSE(QFile::exists(copy)) << "the copy is of no use to anyone";
        EXPECT_FALSE(wentOnToDownload());
    }
}

TEST_F(VersionCheck, AVersionFileThatCannotBeFetchedEndsTheRun)
{
    control.setDownloadVersionFile(server.url("/nothing.txt"));
    control.setCurrentVersion("1.0");
    control.setDownloadFile(server.url("/missing/tarnwick.exe"));
    control.setDownloadLocation(dir.filePath("app/"));
    control.RunUpdate();
    const QString message = "Unable to download version file " + server.url("/nothing.txt");
    EXPECT_EQ(raised, QStringList{message});
    EXPECT_EQ(log().last(), message);
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(VersionCheck, TheVersionIsCheckedOnlyWithBothTheAddressAndTheInstalledVersion)
{
    server.serve("/version.txt", HttpResponse::ok("9.0\r\n", "text/plain"));
    server.serve("/local/tarnwick.exe", HttpResponse::ok("new product"));
    QDir().mkpath(dir.filePath("app"));
    control.setDownloadFile(server.url("/local/tarnwick.exe"));
    control.setDownloadLocation(dir.filePath("app/"));
    for (const auto &[versionFile, current] : {std::pair{server.url("/version.txt"), QString()},
                                               std::pair{QString(), QStringLiteral("1.0")}}) {
        control.setDownloadVersionFile(versionFile);
        control.setCurrentVersion(current);
        raised.clear();
        control.RunUpdate();
        EXPECT_EQ(raised, QStringList{"Download Complete"}) << qPrintable(versionFile);
    }
    EXPECT_EQ(server.hits("/version.txt"), 0);
    EXPECT_EQ(server.hits("/local/tarnwick.exe"), 2);
}

TEST(CompareVersions, DigitRunsCompareAsNumbersAndTheRestByCharacterCode)
{
    EXPECT_GT(compareVersions("1.10", "1.9"), 0);
    EXPECT_LT(compareVersions("2.0", "10.0"), 0);
    EXPECT_EQ(compareVersions("1.0", "1.0"), 0);
    EXPECT_GT(compareVersions("1.0 ", "1.0"), 0);
    EXPECT_GT(compareVersions("1.0a", "1.0A"), 0);
    EXPECT_LT(compareVersions("", "1.0"), 0);
    EXPECT_LT(compareVersions("1.01", "1.1"), 0) << "equal numbers: the texts decide";
    EXPECT_GT(compareVersions("1.1", "1.01"), 0);
    EXPECT_LT(compareVersions("1.0", "1.0.1"), 0);
    EXPECT_GT(compareVersions("1.0b", "1.0.1"), 0) << "'b' sorts after '.'";
    EXPECT_GT(compareVersions("2.0.99999999999999999999999", "2.0.99999999999999999999998"), 0);
    EXPECT_LT(compareVersions("v9", "v10"), 0);
    EXPECT_GT(compareVersions(" 1.0", ""), 0);
}

} // namespace
