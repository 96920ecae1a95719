#pragma once

#include "platform/core/runtimeerror.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform {

// The URL binding status codes with which the read service reports a read.
enum AsyncStatusCode : int {
    AsyncStatusCodeError = 0,
    AsyncStatusCodeFindingResource = 1,
    AsyncStatusCodeConnecting = 2,
    AsyncStatusCodeRedirecting = 3,
    AsyncStatusCodeBeginDownloadData = 4,
    AsyncStatusCodeDownloadingData = 5,
    AsyncStatusCodeEndDownloadData = 6,
    AsyncStatusCodeUsingCachedCopy = 10,
    AsyncStatusCodeSendingRequest = 11,
    AsyncStatusCodeMIMETypeAvailable = 13,
    AsyncStatusCodeCacheFileNameAvailable = 14,
};

// One notification of the read service: the figures of the read so far and,
// at completion, the local file that holds the data or the failure.
struct AsyncProperty {
    qint64 BytesRead = 0;
    // Total bytes expected; 0 while the total is not known.
    qint64 BytesMax = 0;
    int StatusCode = AsyncStatusCodeError;
    // What a user would want to read with the code: the address, the MIME
    // type or the local path.
    QString Status;

    // Completion only: the full path of the local file holding the data.
    // Raises the read's failure when it failed, and error 5 before the end.
    QString Value() const;

    // Set by the service at completion: exactly one of the two.
    QString localFile;
    std::optional<RuntimeError> failure;
};

} // namespace platform
