// The head of an HTTP answer, line by line, and the verdict on it for each
// kind of request the read service makes.
#include "fuzz/fuzzsupport.h"
#include "platform/read/internal/headverdict.h"

using platform::HeadVerdict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    platform::ResponseHead head;
    for (const QByteArray &line : fuzzsupport::inputOf(data, size).split('\n'))
        head.addLine(line);
    for (const char c : platform::resumeValidator(head))
        fuzzsupport::mustHold(uchar(c) >= 0x20 && uchar(c) != 0x7f, "a validator sent back holds no control character");

    // One plain number as the length: what the check below needs, without
    // repeating the verdict's own reading of lists and repeats.
    bool plainLength = !head.chunked && head.contentLengths.size() == 1;
    const qint64 length = plainLength ? head.contentLengths.first().toLongLong(&plainLength) : -1;
    for (const qint64 asked : {qint64(-1), qint64(0), qint64(5000)}) {
        for (const bool conditional : {false, true}) {
            const HeadVerdict verdict = platform::judgeHead(head, asked, conditional);
            if (verdict.action != HeadVerdict::Action::Body)
                continue;
            fuzzsupport::mustHold(verdict.start == 0 || verdict.start == asked, "a body starts where it was asked to");
            fuzzsupport::mustHold(verdict.total < 0 || verdict.total >= verdict.start,
                                  "a file ends after its body starts");
            // A body judged complete at its announced length reaches the file's end.
            if (plainLength && verdict.total >= 0)
                fuzzsupport::mustHold(verdict.start + length == verdict.total, "the body runs to the file's end");
        }
    }
    return 0;
}
