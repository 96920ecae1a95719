// A host of the update control, built against the installed kit alone:
//   updatehost DOWNLOAD_FILE DOWNLOAD_LOCATION [LOG_FILE]
// creates ctlWebUpdate by its ProgID, prints every StatusChange and runs one
// update. Exit status 0 when the run placed the file, 1 when it didn't, 2 for
// wrong arguments or a control that can't be created.
#include "platform/com/core/automation.h"
#include "platform/com/core/bstr.h"
#include "platform/com/host/hostedcontrol.h"
#include "update/published/dispids.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>

using namespace platform::com;
namespace id = qvWebUpdate::ctlWebUpdateId;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: updatehost DOWNLOAD_FILE DOWNLOAD_LOCATION [LOG_FILE]\n");
        return 2;
    }
    QWidget window;
    try {
        HostedControl web = HostedControl::create(QStringLiteral("qvWebUpdate.ctlWebUpdate"), &window,
                                                  /*userMode*/ true, nullptr);
        web.widget()->setGeometry(10, 10, 249, 57);
        auto sink = ComPtr<EventSink>::adopt(web.adviseEvents([](DISPID event, DISPPARAMS &params) {
            if (event == id::StatusChange && params.cArgs == 1)
                std::printf("StatusChange: %s\n", qPrintable(qstringFromBstr(*params.rgvarg[0].pbstrVal)));
        }));
        putProperty(web.dispatch(), id::DownloadFile, args[1]);
        putProperty(web.dispatch(), id::DownloadLocation, args[2]);
        if (args.size() == 4)
            putProperty(web.dispatch(), id::LogFilename, args[3]);
        window.show();
        callMethod(web.dispatch(), id::RunUpdate);
    } catch (const platform::RuntimeError &e) {
        std::fprintf(stderr, "updatehost: %s\n", qPrintable(e.description()));
        return 2;
    }
    const QString placed = args[2] + QFileInfo(args[1]).fileName();
    return QFileInfo(placed).isFile() ? 0 : 1;
}
