#pragma once

#include "platform/read/internal/responsehead.h"

#include <QString>
#include <QtGlobal>

namespace platform {

// What a read does with an answer once its head has come.
struct HeadVerdict {
    enum class Action {
        Redirect,    // follow the Location
        NotModified, // the cached copy is current
        Body,        // the body is the file, from start on
        Refuse,      // the answer can't be used: refusal says why
    };
    Action action = Action::Refuse;
    // Body: the file offset the body starts at (0 starts the file over) and
    // the file's whole size, -1 when it is not known.
    qint64 start = 0;
    qint64 total = -1;
    QString refusal;
};

// Judges the head of an answer strictly. asked is the byte the request
// asked to start from with a Range, or -1 when it asked for the whole file;
// conditional tells whether it carried the validators of a cached copy.
// A 206 counts only in answer to a Range and only when it starts at asked;
// a 204, differing lengths and any status outside 2xx are refused.
HeadVerdict judgeHead(const ResponseHead &head, qint64 asked, bool conditional);

// The validator to send with If-Range when a transfer from this answer has
// to be resumed: its strong ETag, else its Last-Modified. Empty when the
// server offers no byte ranges or no validator, so it can't be resumed.
QByteArray resumeValidator(const ResponseHead &head);

} // namespace platform
