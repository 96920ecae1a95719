#include "platform/read/asyncread.h"
#include "platform/read/internal/curltransfer.h"

#include "tests/support/filecontent.h"
#include "tests/support/httptestserver.h"
#include "tests/support/waitfor.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using platform::AsyncProperty;
using platform::AsyncRead;
using testsupport::HttpResponse;
using testsupport::HttpTestServer;
using testsupport::waitFor;

namespace {

// Every file below the cache folder (partial files included).
QStringList filesIn(const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir())
            found += filesIn(entry.filePath());
        else if (entry.fileName() != QLatin1String(".validators"))
            found << entry.fileName();
    }
    return found;
}

// The cache's own record of a copy under folder, if there is one.
QString recordIn(const QString &folder)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (it.next().contains("/.record/"))
            return it.filePath();
    return QString();
}

class ReadService : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cache.isValid());
        job.setCacheFolder(cache.path());
        QObject::connect(&job, &AsyncRead::progress, [this](const AsyncProperty &p) { progress.append(p); });
        QObject::connect(&job, &AsyncRead::completed, [this](const AsyncProperty &p) { completions.append(p); });
    }

    // Reads url to its end and returns the one completion.
    AsyncProperty read(const QString &url, int options = AsyncRead::Resynchronize)
    {
        progress.clear();
        completions.clear();
        job.start(url, options);
        EXPECT_TRUE(waitFor([this] { return !completions.isEmpty(); }));
        EXPECT_FALSE(job.isPending());
        return completions.value(0);
    }

    QList<int> codes() const
    {
        QList<int> result;
        for (const AsyncProperty &p : progress)
            if (result.isEmpty() || result.last() != p.StatusCode || p.StatusCode != 5)
                result << p.StatusCode;
        return result;
    }

    QString failureOf(const AsyncProperty &completion) const
    {
        try {
            completion.Value();
        } catch (const platform::RuntimeError &e) {
            return e.description();
        }
        return QString();
    }

    QTemporaryDir cache;
    HttpTestServer server;
    AsyncRead job;
    QList<AsyncProperty> progress;
    QList<AsyncProperty> completions;
};

TEST_F(ReadService, StreamsTheBodyToACacheFileAndReportsEachStageInOrder)
{
    const qint64 size = 3 * 1024 * 1024 + 17;
    HttpResponse response = HttpResponse::generated(size);
    response.holdAt = {1024 * 1024};
    server.serve("/pkg/tarnwick.exe", response);
    // While the server holds back, the data file's own name is not there yet:
    // only a complete file ever carries it.
    bool partialVisible = true;
    QObject::connect(&server, &HttpTestServer::held, [&] {
        waitFor([&] { return !progress.isEmpty() && progress.last().BytesRead == 1024 * 1024; });
        partialVisible = filesIn(cache.path()).contains("tarnwick.exe");
        server.resume();
    });

    const AsyncProperty done = read(server.url("/pkg/tarnwick.exe"));

    EXPECT_FALSE(partialVisible);
    EXPECT_EQ(codes(), (QList<int>{1, 2, 11, 13, 14, 4, 5, 6}));
    EXPECT_EQ(progress.first().Status, server.url("/pkg/tarnwick.exe"));
    EXPECT_EQ(progress[3].Status, "application/octet-stream");
    EXPECT_EQ(progress[4].Status, done.Value());
    for (const AsyncProperty &p : progress.mid(3))
        EXPECT_EQ(p.BytesMax, size);
    EXPECT_EQ(progress.last().BytesRead, size);
    EXPECT_TRUE(QDir::fromNativeSeparators(done.Value()).startsWith(cache.path()));
    EXPECT_TRUE(QDir::fromNativeSeparators(done.Value()).endsWith("/tarnwick.exe"));
    EXPECT_EQ(testsupport::readBytes(done.Value()), HttpTestServer::pattern(0, size));
    EXPECT_EQ(filesIn(cache.path()), QStringList{"tarnwick.exe"});
}

TEST_F(ReadService, BodiesWithoutALengthKeepTheTotalUnknown)
{
    HttpResponse closeDelimited = HttpResponse::generated(5120);
    closeDelimited.framing = HttpResponse::Framing::CloseDelimited;
    server.serve("/close", closeDelimited);
    HttpResponse chunked = HttpResponse::generated(200 * 1024);
    chunked.framing = HttpResponse::Framing::Chunked;
    chunked.chunkBytes = 7000;
    server.serve("/chunked", chunked);
    // An empty body is an empty file.
    server.serve("/empty", HttpResponse::ok(""));

    for (const auto &[path, size] :
         {std::pair{"/close", 5120}, std::pair{"/chunked", 200 * 1024}, std::pair{"/empty", 0}}) {
        const AsyncProperty done = read(server.url(path));
        EXPECT_EQ(testsupport::readBytes(done.Value()), HttpTestServer::pattern(0, size)) << path;
        for (const AsyncProperty &p : progress)
            EXPECT_EQ(p.BytesMax, 0) << path;
        EXPECT_EQ(progress.last().BytesRead, size) << path;
    }
}

TEST_F(ReadService, FailedTransfersEndInAFailureAndLeaveNoFile)
{
    server.serve("/missing", HttpResponse::error(404));
    server.serve("/broken", HttpResponse::error(500));
    server.serve("/reset", HttpResponse::cut(400000, 100000, HttpResponse::End::Reset));
    server.serve("/short", HttpResponse::cut(4000, 1000, HttpResponse::End::Close));
    server.serve("/stall", HttpResponse::cut(4000, 1000, HttpResponse::End::Stall));
    server.serve("/loop/a", HttpResponse::redirect("/loop/b"));
    server.serve("/loop/b", HttpResponse::redirect("/loop/a"));
    // A redirect status that is not followed is a refusal like any other.
    server.serve("/choices", HttpResponse::redirect("/loop/a", 300));
    server.serve("/to-a-local-file", HttpResponse::redirect("file:///etc/hostname"));
    // 20 bytes a second, where 100 is the least: 30 bytes in 300 milliseconds.
    HttpResponse trickle = HttpResponse::generated(4000);
    trickle.chunkBytes = 1;
    trickle.intervalMs = 50;
    server.serve("/trickle", trickle);
    job.setStallTimeoutMs(300);

    const QList<QPair<QString, QString>> cases = {
        {"/missing", "The server answered 404 Not Found"},
        {"/broken", "The server answered 500 Internal Server Error"},
        {"/reset", "The connection broke after 100000 of 400000 bytes"},
        {"/short", "1000 of 4000"},
        {"/stall", "No data received for 300 milliseconds"},
        {"/loop/a", "More than 10 redirects"},
        {"/choices", "The server answered 300"},
        {"/to-a-local-file", "Refused a redirect to file:///etc/hostname"},
        {"/trickle", "Less than 100 bytes a second for 300 milliseconds"},
        {"http://127.0.0.1:1/nothing-listens", "Couldn't connect to server"},
    };
    for (const auto &[path, expected] : cases) {
        QElapsedTimer clock;
        clock.start();
        const AsyncProperty done = read(path.startsWith('/') ? server.url(path) : path);
        if (path == "/stall" || path == "/trickle") {
            EXPECT_LT(clock.elapsed(), 2000) << qPrintable(path) << ": ends at the limit, not long after";
        }
        EXPECT_TRUE(done.failure.has_value()) << qPrintable(path);
        EXPECT_TRUE(failureOf(done).contains(expected, Qt::CaseInsensitive))
            << qPrintable(path) << ": " << qPrintable(failureOf(done));
        EXPECT_EQ(filesIn(cache.path()), QStringList()) << qPrintable(path);
    }
    EXPECT_GE(server.hits("/loop/a") + server.hits("/loop/b"), 11);
}

TEST_F(ReadService, FollowsRedirectsAndReportsEachHopAndEachHostConnectedTo)
{
    HttpTestServer other;
    server.serve("/old", HttpResponse::redirect("/moved", 301));
    server.serve("/moved", HttpResponse::redirect(other.url("/new").toLatin1(), 307));
    other.serve("/new", HttpResponse::ok("1.2.3\r\n", "text/plain"));

    const AsyncProperty done = read(server.url("/old"));

    EXPECT_EQ(testsupport::readBytes(done.Value()), "1.2.3\r\n");
    QStringList hops;
    QStringList hosts;
    for (const AsyncProperty &p : progress) {
        if (p.StatusCode == platform::AsyncStatusCodeRedirecting)
            hops << p.Status;
        if (p.StatusCode == platform::AsyncStatusCodeConnecting)
            hosts << p.Status;
    }
    EXPECT_EQ(hops, (QStringList{server.url("/moved"), other.url("/new")}));
    EXPECT_EQ(hosts, (QStringList{server.url("").mid(7), other.url("").mid(7)}));
}

TEST_F(ReadService, RevalidatesTheRecordAndHandsOutAFileOfItsOwnEachTime)
{
    QByteArray content = "version one";
    QByteArray etag = "\"v1\"";
    server.serve("/v.txt", [&](const testsupport::HttpRequest &) {
        HttpResponse r = HttpResponse::ok(content, "text/plain");
        r.etag = etag;
        return r;
    });
    const QString url = server.url("/v.txt");

    const QString first = read(url).Value();
    const QString record = recordIn(cache.path());
    const QString again = read(url).Value();
    EXPECT_EQ(server.requests().last().header("If-None-Match"), "\"v1\"");
    EXPECT_EQ(progress.last().StatusCode, platform::AsyncStatusCodeUsingCachedCopy);
    EXPECT_EQ(progress.last().Status, again);
    EXPECT_EQ(QSet<QString>({first, record, again}).size(), 3) << "three files, not one";

    // Callers move or delete their files without touching the record.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(QFile::rename(again, elsewhere.filePath("v.txt")));
    EXPECT_EQ(testsupport::readBytes(elsewhere.filePath("v.txt")), "version one");
    const QString third = read(url).Value();
    EXPECT_EQ(testsupport::readBytes(third), "version one");
    EXPECT_EQ(server.hits("/v.txt"), 3);

    // A newer copy replaces the record, never a file handed out before.
    content = "version two";
    etag = "\"v2\"";
    const QString changed = read(url).Value();
    EXPECT_EQ(testsupport::readBytes(changed), "version two");
    EXPECT_EQ(testsupport::readBytes(third), "version one");
    EXPECT_FALSE(QFileInfo::exists(record));
    EXPECT_EQ(testsupport::readBytes(recordIn(cache.path())), "version two");

    // Without the option the record is served without asking the server.
    EXPECT_EQ(testsupport::readBytes(read(url, 0).Value()), "version two");
    EXPECT_EQ(server.hits("/v.txt"), 4);
    EXPECT_EQ(progress.last().StatusCode, platform::AsyncStatusCodeUsingCachedCopy);

    // A record written to in place (a placed file shares it) is fetched anew.
    QFile shared(changed);
    ASSERT_TRUE(shared.open(QIODevice::Append));
    shared.write(" and more");
    shared.close();
    EXPECT_EQ(testsupport::readBytes(read(url).Value()), "version two");
    EXPECT_TRUE(server.requests().last().header("If-None-Match").isEmpty());

    // A copy without a validator leaves no record.
    etag.clear();
    read(url);
    EXPECT_EQ(recordIn(cache.path()), QString());
}

TEST_F(ReadService, WithoutValidatorsNothingStaysOnceTheCallersTakeTheirFiles)
{
    server.serve("/plain.txt", HttpResponse::ok("plain"));
    const QString first = read(server.url("/plain.txt")).Value();
    const QString second = read(server.url("/plain.txt")).Value();
    EXPECT_EQ(testsupport::readBytes(first), "plain") << "a completed read never deletes a file handed out earlier";
    EXPECT_EQ(testsupport::readBytes(second), "plain");
    QFile::remove(first);
    QFile::remove(second);
    QFile::remove(read(server.url("/plain.txt")).Value());
    EXPECT_EQ(filesIn(cache.path()), QStringList());
}

// A generated file of 200000 bytes that offers ranges with a validator, cut
// by a reset at the given offset (-1: whole).
HttpResponse resumable(qint64 cutAt)
{
    HttpResponse r = HttpResponse::cut(200000, cutAt, cutAt < 0 ? HttpResponse::End::Complete : HttpResponse::End::Reset);
    r.acceptRanges = true;
    r.lastModified = "Tue, 01 Dec 2026 10:00:00 GMT";
    return r;
}

TEST_F(ReadService, ResumesABrokenTransferOnlyAsFarAsTheServerAllows)
{
    HttpResponse misplaced = resumable(-1);
    misplaced.misplacedRangeBy = 10;
    HttpResponse noRanges = resumable(-1);
    noRanges.acceptRanges = false;
    // A part whose range ends long before the total it announces.
    HttpResponse shortPart = HttpResponse::ok(HttpTestServer::pattern(5000, 5000));
    shortPart.status = 206;
    shortPart.headers = {{"Content-Range", "bytes 5000-9999/200000"}};
    // The file changed on the server between the break and the resumption:
    // If-Range no longer matches, so the server sends the whole new file.
    HttpResponse changed = HttpResponse::ok(QByteArray(200000, 'n'));
    changed.acceptRanges = true;
    changed.lastModified = "Wed, 02 Dec 2026 10:00:00 GMT";
    struct Case {
        const char *name;
        QList<HttpResponse> answers; // the n-th request gets the n-th (or the last)
        QString failure;             // empty: the read succeeds
        int requests;
        QList<qint64> resumedAt;
        QByteArray content = HttpTestServer::pattern(0, 200000);
    };
    const QList<Case> cases = {
        {"a 200 answer starts the file over", {resumable(50000), noRanges}, "", 2, {50000}},
        {"three resumptions at most", {resumable(1000), resumable(2000), resumable(3000), resumable(4000)},
         "The connection broke after 4000 of 200000 bytes", 4, {1000, 2000, 3000}},
        {"a misplaced part", {resumable(5000), misplaced}, "The server resumed at byte 5010 instead of 5000", 2, {5000}},
        {"a part short of its total", {resumable(5000), shortPart},
         "The server sent a part that stops short of the file's end", 2, {5000}},
        {"a file changed meanwhile starts over", {resumable(5000), changed}, "", 2, {5000}, QByteArray(200000, 'n')},
        {"a stalled transfer is resumed too",
         {[] { HttpResponse r = resumable(5000); r.end = HttpResponse::End::Stall; return r; }(), resumable(-1)}, "", 2,
         {5000}},
        {"no ranges, no resumption", {[] { HttpResponse r = resumable(5000); r.acceptRanges = false; return r; }()},
         "The connection broke after 5000 of 200000 bytes", 1, {}},
    };
    job.setStallTimeoutMs(300);
    for (const Case &c : cases) {
        const QString path = QStringLiteral("/%1.bin").arg(&c - cases.data());
        int request = 0;
        server.serve(path, [&](const testsupport::HttpRequest &) { return c.answers.value(request++, c.answers.last()); });
        const AsyncProperty done = read(server.url(path));
        EXPECT_EQ(request, c.requests) << c.name;
        EXPECT_EQ(failureOf(done).section(" (", 0, 0).toStdString(), c.failure.toStdString()) << c.name;
        if (c.failure.isEmpty()) {
            EXPECT_TRUE(testsupport::readBytes(done.Value()) == c.content) << c.name;
            EXPECT_EQ(done.BytesRead, 200000) << c.name;
        }
        EXPECT_EQ(filesIn(cache.path()).filter(".part"), QStringList()) << c.name;
        QList<qint64> resumedAt;
        for (const AsyncProperty &p : progress)
            if (p.Status == QStringLiteral("Resuming %1 at byte %2").arg(server.url(path)).arg(p.BytesRead))
                resumedAt << p.BytesRead;
        EXPECT_EQ(resumedAt, c.resumedAt) << c.name;
        if (c.requests > 1) {
            EXPECT_EQ(server.requests().last().header("If-Range"), "Tue, 01 Dec 2026 10:00:00 GMT") << c.name;
        }
    }
}

TEST_F(ReadService, AValidatorWithAControlCharacterIsNeitherKeptNorSent)
{
    HttpResponse response = HttpResponse::ok("content");
    response.headers = {{"ETag", "\"a\"\rX-Injected: yes"}};
    server.serve("/v.txt", response);
    read(server.url("/v.txt"));
    read(server.url("/v.txt"));
    EXPECT_TRUE(server.requests().last().header("If-None-Match").isEmpty());
    EXPECT_TRUE(server.requests().last().header("X-Injected").isEmpty());
    EXPECT_EQ(recordIn(cache.path()), QString()) << "without a validator nothing is kept";
}

TEST_F(ReadService, WhatReadsOfEndedProcessesLeftIsRemovedAndALiveOnesIsNot)
{
    // Read folders are named after their process: one that no longer runs,
    // and this one's.
    const QString dead = cache.filePath("0123456789abcdef/2147480000-AbCdEf");
    const QString live = cache.filePath(QStringLiteral("0123456789abcdef/%1-GhIjKl").arg(QCoreApplication::applicationPid()));
    for (const QString &folder : {dead, live}) {
        QDir().mkpath(folder);
        testsupport::writeBytes(folder + "/tarnwick.exe.part", "partial");
    }
    server.serve("/x", HttpResponse::ok("x"));
    read(server.url("/x"));
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(live + "/tarnwick.exe.part"));
}

TEST_F(ReadService, ALinkPlantedAsTheRecordIsNeverFollowed)
{
    HttpResponse response = HttpResponse::ok("genuine");
    response.etag = "\"v1\"";
    server.serve("/p.exe", response);
    read(server.url("/p.exe"));
    const QString record = recordIn(cache.path());
    ASSERT_FALSE(record.isEmpty());
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim");
    testsupport::writeBytes(victim, "secret");
    QFile::setPermissions(victim, QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions victimsOwn = QFile::permissions(victim);
    QFile::remove(record);
    ASSERT_TRUE(QFile::link(victim, record));
    // With the validators made to fit the link's target, as whoever planted
    // it can.
    const QString validatorsPath = QFileInfo(record).path() + "/../../.validators";
    QJsonObject validators = QJsonDocument::fromJson(testsupport::readBytes(validatorsPath)).object();
    const QFileInfo target(victim);
    validators["stamp"] = QStringLiteral("%1@%2").arg(target.size()).arg(target.lastModified().toMSecsSinceEpoch());
    testsupport::writeBytes(validatorsPath, QJsonDocument(validators).toJson());

    const QString handedOut = read(server.url("/p.exe")).Value();

    EXPECT_FALSE(QFileInfo(handedOut).isSymLink());
    EXPECT_EQ(testsupport::readBytes(handedOut), "genuine") << "fetched again, not the link's target";
    EXPECT_EQ(QFile::permissions(victim), victimsOwn);
}

TEST_F(ReadService, CancelEndsTheReadQuietlyAndRemovesThePartialFile)
{
    HttpResponse response = HttpResponse::generated(100000);
    response.holdAt = {30000};
    server.serve("/big", response);
    QObject::connect(&server, &HttpTestServer::held, [&] {
        waitFor([&] { return !progress.isEmpty() && progress.last().BytesRead == 30000; });
        job.cancel();
        server.resume();
    });
    job.start(server.url("/big"));
    ASSERT_TRUE(waitFor([&] { return !job.isPending(); }));
    // Whatever the server still sends after the cancel reaches no one.
    testsupport::pause(200);

    EXPECT_TRUE(completions.isEmpty());
    EXPECT_TRUE(QDir(cache.path()).isEmpty()) << "no file, no folder";
    EXPECT_THROW(job.cancel(), platform::RuntimeError);
}

// A listener that starts another read once the first is over, from its
// completion or after cancelling it from a progress notification, and waits
// for it there (as a host's handler that pumps events would).
TEST_F(ReadService, AReadStartedFromAListenerOfAnEndedReadIsDeliveredAtOnce)
{
    server.serve("/first", HttpResponse::ok("first"));
    server.serve("/second", HttpResponse::ok("second"));
    for (const bool fromCompletion : {true, false}) {
        QByteArray second;
        bool started = false;
        const auto startAndWait = [&] {
            if (std::exchange(started, true))
                return;
            if (!fromCompletion)
                job.cancel();
            const qsizetype before = completions.size();
            job.start(server.url("/second"));
            waitFor([&] { return completions.size() > before; }, 5000);
            second = completions.size() > before ? testsupport::readBytes(completions.last().Value()) : QByteArray();
        };
        const QMetaObject::Connection connection =
            fromCompletion ? QObject::connect(&job, &AsyncRead::completed, startAndWait)
                           : QObject::connect(&job, &AsyncRead::progress, startAndWait);
        job.start(server.url("/first"));
        EXPECT_TRUE(waitFor([&] { return started && !job.isPending(); }));
        QObject::disconnect(connection);
        EXPECT_EQ(second, "second") << (fromCompletion ? "from the completion" : "from a progress notification");
    }
}

TEST_F(ReadService, RefusesAddressesItCannotReadAndASecondReadAtOnce)
{
    for (const QString address : {"", "not a url", "relative/path", "ftp://127.0.0.1/x", "mailto:a@b.c", "http://"}) {
        try {
            job.start(address);
            ADD_FAILURE() << "started " << qPrintable(address);
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), 5);
            EXPECT_TRUE(e.description().contains(address)) << qPrintable(e.description());
        }
    }
    server.serve("/x", HttpResponse::ok("x"));
    job.start(server.url("/x"));
    EXPECT_THROW(job.start(server.url("/x")), platform::RuntimeError);
    EXPECT_TRUE(waitFor([&] { return !completions.isEmpty(); }));
    EXPECT_EQ(completions.size(), 1);
}

TEST_F(ReadService, CopiesALocalFileAndLeavesTheOriginal)
{
    QTemporaryDir source;
    const QString original = source.filePath("product.bin");
    QFile f(original);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(HttpTestServer::pattern(0, 70000));
    f.close();

    const AsyncProperty done = read(QUrl::fromLocalFile(original).toString());

    EXPECT_NE(done.Value(), original);
    EXPECT_EQ(testsupport::readBytes(done.Value()), HttpTestServer::pattern(0, 70000));
    EXPECT_TRUE(QFileInfo::exists(original));

    // A device or a folder is no file: never an empty download (nor, for a
    // FIFO, a wait without end, or for /dev/zero, a full disk).
    QStringList notFiles{source.path()};
#ifndef _WIN32
    notFiles << QStringLiteral("/dev/null");
#endif
    for (const QString &path : std::as_const(notFiles))
        EXPECT_EQ(failureOf(read(QUrl::fromLocalFile(path).toString())).toStdString(),
                  ("Not a regular file: " + path).toStdString());
}

TEST_F(ReadService, ReadsOfOneAddressAtOnceEachGetAFileOfTheirOwn)
{
    HttpResponse response = HttpResponse::generated(300000);
    response.holdAt = {1000};
    response.etag = "\"same\"";
    server.serve("/same.exe", response);
    // The server holds every answer with a body until all three reads are under way.
    int held = 0;
    QObject::connect(&server, &HttpTestServer::held, [&] {
        if (++held == 3)
            server.resume();
    });
    QTemporaryDir elsewhere;
    int moved = 0;
    // Three fetch the file, then two are answered 304 at once; every caller
    // moves its file away.
    for (const int count : {3, 2}) {
        std::vector<std::unique_ptr<AsyncRead>> jobs;
        QList<AsyncProperty> done;
        for (int i = 0; i < count; ++i) {
            jobs.push_back(std::make_unique<AsyncRead>());
            jobs.back()->setCacheFolder(cache.path());
            QObject::connect(jobs.back().get(), &AsyncRead::completed, [&](const AsyncProperty &p) { done << p; });
            jobs.back()->start(server.url("/same.exe"));
        }
        ASSERT_TRUE(waitFor([&] { return done.size() == count; }));
        QStringList paths;
        for (const AsyncProperty &p : done) {
            paths << p.Value();
            EXPECT_TRUE(QDir::fromNativeSeparators(p.Value()).endsWith("/same.exe"));
            EXPECT_EQ(testsupport::readBytes(p.Value()), HttpTestServer::pattern(0, 300000));
            EXPECT_TRUE(QFile::rename(p.Value(), elsewhere.filePath(QString::number(moved++))));
        }
        paths.removeDuplicates();
        EXPECT_EQ(paths.size(), count);
    }
    EXPECT_EQ(server.requests().last().header("If-None-Match"), "\"same\"");
    EXPECT_EQ(server.hits("/same.exe"), 5);
}

TEST_F(ReadService, HttpsIsCheckedAgainstTheAuthoritiesAndNeverRedirectsToHttp)
{
    HttpTestServer secure(HttpTestServer::Scheme::Https);
    secure.serve("/tarnwick.exe", HttpResponse::generated(70000));
    secure.serve("/downgrade", HttpResponse::redirect(server.url("/tarnwick.exe").toLatin1()));
    server.serve("/tarnwick.exe", HttpResponse::generated(70000));

    // The test authority is not in the system's store.
    EXPECT_TRUE(failureOf(read(secure.url("/tarnwick.exe"))).contains("certificate")) << qPrintable(failureOf(completions.value(0)));

    job.setCertificateAuthorities(secure.certificateAuthorities());
    EXPECT_EQ(testsupport::readBytes(read(secure.url("/tarnwick.exe")).Value()), HttpTestServer::pattern(0, 70000));
    EXPECT_EQ(failureOf(read(secure.url("/downgrade"))), "Refused a redirect from https to http");
    // Every hop: http to https is fine, and from there back to http is not.
    server.serve("/upgrade", HttpResponse::redirect(secure.url("/downgrade").toLatin1()));
    EXPECT_EQ(failureOf(read(server.url("/upgrade"))), "Refused a redirect from https to http");
    EXPECT_EQ(server.hits("/tarnwick.exe"), 0);
}

TEST_F(ReadService, TheProxyOfTheEnvironmentServesOtherHostsButNeverLoopback)
{
    server.serve("http://tarnwick.invalid/pkg/tarnwick.exe", HttpResponse::ok("through the proxy"));
    server.serve("/direct", HttpResponse::ok("direct"));
    const QByteArray saved = qgetenv("http_proxy");
    qputenv("http_proxy", server.url("").toLatin1());

    const AsyncProperty proxied = read("http://tarnwick.invalid/pkg/tarnwick.exe");
    const QByteArray proxiedTarget = server.requests().value(0).target;
    const AsyncProperty direct = read(server.url("/direct"));
    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);

    EXPECT_EQ(testsupport::readBytes(proxied.Value()), "through the proxy");
    EXPECT_EQ(proxiedTarget, "http://tarnwick.invalid/pkg/tarnwick.exe");
    EXPECT_EQ(testsupport::readBytes(direct.Value()), "direct");
    EXPECT_EQ(server.requests().last().target, "/direct");
}

} // namespace
