#include "platform/read/internal/headverdict.h"

#include <gtest/gtest.h>

using platform::HeadVerdict;
using platform::ResponseHead;
using Action = HeadVerdict::Action;

namespace {

ResponseHead headOf(const QList<QByteArray> &lines)
{
    ResponseHead head;
    for (const QByteArray &line : lines)
        head.addLine(line + "\r\n");
    return head;
}

TEST(HeadVerdict, OnlyACompleteAnswerToWhatWasAskedIsTheFile)
{
    struct Case {
        QList<QByteArray> head;
        qint64 asked;
        bool conditional;
        Action action;
        qint64 start;
        qint64 total;
        const char *refusal;
    };
    const QList<Case> cases = {
        {{"HTTP/1.1 100 Continue", "HTTP/1.1 200 OK", "Content-Length: 10"}, -1, false, Action::Body, 0, 10, ""},
        {{"HTTP/1.1 200 OK", "Content-Length: 10", "content-length: 1000"}, -1, false, Action::Refuse, 0, -1,
         "The server announced two different lengths (10 and 1000)"},
        {{"HTTP/1.1 200 OK", "Content-Length: 10, 10"}, -1, false, Action::Body, 0, 10, ""},
        {{"HTTP/1.1 200 OK", "Content-Length: ten"}, -1, false, Action::Refuse, 0, -1,
         "The server announced an invalid length (ten)"},
        {{"HTTP/1.1 200 OK", "Transfer-Encoding: chunked", "Content-Length: 10"}, -1, false, Action::Body, 0, -1, ""},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 0-99/200028"}, -1, false, Action::Refuse, 0, -1,
         "The server sent part of the file (206 Partial Content) when the whole file was asked for"},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-9999/10000"}, 5000, false, Action::Body, 5000,
         10000, ""},
        {{"HTTP/1.1 206 Partial Content", "content-range: Bytes 5000-9999/10000"}, 5000, false, Action::Body, 5000,
         10000, ""},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5010-9999/10000"}, 5000, false, Action::Refuse, 0, -1,
         "The server resumed at byte 5010 instead of 5000"},
        {{"HTTP/1.1 206 Partial Content", "Content-Length: 5000"}, 5000, false, Action::Refuse, 0, -1,
         "The server sent part of the file without a valid Content-Range ()"},
        // Sizes past 64 bits are no sizes at all.
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-9999/*", "Content-Length: 9223372036854775807"},
         5000, false, Action::Refuse, 0, -1,
         "The server announced 9223372036854775807 bytes for a part of 5000 (bytes 5000-9999/*)"},
        // A part's range, length and total agree, or it is no part of the file.
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-9999/*"}, 5000, false, Action::Body, 5000, 10000,
         ""},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-9999/10000", "Content-Length: 4000"}, 5000, false,
         Action::Refuse, 0, -1, "The server announced 4000 bytes for a part of 5000 (bytes 5000-9999/10000)"},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-5100/100"}, 5000, false, Action::Refuse, 0, -1,
         "The server sent part of the file without a valid Content-Range (bytes 5000-5100/100)"},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-4000/10000"}, 5000, false, Action::Refuse, 0, -1,
         "The server sent part of the file without a valid Content-Range (bytes 5000-4000/10000)"},
        {{"HTTP/1.1 206 Partial Content", "Content-Range: bytes 5000-9999/99999999999999999999"}, 5000, false,
         Action::Refuse, 0, -1,
         "The server sent part of the file without a valid Content-Range (bytes 5000-9999/99999999999999999999)"},
        {{"HTTP/1.1 200 OK", "Content-Length: 10000"}, 5000, false, Action::Body, 0, 10000, ""},
        {{"HTTP/1.1 204 No Content"}, -1, false, Action::Refuse, 0, -1, "The server sent no file (204 No Content)"},
        {{"HTTP/1.1 304 Not Modified"}, -1, true, Action::NotModified, 0, -1, ""},
        {{"HTTP/1.1 304 Not Modified"}, -1, false, Action::Refuse, 0, -1, "The server answered 304 Not Modified"},
        {{"HTTP/1.1 307 Temporary Redirect", "Location: /x"}, -1, false, Action::Redirect, 0, -1, ""},
        {{"HTTP/1.1 300 Multiple Choices", "Location: /x"}, -1, false, Action::Refuse, 0, -1,
         "The server answered 300 Multiple Choices"},
        {{"HTTP/2 404"}, -1, false, Action::Refuse, 0, -1, "The server answered 404"},
    };
    for (const Case &c : cases) {
        const HeadVerdict verdict = platform::judgeHead(headOf(c.head), c.asked, c.conditional);
        const std::string row = c.head.join(" | ").toStdString();
        EXPECT_EQ(verdict.action, c.action) << row;
        EXPECT_EQ(verdict.refusal.toStdString(), c.refusal) << row;
        if (c.action == Action::Body) {
            EXPECT_EQ(verdict.start, c.start) << row;
            EXPECT_EQ(verdict.total, c.total) << row;
        }
    }
}

TEST(HeadVerdict, AResumptionNeedsByteRangesAndAStrongValidator)
{
    const QByteArray date = "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT";
    EXPECT_EQ(platform::resumeValidator(headOf({"HTTP/1.1 200 OK", "Accept-Ranges: bytes", "ETag: \"v1\"", date})),
              "\"v1\"");
    EXPECT_EQ(platform::resumeValidator(headOf({"HTTP/1.1 200 OK", "Accept-Ranges: bytes", "ETag: W/\"v1\"", date})),
              "Tue, 01 Dec 2026 10:00:00 GMT");
    EXPECT_EQ(platform::resumeValidator(headOf({"HTTP/1.1 200 OK", "Accept-Ranges: none", "ETag: \"v1\""})), "");
    EXPECT_EQ(platform::resumeValidator(headOf({"HTTP/1.1 200 OK", "Accept-Ranges: bytes"})), "");
}

} // namespace
