// Update.dll with clients nobody here wrote, on Windows' own COM under
// Wine: regsvr32 registers and unregisters it, and VBScript run by cscript
// drives both controls by name. Wine 8's script host connects no events
// (WScript.ConnectObject isn't there), so StatusChange is received the way
// it connects: the source interface from IProvideClassInfo2, IConnectionPoint,
// and the members' names from the type information.

#include "platform/com/core/automation.h"
#include "platform/com/core/comptr.h"
#include "platform/com/host/creation.h"
#include "platform/com/host/eventsink.h"
#include "tests/support/httptestserver.h"
#include "tests/support/waitfor.h"
#include "update/library/typelibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <windows.h>

using namespace platform::com;
using testsupport::HttpResponse;

namespace {

const QString kClasses = QStringLiteral("Software\\Classes\\");

// A file of the build's program folder, as Windows writes its path.
QString built(const QString &name)
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Finished {
    int exitCode = -1;
    QStringList lines;
};

// Runs a program to its end while this process's events (its test server)
// go on; meanwhile() is called every few milliseconds. The program runs as
// a user runs it, on the display, not on this test's offscreen platform.
Finished runProgram(const QString &program, const QStringList &arguments,
                    const std::function<void()> &meanwhile = [] {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Finished result;
    const auto ended = [&] {
        meanwhile();
        return process.state() == QProcess::NotRunning;
    };
    if (!testsupport::poll(ended, 120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.lines = QString::fromLocal8Bit(process.readAll()).split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    return result;
}

// A text value of the current user's registry; null when there is none.
QString userValue(const QString &key, const QString &name = QString())
{
    wchar_t data[1024];
    DWORD size = sizeof data;
    const std::wstring valueName = name.toStdWString();
    if (RegGetValueW(HKEY_CURRENT_USER, key.toStdWString().c_str(), name.isEmpty() ? nullptr : valueName.c_str(),
                     RRF_RT_REG_SZ, nullptr, data, &size)
        != ERROR_SUCCESS)
        return QString();
    return QString::fromWCharArray(data);
}

// Where the registry says the type library lies; null when it isn't registered.
QString registeredTypeLibrary()
{
    const TypeLibraryInfo &lib = qvWebUpdate::typeLibrary();
    BSTR path = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(lib.libid, WORD(lib.majorVersion), WORD(lib.minorVersion), lib.lcid, &path)))
        return QString();
    const QString result = qstringFromBstr(path);
    SysFreeString(path);
    return result;
}

// A text of the library's version resource (its US English, Unicode block).
QString versionText(const QByteArray &resource, const QString &name)
{
    const std::wstring query = (QStringLiteral("\\StringFileInfo\\040904B0\\") + name).toStdWString();
    void *text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(resource.constData(), query.c_str(), &text, &length))
        return QString();
    return QString::fromWCharArray(static_cast<const wchar_t *>(text));
}

// A member got, put or called by name, as a late-bound client does.
DISPID dispidOf(IDispatch *object, const QString &name)
{
    std::wstring text = name.toStdWString();
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << qPrintable(name);
    return id;
}

class WindowsClients : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(runProgram("regsvr32", {"/s", dll}).exitCode, 0);
    }
    void TearDown() override { runProgram("regsvr32", {"/u", "/s", dll}); }

    const QString dll = built("Update.dll");
    testsupport::HttpTestServer server;
};

} // namespace

TEST_F(WindowsClients, Regsvr32RegistersForTheUserAndUnregistersExactlyThat)
{
    const TypeLibraryInfo &lib = qvWebUpdate::typeLibrary();
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
        const QString key = kClasses + QStringLiteral("CLSID\\") + guidToString(cls->clsid);
        EXPECT_EQ(userValue(key + "\\InprocServer32").toLower(), dll.toLower()) << cls->name;
        EXPECT_EQ(userValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
        EXPECT_EQ(userValue(key + "\\ProgID"), cls->progId);
        EXPECT_EQ(userValue(key + "\\Control"), "") << "present, and empty";
        EXPECT_EQ(userValue(key + "\\ToolboxBitmap32").toLower(),
                  dll.toLower() + ", " + QString::number(toolboxBitmapResource(lib, *cls)));
        EXPECT_EQ(userValue(key + "\\MiscStatus"), "131473");
        EXPECT_EQ(userValue(key + "\\TypeLib"), "{8CBBE234-A5F0-4D48-AD0A-DCB8DCE575BA}");
        EXPECT_EQ(userValue(key + "\\Version"), "1.0");
        EXPECT_EQ(userValue(kClasses + cls->progId + "\\CLSID"), guidToString(cls->clsid));
    }
    EXPECT_EQ(registeredTypeLibrary().toLower(), dll.toLower());

    ASSERT_EQ(runProgram("regsvr32", {"/u", "/s", dll}).exitCode, 0);
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
        EXPECT_TRUE(userValue(kClasses + QStringLiteral("CLSID\\") + guidToString(cls->clsid)).isNull());
        EXPECT_TRUE(userValue(kClasses + cls->progId).isNull());
    }
    EXPECT_TRUE(registeredTypeLibrary().isNull());
}

TEST_F(WindowsClients, TheLibraryCarriesItsVersionAndItsTypeLibrary)
{
    const std::wstring file = dll.toStdWString();
    QByteArray resource(int(GetFileVersionInfoSizeW(file.c_str(), nullptr)), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, DWORD(resource.size()), resource.data()));
    EXPECT_EQ(versionText(resource, "FileDescription"), "Software Download Manager");
    EXPECT_EQ(versionText(resource, "InternalName"), "Update");
    EXPECT_EQ(versionText(resource, "FileVersion"), "1.0.0.0");
    EXPECT_EQ(versionText(resource, "OLESelfRegister"), "") << "present, and empty";

    ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(LoadTypeLibEx(file.c_str(), REGKIND_NONE, typeLib.put()), S_OK);
    EXPECT_EQ(typeLib->GetTypeInfoCount(), 10u) << "two classes, four interfaces and four enumerations, once each";
    BSTR name = nullptr;
    ASSERT_EQ(typeLib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(qstringFromBstr(name), "qvWebUpdate");
    SysFreeString(name);
}

TEST_F(WindowsClients, AScriptRunsAnUpdateThatPlacesTheProductAndWritesTheLog)
{
    const QByteArray product = contentOf(built("tarnwick-2.0.exe"));
    server.serve("/local/tarnwick.exe", HttpResponse::ok(product));
    QTemporaryDir app;
    ASSERT_TRUE(QFile::copy(built("tarnwick-1.0.exe"), app.filePath("tarnwick.exe")));
    const QString folder = QDir::toNativeSeparators(app.path()) + QLatin1Char('\\');
    const QString address = server.url("/local/tarnwick.exe");

    const Finished run =
        runProgram("cscript", {"//nologo", built("scripts\\update.vbs"), address, folder, folder + "update.log"});

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList({"DownloadFile=" + address, "ConfirmDownload=False", "RunUpdate returned"}));
    EXPECT_EQ(contentOf(app.filePath("tarnwick.exe")), product);
    const QStringList log = QString::fromUtf8(contentOf(app.filePath("update.log"))).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GE(log.size(), 4) << qPrintable(log.join('\n'));
    EXPECT_TRUE(log.first().endsWith("  Download process started"));
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const QString &line) {
        return line.endsWith("  File moved to " + folder + "tarnwick.exe");
    })) << qPrintable(log.join('\n'));
    EXPECT_TRUE(log.at(log.size() - 2).endsWith("  Download Complete"));
    EXPECT_TRUE(log.last().endsWith("  Download process completed"));
}

TEST_F(WindowsClients, AScriptGetsAndSetsEveryProgressBarPropertyByName)
{
    const QStringList defaults = {
        "ReverseGradient=False", "Horizontal=True",      "Alignment=2",      "GradientColour=0",
        "MarginSize=2",          "BorderStyle=1",        "BackColour=0",     "FontColour=16777215",
        "BarColour=16776960",    "Max=100",              "Min=0",            "Value=0",
        "DotWidth=3",            "GapWidth=2",           "CaptionType=1",
    };
    const QStringList set = {
        "ReverseGradient=True", "Horizontal=False",   "Alignment=1", "GradientColour=3",  "MarginSize=4",
        "BorderStyle=0",        "BackColour=1056816", "FontColour=4214880", "BarColour=7372944", "Max=200",
        "Min=10",               "Value=150",          "DotWidth=5",  "GapWidth=1",        "CaptionType=3",
    };
    const Finished run = runProgram("cscript", {"//nologo", built("scripts\\progressbar.vbs")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, defaults + QStringList{"--"} + set + QStringList{"Caption read: error 438"});
}

TEST_F(WindowsClients, AControlAScriptMadeWithoutAContainerStillShowsItsMessageBoxes)
{
    // Nothing to download: the control says so in a box titled qvWebUpdate.
    int boxes = 0;
    const Finished run = runProgram("cscript", {"//nologo", built("scripts\\nothingtodownload.vbs")}, [&] {
        if (HWND box = FindWindowW(nullptr, L"qvWebUpdate")) {
            ++boxes;
            PostMessageW(box, WM_CLOSE, 0, 0);
        }
    });
    EXPECT_GE(boxes, 1);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"RunUpdate returned"});
}

TEST_F(WindowsClients, StatusChangeReachesASinkConnectedTheWayAScriptHostConnects)
{
    server.serve("/local/version.txt", HttpResponse::ok("2.0\r\n", "text/plain"));
    server.serve("/local/tarnwick.exe", HttpResponse::ok(contentOf(built("tarnwick-2.0.exe"))));
    QTemporaryDir app;

    ComPtr<IDispatch> web;
    ASSERT_EQ(createInstanceByProgId("qvWebUpdate.ctlWebUpdate", IID_IDispatch, web.putVoid()), S_OK);
    // The event interface, as the script host finds it.
    const auto classInfo = web.as<IProvideClassInfo2>(IID_IProvideClassInfo2);
    ASSERT_TRUE(classInfo);
    GUID source{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
    ComPtr<ITypeInfo> events;
    for (UINT i = 0; !events; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK) << "the class names a default source";
        const bool defaultSource = flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
        if (defaultSource && SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref)))
            coclass->GetRefTypeInfo(ref, events.put());
    }
    TYPEATTR *attributes = nullptr;
    ASSERT_EQ(events->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(attributes->guid == source);
    events->ReleaseTypeAttr(attributes);

    QStringList seen;
    const auto sink = ComPtr<EventSink>::adopt(EventSink::create(source, [&](DISPID id, DISPPARAMS &params) {
        BSTR name = nullptr;
        UINT count = 0;
        events->GetNames(id, &name, 1, &count);
        seen << qstringFromBstr(name) + ": " + toPlatformVariant(params.rgvarg[0]).toString();
        SysFreeString(name);
    }));
    ASSERT_EQ(sink->connect(web.get()), S_OK);
    putProperty(web.get(), dispidOf(web.get(), "DownloadVersionFile"), server.url("/local/version.txt"));
    putProperty(web.get(), dispidOf(web.get(), "currentversion"), QString("1.0"));
    putProperty(web.get(), dispidOf(web.get(), "DownloadFile"), server.url("/local/tarnwick.exe"));
    putProperty(web.get(), dispidOf(web.get(), "DownloadLocation"), QDir::toNativeSeparators(app.path()) + "\\");
    putProperty(web.get(), dispidOf(web.get(), "ConfirmDownload"), false);
    callMethod(web.get(), dispidOf(web.get(), "RunUpdate"));
    sink->disconnect();

    EXPECT_EQ(seen, QStringList({"StatusChange: Newer version found", "StatusChange: Download Complete"}));
    EXPECT_TRUE(QFile::exists(app.filePath("tarnwick.exe")));
}
