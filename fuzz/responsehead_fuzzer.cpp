// The head of an HTTP answer, line by line, and the verdict on it for each
// kind of request the read service makes.
#include "fuzz/fuzzsupport.h"
#include "platform/read/internal/headverdict.h"

using platform::HeadVerdict;

namespace {

// The one length the head announces, when its values agree and are numbers.
std::optional<qint64> announcedLength(const platform::ResponseHead &head)
{
    std::optional<qint64> length;
    for (const QByteArray &text : head.contentLengths) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < 0 || (length && *length != value))
            return std::nullopt;
        length = value;
    }
    return length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    platform::ResponseHead head;
    for (const QByteArray &line : fuzzsupport::inputOf(data, size).split('\n'))
        head.addLine(line);
    for (const char c : platform::resumeValidator(head))
        fuzzsupport::mustHold(uchar(c) >= 0x20 && uchar(c) != 0x7f, "a validator sent back holds no control character");

    const std::optional<qint64> length = head.chunked ? std::nullopt : announcedLength(head);
    for (const qint64 asked : {qint64(-1), qint64(0), qint64(5000)}) {
        for (const bool conditional : {false, true}) {
            const HeadVerdict verdict = platform::judgeHead(head, asked, conditional);
            if (verdict.action != HeadVerdict::Action::Body)
                continue;
            fuzzsupport::mustHold(verdict.start == 0 || verdict.start == asked, "a body starts where it was asked to");
            fuzzsupport::mustHold(verdict.total < 0 || verdict.total >= verdict.start,
                                  "a file ends after its body starts");
            // A body judged complete at its announced length reaches the file's end.
            if (length && verdict.total >= 0)
                fuzzsupport::mustHold(verdict.start + *length == verdict.total, "the body runs to the file's end");
        }
    }
    return 0;
}
