// Both controls as a host sees them: created by ProgID through the class
// registry from libUpdate.so (not linked into this test), driven only by
// DISPID, persisted through a property bag, placed through a site.

#include "platform/com/core/automation.h"
#include "platform/com/core/comptr.h"
#include "platform/com/core/connectioninterfaces.h"
#include "platform/com/host/controlsite.h"
#include "platform/com/host/creation.h"
#include "platform/com/host/eventsink.h"
#include "platform/com/host/propertybagoverstore.h"
#include "platform/com/runtime/library.h"
#include "platform/com/runtime/registry.h"
#include "platform/settings/memorypropertystore.h"
#include "platform/desktop/messageboxanswerer.h"
#include "update/published/dispids.h"
#include "update/published/qvwebupdate.h"
#include "update/library/typelibrary.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QWidget>
#include "tests/support/filecontent.h"
#include "tests/support/privatedatahome.h"

#include <gtest/gtest.h>

using namespace platform::com;
using platform::Variant;
namespace wu = qvWebUpdate::ctlWebUpdateId;
namespace pb = qvWebUpdate::qvProgressBarId;

namespace {

const QString kUpdateProgId = QStringLiteral("qvWebUpdate.ctlWebUpdate");
const QString kBarProgId = QStringLiteral("qvWebUpdate.qvProgressBar");

Library *updateLibrary()
{
    QString error;
    Library *library = Library::load(QStringLiteral(UPDATE_LIBRARY_PATH), &error);
    EXPECT_TRUE(library) << qPrintable(error);
    return library;
}

HRESULT callEntry(const char *name)
{
    const auto entry = reinterpret_cast<Library::EntryPoint>(updateLibrary()->resolve(name));
    return entry ? entry() : E_FAIL;
}

// Every test runs against its own registry, registered through the
// library's own entry point and unregistered afterwards.
class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
    }
    void TearDown() override
    {
        EXPECT_EQ(callEntry("DllCanUnloadNow"), S_OK) << "every object of the library released";
        EXPECT_EQ(callEntry("DllUnregisterServer"), S_OK);
        EXPECT_FALSE(QFile::exists(Registry::filePath()));
    }

    static ComPtr<IDispatch> create(const QString &progId)
    {
        ComPtr<IDispatch> object;
        QString why;
        EXPECT_EQ(createInstanceByProgId(progId, IID_IDispatch, object.putVoid(), &why), S_OK) << qPrintable(why);
        return object;
    }

    // Invoke as a host does, keeping what comes back.
    struct Call {
        Call() { VariantInit(&result); }
        ~Call()
        {
            VariantClear(&result);
            clearExcepInfo(&info);
        }
        HRESULT hr = S_OK;
        VARIANT result;
        EXCEPINFO info{};
    };
    static void invoke(Call &call, IDispatch *object, DISPID id, WORD flags, std::optional<Variant> value = {})
    {
        VARIANT arg;
        VariantInit(&arg);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{nullptr, nullptr, 0, 0};
        if (value) {
            assignPlatformVariant(&arg, *value);
            params = {&arg, &named, 1, 1};
        }
        UINT argErr = 0;
        call.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &call.result, &call.info, &argErr);
        VariantClear(&arg);
    }

    testsupport::PrivateDataHome home;
};

} // namespace

TEST_F(Controls, RegistrationRecordsBothClassesAndItsRemovalRestoresTheRegistry)
{
    const QJsonObject registry = QJsonDocument::fromJson(testsupport::readBytes(Registry::filePath())).object();
    const QJsonObject classes = registry[QStringLiteral("classes")].toObject();
    for (const auto &[clsid, progId] : {std::pair{qvWebUpdate::CLSID_ctlWebUpdate, kUpdateProgId},
                                        std::pair{qvWebUpdate::CLSID_qvProgressBar, kBarProgId}}) {
        const QJsonObject entry = classes[guidToString(clsid)].toObject();
        EXPECT_EQ(entry[QStringLiteral("progId")].toString(), progId);
        EXPECT_TRUE(entry[QStringLiteral("control")].toBool());
        EXPECT_EQ(entry[QStringLiteral("miscStatus")].toInt(), 0x00020191);
        const QJsonObject bitmap = entry[QStringLiteral("toolboxBitmap")].toObject();
        const QByteArray png = QByteArray::fromBase64(bitmap[QStringLiteral("png")].toString().toLatin1());
        const QImage picture = QImage::fromData(png);
        EXPECT_EQ(picture.size(), QSize(16, 15));
        EXPECT_EQ(registry[QStringLiteral("progIds")][progId].toString(), guidToString(clsid));
    }
    const QJsonObject file = registry[QStringLiteral("typeLibraries")][guidToString(qvWebUpdate::LIBID_qvWebUpdate)]
                                 [QStringLiteral("file")].toObject();
    EXPECT_EQ(file[QStringLiteral("description")].toString(), QStringLiteral("Software Download Manager"));
    EXPECT_EQ(file[QStringLiteral("internalName")].toString(), QStringLiteral("Update"));
    EXPECT_EQ(file[QStringLiteral("version")].toString(), QStringLiteral("1.0.0.0"));

    // Another library's entries survive a registration and its removal byte for byte.
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(QFile::exists(Registry::filePath()));
    const char foreign[] = R"({"progIds": {"Other.Thing": "{6B1D0C1E-0000-4000-8000-000000000002}"}})";
    QDir().mkpath(home.path() + QStringLiteral("/tarnwick"));
    {
        QFile f(Registry::filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument::fromJson(foreign).toJson());
    }
    const QByteArray before = testsupport::readBytes(Registry::filePath());
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    EXPECT_EQ(testsupport::readBytes(Registry::filePath()), before);
    QFile::remove(Registry::filePath());
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
}

TEST_F(Controls, AnUnregisteredProgIdFailsCleanly)
{
    ComPtr<IDispatch> object;
    EXPECT_EQ(createInstanceByProgId(QStringLiteral("qvWebUpdate.ctlNothing"), IID_IDispatch, object.putVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(object);
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    EXPECT_EQ(createInstanceByProgId(kUpdateProgId, IID_IDispatch, object.putVoid()), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(qvWebUpdate::CLSID_ctlWebUpdate, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               object.putVoid()),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
}

TEST_F(Controls, TheLibraryExportsOnlyItsEntryPoints)
{
    for (const char *entry :
         {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer", "DllInstall"})
        EXPECT_TRUE(updateLibrary()->resolve(entry)) << entry;
    // Its own copies of the platform and of the controls stay inside.
    for (const char *inside : {"_ZN8platform3com8Registry8filePathEv", "_ZN8platform12RuntimeErrorC1Ei",
                               "_ZN12ctlWebUpdate9RunUpdateEv"})
        EXPECT_FALSE(updateLibrary()->resolve(inside)) << inside;
}

TEST_F(Controls, TheLibraryStaysNeededWhileAnObjectLives)
{
    ComPtr<IDispatch> update = create(kUpdateProgId);
    ComPtr<IDispatch> bar = create(kBarProgId);
    ASSERT_TRUE(update && bar);
    EXPECT_EQ(callEntry("DllCanUnloadNow"), S_FALSE);
    update.reset();
    EXPECT_EQ(callEntry("DllCanUnloadNow"), S_FALSE);
    bar.reset();
    EXPECT_EQ(callEntry("DllCanUnloadNow"), S_OK);
}

TEST_F(Controls, EveryUpdateControlMemberByDispid)
{
    ComPtr<IDispatch> update = create(kUpdateProgId);
    ASSERT_TRUE(update);
    const std::pair<DISPID, const char *> names[] = {
        {wu::DownloadLocation, "DownloadLocation"}, {wu::DownloadFile, "DownloadFile"},
        {wu::DownloadVersionFile, "DownloadVersionFile"}, {wu::CurrentVersion, "CurrentVersion"},
        {wu::ConfirmDownload, "ConfirmDownload"}, {wu::AutoRun, "AutoRun"}, {wu::LogFilename, "LogFilename"},
        {wu::RunUpdate, "RunUpdate"}, {wu::CancelDownload, "CancelDownload"}};
    for (const auto &[id, name] : names) {
        const QString text = QString::fromLatin1(name).toLower();
        LPOLESTR list[] = {const_cast<LPOLESTR>(reinterpret_cast<LPCOLESTR>(text.utf16()))};
        DISPID found = 0;
        EXPECT_EQ(update->GetIDsOfNames(IID_NULL, list, 1, 0, &found), S_OK) << name;
        EXPECT_EQ(found, id) << name;
    }

    for (const DISPID id : {wu::DownloadLocation, wu::DownloadFile, wu::DownloadVersionFile, wu::CurrentVersion,
                            wu::LogFilename}) {
        const QString value = QStringLiteral("value of %1").arg(id, 0, 16);
        putProperty(update.get(), id, value);
        Call get;
        invoke(get, update.get(), id, DISPATCH_PROPERTYGET);
        ASSERT_EQ(get.hr, S_OK);
        EXPECT_EQ(get.result.vt, VT_BSTR);
        EXPECT_EQ(qstringFromBstr(get.result.bstrVal), value);
    }
    for (const DISPID id : {wu::ConfirmDownload, wu::AutoRun}) {
        Call get;
        invoke(get, update.get(), id, DISPATCH_PROPERTYGET);
        EXPECT_EQ(get.result.vt, VT_BOOL);
        EXPECT_EQ(get.result.boolVal, VARIANT_FALSE) << "a new control starts False";
        putProperty(update.get(), id, QStringLiteral("True"));
        Call again;
        invoke(again, update.get(), id, DISPATCH_PROPERTYGET);
        EXPECT_EQ(again.result.boolVal, VARIANT_TRUE);
        Call bad;
        invoke(bad, update.get(), id, DISPATCH_PROPERTYPUT, QStringLiteral("perhaps"));
        EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
    }

    // CancelDownload with nothing pending changes nothing.
    callMethod(update.get(), wu::CancelDownload);
    EXPECT_EQ(getProperty(update.get(), wu::AutoRun), Variant(true));

    Call unknown;
    invoke(unknown, update.get(), 0x68030007, DISPATCH_PROPERTYGET);
    EXPECT_EQ(unknown.hr, DISP_E_MEMBERNOTFOUND);
    Call notAProperty;
    invoke(notAProperty, update.get(), wu::RunUpdate, DISPATCH_PROPERTYPUT, Variant(true));
    EXPECT_EQ(notAProperty.hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(Controls, StatusChangeReachesSinksByReferenceAndTheReplacementIsLogged)
{
    platform::MessageBoxAnswerer answerer;
    QTemporaryDir logDir;
    const QString log = logDir.filePath(QStringLiteral("update.log"));

    ComPtr<IDispatch> update = create(kUpdateProgId);
    ASSERT_TRUE(update);
    QStringList firstSaw, secondSaw;
    const auto replacing = ComPtr<EventSink>::adopt(EventSink::create(
        qvWebUpdate::DIID___ctlWebUpdate, [&](DISPID id, DISPPARAMS &params) {
            ASSERT_EQ(id, wu::StatusChange);
            ASSERT_EQ(params.cArgs, 1u);
            ASSERT_EQ(params.rgvarg[0].vt, VT_BYREF | VT_BSTR);
            BSTR *message = params.rgvarg[0].pbstrVal;
            firstSaw << qstringFromBstr(*message);
            SysFreeString(*message);
            *message = bstrFromQString(QStringLiteral("Replaced by the host"));
        }));
    const auto watching = ComPtr<EventSink>::adopt(
        EventSink::create(qvWebUpdate::DIID___ctlWebUpdate, [&](DISPID, DISPPARAMS &params) {
            secondSaw << qstringFromBstr(*params.rgvarg[0].pbstrVal);
        }));
    ASSERT_EQ(replacing->connect(update.get()), S_OK);
    ASSERT_EQ(watching->connect(update.get()), S_OK);

    putProperty(update.get(), wu::LogFilename, log);
    callMethod(update.get(), wu::RunUpdate);

    EXPECT_EQ(firstSaw, QStringList{QStringLiteral("No download filename specified")});
    EXPECT_EQ(secondSaw, QStringList{QStringLiteral("Replaced by the host")}) << "sinks share the one Message";
    const QStringList lines = QString::fromUtf8(testsupport::readBytes(log)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(lines.join(QLatin1Char('|')));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("  Download process started")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("  Replaced by the host")));
    ASSERT_EQ(answerer.answered().size(), 1);
    EXPECT_EQ(answerer.answered()[0].caption, QStringLiteral("qvWebUpdate"));
    EXPECT_EQ(answerer.answered()[0].text, QStringLiteral("No download filename specified"));

    // After Unadvise a sink hears nothing more.
    replacing->disconnect();
    watching->disconnect();
    callMethod(update.get(), wu::RunUpdate);
    EXPECT_EQ(firstSaw.size(), 1);
    EXPECT_TRUE(QString::fromUtf8(testsupport::readBytes(log)).contains(QStringLiteral("  No download filename specified\r\n")));

    // A sink's error ends the event there: later sinks don't hear it, and
    // the run's trap reports the error.
    const auto raising = ComPtr<EventSink>::adopt(EventSink::create(
        qvWebUpdate::DIID___ctlWebUpdate, [](DISPID, DISPPARAMS &) { throw platform::RuntimeError(70); }));
    ASSERT_EQ(raising->connect(update.get()), S_OK);
    ASSERT_EQ(watching->connect(update.get()), S_OK);
    callMethod(update.get(), wu::RunUpdate);
    EXPECT_EQ(secondSaw.size(), 1);
    EXPECT_EQ(answerer.answered().last().text, QStringLiteral("70 - Permission denied"));
    raising->disconnect();
    watching->disconnect();

    ComPtr<IConnectionPointContainer> container = update.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
}

TEST_F(Controls, EveryProgressBarMemberByDispid)
{
    ComPtr<IDispatch> bar = create(kBarProgId);
    ASSERT_TRUE(bar);
    const std::pair<DISPID, Variant> values[] = {
        {pb::ReverseGradient, Variant(true)},
        {pb::Horizontal, Variant(false)},
        {pb::Alignment, Variant(std::int32_t(1))},
        {pb::GradientColour, Variant(std::int32_t(3))},
        {pb::MarginSize, Variant(std::int16_t(5))},
        {pb::BorderStyle, Variant(std::int32_t(0))},
        {pb::BackColour, Variant(std::int32_t(0x00112233))},
        {pb::FontColour, Variant(std::int32_t(0x8000000F))}, // a system colour: the high bit set
        {pb::BarColour, Variant(std::int32_t(0x0000FF00))},
        {pb::Max, Variant(std::int32_t(200))},
        {pb::Min, Variant(std::int32_t(10))},
        {pb::Value, Variant(std::int32_t(50))},
        {pb::DotWidth, Variant(std::int32_t(4))},
        {pb::GapWidth, Variant(std::int32_t(1))},
        {pb::CaptionType, Variant(std::int32_t(3))},
    };
    for (const auto &[id, value] : values) {
        SCOPED_TRACE(QString::number(id, 16).toStdString());
        putProperty(bar.get(), id, value);
        Call get;
        invoke(get, bar.get(), id, DISPATCH_PROPERTYGET);
        ASSERT_EQ(get.hr, S_OK);
        EXPECT_EQ(get.result.vt, vartypeOf(value.type()));
        EXPECT_EQ(toPlatformVariant(get.result), value);
    }

    // Caption is write-only; under progressbar::CaptionCustom the text shows.
    QWidget *widget = nullptr;
    ComPtr<IControl> control = bar.as<IControl>(IID_IControl);
    ASSERT_EQ(control->GetWidget(&widget), S_OK);
    const QImage before = widget->grab().toImage();
    putProperty(bar.get(), pb::Caption, QStringLiteral("Caption over the dots"));
    EXPECT_NE(widget->grab().toImage(), before);
    Call captionGet;
    invoke(captionGet, bar.get(), pb::Caption, DISPATCH_PROPERTYGET);
    EXPECT_EQ(captionGet.hr, DISP_E_MEMBERNOTFOUND);

    // The bar's own errors come back with their number and description.
    Call badAlignment;
    invoke(badAlignment, bar.get(), pb::Alignment, DISPATCH_PROPERTYPUT, Variant(std::int32_t(7)));
    EXPECT_EQ(badAlignment.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(HRESULT_CODE(badAlignment.info.scode), 380u);
    EXPECT_EQ(qstringFromBstr(badAlignment.info.bstrDescription), QStringLiteral("Invalid property value"));
    Call tooWide;
    invoke(tooWide, bar.get(), pb::MarginSize, DISPATCH_PROPERTYPUT, Variant(std::int32_t(40000)));
    EXPECT_EQ(tooWide.hr, DISP_E_OVERFLOW);
}

TEST_F(Controls, UpdateControlSettingsSaveAndRestoreThroughABag)
{
    ComPtr<IDispatch> update = create(kUpdateProgId);
    putProperty(update.get(), wu::DownloadFile, QStringLiteral("http://127.0.0.1/local/tarnwick.exe"));
    putProperty(update.get(), wu::DownloadLocation, QString());
    platform::MemoryPropertyStore saved;
    auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(saved));
    ComPtr<IPersistPropertyBag> persist = update.as<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_EQ(persist->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(saved.read(QStringLiteral("DownloadFile")),
              Variant(QStringLiteral("http://127.0.0.1/local/tarnwick.exe")));
    EXPECT_FALSE(saved.read(QStringLiteral("DownloadLocation"))) << "empty texts are left out";
    EXPECT_EQ(saved.read(QStringLiteral("ConfirmDownload")), Variant(false)) << "Booleans are always saved";
    EXPECT_EQ(saved.read(QStringLiteral("AutoRun")), Variant(false));
    EXPECT_TRUE(saved.read(QStringLiteral("_ExtentX")));
    EXPECT_TRUE(saved.read(QStringLiteral("_ExtentY")));

    // A host that keeps its keys in lower case, as the updater's saved form does.
    platform::MemoryPropertyStore lower;
    lower.write(QStringLiteral("downloadfile"), Variant(QStringLiteral("http://h/p.exe")));
    lower.write(QStringLiteral("autorun"), Variant(true));
    lower.write(QStringLiteral("_extentx"), Variant(std::int32_t(2540)));
    lower.write(QStringLiteral("_extenty"), Variant(std::int32_t(1270)));
    ComPtr<IDispatch> restored = create(kUpdateProgId);
    auto lowerBag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(lower));
    ASSERT_EQ(restored.as<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(lowerBag.get(), nullptr), S_OK);
    EXPECT_EQ(getProperty(restored.get(), wu::DownloadFile), Variant(QStringLiteral("http://h/p.exe")));
    EXPECT_EQ(getProperty(restored.get(), wu::AutoRun), Variant(true));
    EXPECT_EQ(getProperty(restored.get(), wu::ConfirmDownload), Variant(true)) << "absent: restores True";
    QWidget *widget = nullptr;
    restored.as<IControl>(IID_IControl)->GetWidget(&widget);
    EXPECT_EQ(widget->size(), QSize(96, 48)) << "the saved extent in HIMETRIC";

    // A value that can't be converted ends the restore at its key.
    platform::MemoryPropertyStore broken;
    broken.write(QStringLiteral("DownloadFile"), Variant(QStringLiteral("a.exe")));
    broken.write(QStringLiteral("ConfirmDownload"), Variant(QStringLiteral("perhaps")));
    broken.write(QStringLiteral("LogFilename"), Variant(QStringLiteral("update.log")));
    ComPtr<IDispatch> partly = create(kUpdateProgId);
    auto brokenBag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(broken));
    EXPECT_EQ(partly.as<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(brokenBag.get(), nullptr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(getProperty(partly.get(), wu::DownloadFile), Variant(QStringLiteral("a.exe")));
    EXPECT_EQ(getProperty(partly.get(), wu::LogFilename), Variant(QString()));
}

TEST_F(Controls, ProgressBarSettingsSaveAndRestoreThroughABag)
{
    ComPtr<IDispatch> bar = create(kBarProgId);
    putProperty(bar.get(), pb::Max, std::int32_t(400));
    putProperty(bar.get(), pb::Value, std::int32_t(123));
    putProperty(bar.get(), pb::GradientColour, std::int32_t(5));
    putProperty(bar.get(), pb::BarColour, std::int32_t(0x00336699));
    platform::MemoryPropertyStore saved;
    auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(saved));
    ASSERT_EQ(bar.as<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(bag.get(), TRUE, TRUE), S_OK);

    ComPtr<IDispatch> restored = create(kBarProgId);
    ASSERT_EQ(restored.as<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(bag.get(), nullptr), S_OK);
    for (const DISPID id : {pb::Max, pb::GradientColour, pb::BarColour, pb::DotWidth, pb::Horizontal})
        EXPECT_EQ(getProperty(restored.get(), id), getProperty(bar.get(), id)) << std::hex << id;
    EXPECT_EQ(getProperty(restored.get(), pb::Value).toInt32(), 0) << "Value is not among the saved settings";
    CLSID clsid{};
    restored.as<IPersistPropertyBag>(IID_IPersistPropertyBag)->GetClassID(&clsid);
    EXPECT_EQ(clsid, qvWebUpdate::CLSID_qvProgressBar);
}

TEST_F(Controls, TheSiteGivesTheParentAndTheAmbientUserMode)
{
    for (const bool userMode : {true, false}) {
        QWidget window;
        ComPtr<IDispatch> bar = create(kBarProgId);
        ComPtr<IControl> control = bar.as<IControl>(IID_IControl);
        auto site = ComPtr<ControlSite>::adopt(ControlSite::create(&window, userMode));
        ASSERT_EQ(control->SetSite(site.get()), S_OK);
        QWidget *widget = nullptr;
        control->GetWidget(&widget);
        EXPECT_EQ(widget->parentWidget(), &window);
        putProperty(bar.get(), pb::Value, std::int32_t(30));
        widget->show();
        window.show();
        // In a form designer (UserMode False) the bar shows full.
        EXPECT_EQ(getProperty(bar.get(), pb::Value).toInt32(), userMode ? 30 : 100) << userMode;
        control->SetSite(nullptr);
        EXPECT_EQ(widget->parentWidget(), nullptr);
    }
}

TEST_F(Controls, AControlWhoseWidgetIsGoneReportsItself)
{
    ComPtr<IDispatch> update = create(kUpdateProgId);
    ComPtr<IControl> control = update.as<IControl>(IID_IControl);
    {
        QWidget window;
        auto site = ComPtr<ControlSite>::adopt(ControlSite::create(&window, true));
        control->SetSite(site.get());
    } // the window deletes its children
    Call get;
    invoke(get, update.get(), wu::DownloadFile, DISPATCH_PROPERTYGET);
    EXPECT_EQ(get.hr, CO_E_OBJNOTCONNECTED);
    QWidget *widget = reinterpret_cast<QWidget *>(1);
    EXPECT_EQ(control->GetWidget(&widget), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(widget, nullptr);
    control->SetSite(nullptr);
}

TEST_F(Controls, TheDualInterfacesSlotsMatchTheirDispids)
{
    ComPtr<IDispatch> update = create(kUpdateProgId);
    const auto early = update.as<qvWebUpdate::_ctlWebUpdate>(qvWebUpdate::IID__ctlWebUpdate);
    ASSERT_TRUE(early);
    using Slot = HRESULT (qvWebUpdate::_ctlWebUpdate::*)(BSTR *);
    const std::tuple<DISPID, Slot, Slot> texts[] = {
        {wu::DownloadLocation, &qvWebUpdate::_ctlWebUpdate::get_DownloadLocation,
         &qvWebUpdate::_ctlWebUpdate::put_DownloadLocation},
        {wu::DownloadFile, &qvWebUpdate::_ctlWebUpdate::get_DownloadFile, &qvWebUpdate::_ctlWebUpdate::put_DownloadFile},
        {wu::DownloadVersionFile, &qvWebUpdate::_ctlWebUpdate::get_DownloadVersionFile,
         &qvWebUpdate::_ctlWebUpdate::put_DownloadVersionFile},
        {wu::CurrentVersion, &qvWebUpdate::_ctlWebUpdate::get_CurrentVersion,
         &qvWebUpdate::_ctlWebUpdate::put_CurrentVersion},
        {wu::LogFilename, &qvWebUpdate::_ctlWebUpdate::get_LogFilename, &qvWebUpdate::_ctlWebUpdate::put_LogFilename},
    };
    for (const auto &[id, get, put] : texts) {
        BSTR value = bstrFromQString(QStringLiteral("slot %1").arg(id));
        ASSERT_EQ((early.get()->*put)(&value), S_OK);
        SysFreeString(value);
        EXPECT_EQ(getProperty(update.get(), id), Variant(QStringLiteral("slot %1").arg(id)));
        putProperty(update.get(), id, QStringLiteral("by dispid"));
        BSTR got = nullptr;
        ASSERT_EQ((early.get()->*get)(&got), S_OK);
        EXPECT_EQ(qstringFromBstr(got), QStringLiteral("by dispid"));
        SysFreeString(got);
    }
    VARIANT_BOOL yes = VARIANT_TRUE;
    ASSERT_EQ(early->put_AutoRun(&yes), S_OK);
    EXPECT_EQ(getProperty(update.get(), wu::AutoRun), Variant(true));
    EXPECT_EQ(getProperty(update.get(), wu::ConfirmDownload), Variant(false));
    putProperty(update.get(), wu::ConfirmDownload, true);
    VARIANT_BOOL confirm = 0;
    ASSERT_EQ(early->get_ConfirmDownload(&confirm), S_OK);
    EXPECT_EQ(confirm, VARIANT_TRUE);
    EXPECT_EQ(early->CancelDownload(), S_OK);

    ComPtr<IDispatch> bar = create(kBarProgId);
    const auto barEarly = bar.as<qvWebUpdate::_qvProgressBar>(qvWebUpdate::IID__qvProgressBar);
    ASSERT_TRUE(barEarly);
    progressbar::OleColour system = 0x8000000F;
    ASSERT_EQ(barEarly->put_FontColour(&system), S_OK);
    EXPECT_EQ(getProperty(bar.get(), pb::FontColour).toInt32(), std::int32_t(0x8000000F));
    progressbar::OleColour back = 1;
    ASSERT_EQ(barEarly->get_BackColour(&back), S_OK);
    EXPECT_EQ(back, progressbar::OleColour(getProperty(bar.get(), pb::BackColour).toInt32()));
    SHORT margin = 7;
    ASSERT_EQ(barEarly->put_MarginSize(&margin), S_OK);
    EXPECT_EQ(getProperty(bar.get(), pb::MarginSize), Variant(std::int16_t(7)));
    LONG value = 0;
    putProperty(bar.get(), pb::Value, std::int32_t(42));
    ASSERT_EQ(barEarly->get_Value(&value), S_OK);
    EXPECT_EQ(value, 42);
    LONG caption = 3;
    ASSERT_EQ(barEarly->put_CaptionType(&caption), S_OK);
    EXPECT_EQ(getProperty(bar.get(), pb::CaptionType).toInt32(), 3);
    LONG alignment = 7;
    EXPECT_EQ(barEarly->put_Alignment(&alignment), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380))
        << "the bar's own error number";
}
