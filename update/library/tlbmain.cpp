// Windows only: writes the library's binary type library, made from its
// type table, to the file named by the argument. It runs during the build
// (under Wine when cross-compiling), before Update.dll embeds the file.

#include "platform/com/typelib/typelibwriter.h"
#include "update/library/typelibrary.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.tlb\n", argv[0]);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    QString step;
    const HRESULT result =
        platform::com::writeTypeLibrary(qvWebUpdate::typeLibrary(), QString::fromLocal8Bit(argv[1]), &step);
    if (FAILED(result)) {
        std::fprintf(stderr, "%s: failed %s (0x%08lx)\n", argv[1], qPrintable(step), result);
        return 1;
    }
    return 0;
}
