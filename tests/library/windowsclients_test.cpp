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
#include "tests/support/filecontent.h"
#include "tests/support/httptestserver.h"
#include "tests/support/windowsprograms.h"
#include "update/library/typelibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <windows.h>

using namespace platform::com;
using testsupport::builtFile;
using testsupport::HttpResponse;
using testsupport::regsvr32;
using testsupport::runWindowsProgram;

namespace {

// A text value of the registry; null when there is none.
QString registryValue(HKEY root, const QString &key, const QString &name = QString())
{
    wchar_t data[1024];
    DWORD size = sizeof data;
    const std::wstring valueName = name.toStdWString();
    if (RegGetValueW(root, key.toStdWString().c_str(), name.isEmpty() ? nullptr : valueName.c_str(), RRF_RT_REG_SZ,
                     nullptr, data, &size)
        != ERROR_SUCCESS)
        return QString();
    return QString::fromWCharArray(data);
}

bool keyExists(HKEY root, const QString &key)
{
    HKEY found = nullptr;
    if (RegOpenKeyExW(root, key.toStdWString().c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS)
        return false;
    RegCloseKey(found);
    return true;
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
        ASSERT_EQ(regsvr32({dll}), 0);
    }
    void TearDown() override { regsvr32({"/u", dll}); }

    const QString dll = builtFile("Update.dll");
    testsupport::HttpTestServer server;
};

// Where each way of registering writes: the classes, and the type library's
// key for this system.
struct Registration {
    const char *what;
    QStringList install;
    QStringList uninstall;
    HKEY root;
    HKEY otherRoot;
};

} // namespace

TEST(Registration, Regsvr32RegistersMachineWideOrPerUserAndUnregistersExactlyThat)
{
    const TypeLibraryInfo &lib = qvWebUpdate::typeLibrary();
    const QString dll = builtFile("Update.dll");
    const QString system = sizeof(void *) == 8 ? "win64" : "win32";
    const QString typeLibKey = "Software\\Classes\\TypeLib\\" + guidToString(lib.libid) + "\\1.0\\409\\" + system;
    const Registration registrations[] = {
        {"machine-wide", {dll}, {"/u", dll}, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER},
        {"per user", {"/n", "/i:user", dll}, {"/u", "/n", "/i:user", dll}, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE},
    };
    for (const Registration &r : registrations) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(regsvr32(r.install), 0);
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            const QString key = "Software\\Classes\\CLSID\\" + guidToString(cls->clsid);
            EXPECT_EQ(registryValue(r.root, key + "\\InprocServer32").toLower(), dll.toLower()) << cls->name;
            EXPECT_EQ(registryValue(r.root, key + "\\InprocServer32", "ThreadingModel"), "Apartment");
            EXPECT_EQ(registryValue(r.root, key + "\\ProgID"), cls->progId);
            EXPECT_EQ(registryValue(r.root, key + "\\Control"), "") << "present, and empty";
            EXPECT_EQ(registryValue(r.root, key + "\\ToolboxBitmap32").toLower(),
                      dll.toLower() + ", " + QString::number(toolboxBitmapResource(lib, *cls)));
            EXPECT_EQ(registryValue(r.root, key + "\\MiscStatus"), "131473");
            EXPECT_EQ(registryValue(r.root, key + "\\TypeLib"), "{8CBBE234-A5F0-4D48-AD0A-DCB8DCE575BA}");
            EXPECT_EQ(registryValue(r.root, key + "\\Version"), "1.0");
            EXPECT_EQ(registryValue(r.root, QString("Software\\Classes\\") + cls->progId + "\\CLSID"),
                      guidToString(cls->clsid));
            EXPECT_FALSE(keyExists(r.otherRoot, key)) << "nothing in the other scope";
        }
        EXPECT_EQ(registryValue(r.root, typeLibKey).toLower(), dll.toLower());
        EXPECT_FALSE(keyExists(r.otherRoot, typeLibKey));
        if (r.root == HKEY_LOCAL_MACHINE) {
            // Where every COM client looks a ProgID up.
            EXPECT_EQ(registryValue(HKEY_CLASSES_ROOT, "qvWebUpdate.ctlWebUpdate\\CLSID"),
                      guidToString(qvWebUpdate::ctlWebUpdateClass().clsid));
        }

        ASSERT_EQ(regsvr32(r.uninstall), 0);
        for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
            EXPECT_FALSE(keyExists(r.root, "Software\\Classes\\CLSID\\" + guidToString(cls->clsid)));
            EXPECT_FALSE(keyExists(r.root, QString("Software\\Classes\\") + cls->progId));
        }
        EXPECT_FALSE(keyExists(r.root, typeLibKey));
    }
    EXPECT_NE(regsvr32({"/n", "/i:everyone", dll}), 0) << "an unknown command line is refused";
}

TEST(Registration, AControlWhoseUserInterfaceCantStartIsACreationErrorTheHostHandles)
{
    // Update.dll with the DLLs it needs beside it: first without Qt's
    // platform plugin (Qt would end the script host), then with it.
    QTemporaryDir install;
    for (const QString &name : QDir(builtFile(QString())).entryList({"*.dll"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(builtFile(name), install.filePath(name))) << qPrintable(name);
    const QString dll = QDir::toNativeSeparators(install.filePath("Update.dll"));
    ASSERT_EQ(regsvr32({dll}), 0);
    const auto create = [] { return runWindowsProgram("cscript", {"//nologo", builtFile("scripts\\create.vbs")}); };
    const testsupport::WindowsProgramRun without = create();
    ASSERT_TRUE(QDir(install.path()).mkdir("platforms"));
    ASSERT_TRUE(QFile::copy(builtFile("platforms/qwindows.dll"), install.filePath("platforms/qwindows.dll")));
    const testsupport::WindowsProgramRun with = create();
    regsvr32({"/u", dll});
    EXPECT_EQ(without.exitCode, 0) << "the script host lives on";
    EXPECT_EQ(without.lines.join('|').toStdString(), "not created: error 429|the script goes on");
    EXPECT_EQ(with.lines.join('|').toStdString(), "created|the script goes on");
}

TEST(Registration, TheLibraryExportsItsEntryPointsByNameAndOrdinal)
{
    const HMODULE library = LoadLibraryExW(builtFile("Update.dll").toStdWString().c_str(), nullptr,
                                           LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    ASSERT_TRUE(library);
    const char *names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer",
                           "DllInstall"};
    for (WORD ordinal = 1; ordinal <= 5; ++ordinal) {
        const FARPROC byName = GetProcAddress(library, names[ordinal - 1]);
        EXPECT_TRUE(byName) << names[ordinal - 1];
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)), byName) << names[ordinal - 1];
    }
    FreeLibrary(library);
}

TEST(Registration, TheLibraryCarriesItsVersion)
{
    const std::wstring file = builtFile("Update.dll").toStdWString();
    QByteArray resource(int(GetFileVersionInfoSizeW(file.c_str(), nullptr)), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, DWORD(resource.size()), resource.data()));
    EXPECT_EQ(versionText(resource, "FileDescription"), "Software Download Manager");
    EXPECT_EQ(versionText(resource, "InternalName"), "Update");
    EXPECT_EQ(versionText(resource, "FileVersion"), "1.0.0.0");
    EXPECT_EQ(versionText(resource, "OLESelfRegister"), "") << "present, and empty";
}

TEST_F(WindowsClients, AScriptRunsAnUpdateThatPlacesTheProductAndWritesTheLog)
{
    const QByteArray product = testsupport::readBytes(builtFile("tarnwick-2.0.exe"));
    server.serve("/local/tarnwick.exe", HttpResponse::ok(product));
    QTemporaryDir app;
    ASSERT_TRUE(QFile::copy(builtFile("tarnwick-1.0.exe"), app.filePath("tarnwick.exe")));
    const QString folder = QDir::toNativeSeparators(app.path()) + QLatin1Char('\\');
    const QString address = server.url("/local/tarnwick.exe");

    const testsupport::WindowsProgramRun run =
        runWindowsProgram("cscript", {"//nologo", builtFile("scripts\\update.vbs"), address, folder, folder + "update.log"});

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.ownWidth) << "the script host of this edition's width";
    EXPECT_EQ(run.lines, QStringList({"DownloadFile=" + address, "ConfirmDownload=False", "RunUpdate returned"}));
    EXPECT_EQ(testsupport::readBytes(app.filePath("tarnwick.exe")), product);
    const QStringList log = QString::fromUtf8(testsupport::readBytes(app.filePath("update.log"))).split("\r\n", Qt::SkipEmptyParts);
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
    const testsupport::WindowsProgramRun run = runWindowsProgram("cscript", {"//nologo", builtFile("scripts\\progressbar.vbs")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, defaults + QStringList{"--"} + set + QStringList{"Caption read: error 438"});
}

TEST_F(WindowsClients, JScriptCreatesBothControlsByProgIdAndUsesThemByName)
{
    const testsupport::WindowsProgramRun run =
        runWindowsProgram("cscript", {"//nologo", builtFile("scripts\\controls.js")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.ownWidth);
    EXPECT_EQ(run.lines.join('|').toStdString(), "CurrentVersion=1.2 AutoRun=true ConfirmDownload=false|"
                                                 "Max=50 Value=25 GradientColour=3");
}

TEST_F(WindowsClients, AControlAScriptMadeWithoutAContainerStillShowsItsMessageBoxes)
{
    // Nothing to download: the control says so in a box titled qvWebUpdate.
    int boxes = 0;
    const testsupport::WindowsProgramRun run = runWindowsProgram("cscript", {"//nologo", builtFile("scripts\\nothingtodownload.vbs")}, [&] {
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
    server.serve("/local/tarnwick.exe", HttpResponse::ok(testsupport::readBytes(builtFile("tarnwick-2.0.exe"))));
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
