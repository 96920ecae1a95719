#include "platform/read/internal/responsehead.h"

#include <algorithm>

namespace platform {

namespace {

bool isStatusLine(QByteArrayView line)
{
    return line.startsWith("HTTP/");
}

// A validator goes back to the server in later requests' headers: one with
// a control character (a CR would end that header and start another) is
// not kept.
QByteArray validator(const QByteArray &value)
{
    const bool clean = std::none_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    return clean ? value : QByteArray();
}

} // namespace

void ResponseHead::addLine(QByteArrayView line)
{
    line = line.trimmed();
    if (isStatusLine(line)) {
        *this = ResponseHead();
        // "HTTP/1.1 404 Not Found"; HTTP/2 has no reason phrase.
        const QByteArray text = line.toByteArray();
        const qsizetype codeStart = text.indexOf(' ') + 1;
        const qsizetype codeEnd = codeStart > 0 ? text.indexOf(' ', codeStart) : -1;
        status = text.mid(codeStart, codeEnd < 0 ? -1 : codeEnd - codeStart).toInt();
        reason = codeEnd < 0 ? QByteArray() : text.mid(codeEnd + 1).trimmed();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = line.first(colon).trimmed().toByteArray().toLower();
    const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
    if (name == "content-length") {
        for (const QByteArray &item : value.split(','))
            contentLengths.append(item.trimmed());
    } else if (name == "transfer-encoding") {
        chunked = value.toLower().contains("chunked");
    } else if (name == "content-type") {
        contentType = value;
    } else if (name == "content-range") {
        contentRange = value;
    } else if (name == "location") {
        location = value;
    } else if (name == "etag") {
        etag = validator(value);
    } else if (name == "last-modified") {
        lastModified = validator(value);
    } else if (name == "accept-ranges") {
        for (const QByteArray &unit : value.split(','))
            acceptsRanges = acceptsRanges || unit.trimmed().toLower() == "bytes";
    }
}

} // namespace platform
