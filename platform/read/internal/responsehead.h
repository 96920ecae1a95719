#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace platform {

// The head of an HTTP answer, gathered line by line as it comes.
struct ResponseHead {
    int status = 0;
    QByteArray reason;
    // Every Content-Length value in order; a list in one field counts as several.
    QList<QByteArray> contentLengths;
    bool chunked = false;
    QByteArray contentType;
    QByteArray contentRange;
    QByteArray location;
    // The validators, empty when absent or holding a control character
    // (they go back to the server in later requests).
    QByteArray etag;
    QByteArray lastModified;
    bool acceptsRanges = false;

    // Takes one line of the head, with or without its line end. A status
    // line starts the head over, so an interim answer (1xx) leaves nothing.
    void addLine(QByteArrayView line);
};

} // namespace platform
