#pragma once

#include <QString>

// The last component of a path or address: what follows the last '\' or
// '/', whichever comes later; the whole text when it has neither. The name
// never carries a separator.
QString FileNameFromPath(const QString &path);

// Where the downloaded file goes. A location ending in the folder separator
// ('/'; on Windows '\' or '/') is a folder and gets the file name appended;
// so does one that names something that exists (locationExists), with the
// platform's separator between; any other location is the full path of the
// file itself.
QString destinationPath(const QString &location, const QString &fileName, bool locationExists);
