#include "form1.h"
#include "formdescription.h"
#include "programresources.h"

#include "platform/desktop/messagebox.h"
#include "platform/system/process.h"
#include "platform/core/runtimeerror.h"

#include "platform/desktop/display.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <cstdio>
#include <cstdlib>

namespace {

// The status when no window can be opened.
constexpr int kNoDisplay = 3;

// How a user registers the control library on this platform: on Linux the
// library installed with this program (bin/ and lib/ of one prefix), or in
// a build, the one built with it.
QString registrationCommand()
{
#ifdef _WIN32
    return QStringLiteral("regsvr32 Update.dll");
#else
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" TARNWICK_LIBRARY_FROM_PROGRAM));
    const QString built = QStringLiteral(TARNWICK_BUILT_LIBRARY);
    return QStringLiteral("regsvr ") + (QFileInfo::exists(installed) || !QFileInfo::exists(built) ? installed : built);
#endif
}

FormDescription storedForm()
{
    QFile file(QStringLiteral(":/updater/form1.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw platform::RuntimeError(platform::ErrFileNotFound, QStringLiteral("The window description is missing"));
    FormDescription form = FormDescription::fromJson(file.readAll());
    Form1::requireSignature(form, QStringLiteral(TARNWICK_PUBLIC_KEY));
    return form;
}

} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QApplication> app = platform::openApplication(argc, argv, "TarnwickUpdate", kNoDisplay);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setWindowIcon(programIcon());
    // The window's label asks for Candara; Carlito is the free face nearest
    // to it in shape and width, so the text fits the label as designed.
    QFont::insertSubstitution(QStringLiteral("Candara"), QStringLiteral("Carlito"));

    std::unique_ptr<Form1> form;
    try {
        form = std::make_unique<Form1>(storedForm(), QStringLiteral(TARNWICK_DOWNLOAD_URL));
    } catch (const platform::RuntimeError &e) {
        const QString message = QStringLiteral("TarnwickUpdate can't open its window: %1\n\n"
                                               "Register the control library first: %2")
                                    .arg(e.description(), registrationCommand());
        std::fprintf(stderr, "%s\n", qPrintable(message));
        platform::messageBox(nullptr, platform::process::applicationTitle(), message, platform::MsgButtons::Ok,
                             platform::MsgIcon::Critical);
        return 2;
    }
    // Ending the program ends it at once: nothing more runs, not even a
    // download still in progress.
    QObject::connect(form.get(), &Form1::finished, [](int exitCode) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    });
    form->show();
    return QApplication::exec();
}
