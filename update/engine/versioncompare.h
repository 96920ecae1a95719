#pragma once

#include <QString>

// Orders two version texts: negative when a is older than b, 0 when they are
// the same text, positive when a is newer. Runs of ASCII digits compare as
// numbers ("1.10" after "1.9", "10.0" after "2.0"); everything else by
// character code, case-sensitive, untrimmed, and a text sorts after every
// text it extends. Texts whose numbers are all equal but that differ
// ("1.01", "1.1") are ordered by their character codes.
int compareVersions(const QString &a, const QString &b);
