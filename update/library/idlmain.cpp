// Writes the IDL listing of the library's type table to the file named by
// the only argument.

#include "platform/com/idlwriter.h"
#include "update/library/typelibrary.h"

#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.idl\n", argv[0]);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    out.write(platform::com::idlListing(qvWebUpdate::typeLibrary()).toUtf8());
    return out.error() == QFile::NoError ? 0 : 1;
}
