// Update.dll's controls as ActiveX controls in standard containers under
// Wine: Wine's ATL (atl100.dll, a window of class AtlAxWin100 named by the
// ProgID) places the progress bar in a window, which must show what the
// Linux build draws for the same settings; a client site of the test's own
// answers the ambient UserMode; the settings go through a stream; a
// container may deactivate a control from its own callbacks and pass null
// out parameters; HostedControl, our own container, closes a control it
// lets go of.
// Unlike the other test programs this one runs on Windows' own platform
// plugin, since containers place controls in real windows.

#include "platform/com/core/extent.h"
#include "platform/com/core/automation.h"
#include "platform/com/core/comptr.h"
#include "platform/com/core/comimpl.h"
#include "platform/com/host/creation.h"
#include "platform/com/host/hostedcontrol.h"
#include "tests/progressbar/referencebar.h"
#include "tests/support/waitfor.h"
#include "tests/support/windowsprograms.h"
#include "update/published/dispids.h"

#include <QDir>
#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

using namespace platform::com;
namespace id = qvWebUpdate::qvProgressBarId;

namespace {

const QString kProgressBar = QStringLiteral("qvWebUpdate.qvProgressBar");

// Update.dll registered by plain regsvr32 (machine-wide), as a user
// registers it, for as long as a test runs.
class RegisteredLibrary {
public:
    RegisteredLibrary() { EXPECT_EQ(testsupport::regsvr32({dll}), 0); }
    ~RegisteredLibrary() { testsupport::regsvr32({QStringLiteral("/u"), dll}); }

private:
    const QString dll = testsupport::builtFile(QStringLiteral("Update.dll"));
};

QSize clientSize(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return QSize(r.right - r.left, r.bottom - r.top);
}

// What is drawn into a bitmap.
QImage pictureOf(HBITMAP bitmap)
{
    return QImage::fromHBITMAP(bitmap).convertToFormat(QImage::Format_RGB32);
}

// What a window shows on the display, read back through its device context.
QImage grabWindow(HWND window)
{
    const QSize size = clientSize(window);
    const HDC screen = GetDC(window);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size.width(), size.height());
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, size.width(), size.height(), screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    const QImage picture = pictureOf(bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

void applyReferenceSettings(IDispatch *bar)
{
    putProperty(bar, id::BorderStyle, referencebar::BorderStyle);
    putProperty(bar, id::CaptionType, referencebar::CaptionType);
    putProperty(bar, id::GradientColour, referencebar::GradientColour);
    putProperty(bar, id::DotWidth, referencebar::DotWidth);
    putProperty(bar, id::GapWidth, referencebar::GapWidth);
    putProperty(bar, id::Value, referencebar::Value);
}

// The Linux build's picture of the bar with those settings.
QImage referencePicture()
{
    return QImage(QCoreApplication::applicationDirPath() + "/data/referencebar.png")
        .convertToFormat(QImage::Format_RGB32);
}

// The client site of a container that answers one ambient property,
// UserMode, and places its controls in one widget's window.
class TestSite : public ComImpl<IOleClientSite, IOleInPlaceSite, IDispatch> {
public:
    TestSite(HWND window, bool userMode) : m_window(window), m_userMode(userMode) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            return handOut(static_cast<IOleClientSite *>(this), ppv);
        if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            return handOut(static_cast<IOleInPlaceSite *>(this), ppv);
        if (riid == IID_IDispatch)
            return handOut(static_cast<IDispatch *>(this), ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer **) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND *window) override
    {
        *window = m_window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame **frame, IOleInPlaceUIWindow **document, RECT *position,
                                               RECT *clip, OLEINPLACEFRAMEINFO *) override
    {
        *frame = nullptr;
        *document = nullptr;
        GetClientRect(m_window, position);
        *clip = *position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *, VARIANT *result,
                                     EXCEPINFO *, UINT *) override
    {
        if (id != DISPID_AMBIENT_USERMODE || !(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_BOOL;
        result->boolVal = m_userMode ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return DISP_E_UNKNOWNNAME;
    }

private:
    HWND m_window;
    bool m_userMode;
};

// A container that deactivates the control fully as soon as it hears the
// control left its UI, and counts the deactivations it hears of.
class DeactivatingSite : public TestSite {
public:
    using TestSite::TestSite;

    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override
    {
        return object ? object->InPlaceDeactivate() : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override
    {
        ++deactivations;
        return S_OK;
    }

    IOleInPlaceObject *object = nullptr;
    int deactivations = 0;
};

// A window of Wine's ATL (atl100.dll) that hosts the control its text names.
class AtlWindow {
public:
    AtlWindow(const QString &progId, const QSize &size)
    {
        static const HMODULE atl = LoadLibraryW(L"atl100.dll");
        const auto init = reinterpret_cast<BOOL(WINAPI *)()>(
            reinterpret_cast<void *>(GetProcAddress(atl, "AtlAxWinInit")));
        const auto getControl = reinterpret_cast<HRESULT(WINAPI *)(HWND, IUnknown **)>(
            reinterpret_cast<void *>(GetProcAddress(atl, "AtlAxGetControl")));
        // Wine's AtlAxWinInit registers the window class once, and fails after.
        static const bool initialised = init && init();
        if (!initialised || !getControl)
            return;
        m_window = CreateWindowExW(WS_EX_TOPMOST, L"AtlAxWin100", qUtf16Printable(progId), WS_POPUP | WS_VISIBLE, 40,
                                   40, size.width(), size.height(), nullptr, nullptr, nullptr, nullptr);
        ComPtr<IUnknown> control;
        if (m_window && SUCCEEDED(getControl(m_window, control.put())))
            m_control = control.as<IDispatch>(IID_IDispatch);
    }
    ~AtlWindow()
    {
        m_control.reset();
        if (m_window)
            DestroyWindow(m_window);
    }

    HWND window() const { return m_window; }
    const ComPtr<IDispatch> &control() const { return m_control; }

private:
    HWND m_window = nullptr;
    ComPtr<IDispatch> m_control;
};

class ActiveXControls : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

    RegisteredLibrary library;
};

} // namespace

TEST_F(ActiveXControls, AtlShowsTheProgressBarAsTheLinuxBuildDrawsIt)
{
    const AtlWindow host(kProgressBar, QSize(referencebar::Width, referencebar::Height));
    ASSERT_TRUE(host.control());
    applyReferenceSettings(host.control().get());
    const QImage reference = referencePicture();
    ASSERT_FALSE(reference.isNull());
    // No font or style draws in this bar, so the display shows exactly the
    // Linux build's pixels.
    QImage shown;
    testsupport::poll([&] { return (shown = grabWindow(host.window())) == reference; }, 5000);
    EXPECT_EQ(shown, reference);
    if (HasFailure())
        shown.save(QCoreApplication::applicationDirPath() + "/data/referencebar-shown.png");
}

TEST_F(ActiveXControls, AtlPlacesBothControlsInNativeChildWindowsThatFollowItsWindow)
{
    for (const QString &progId : {QStringLiteral("qvWebUpdate.ctlWebUpdate"), kProgressBar}) {
        const AtlWindow host(progId, QSize(300, 60));
        ASSERT_TRUE(host.control()) << qPrintable(progId);
        const HWND child = GetWindow(host.window(), GW_CHILD);
        ASSERT_TRUE(child);
        EXPECT_EQ(clientSize(child), QSize(300, 60));
        MoveWindow(host.window(), 40, 40, 320, 80, TRUE);
        EXPECT_TRUE(testsupport::poll([&] { return clientSize(child) == QSize(320, 80); }, 5000))
            << "SetObjectRects resizes the control's window";
    }
}

TEST_F(ActiveXControls, InPlaceTheProgressBarReadsUserModeFromItsContainerAndCloseDestroysItsWindow)
{
    QWidget form;
    form.resize(200, 40);
    form.show();
    const HWND formWindow = HWND(form.winId());
    // In a form designer (UserMode false) a shown bar shows full.
    for (const bool userMode : {true, false}) {
        const auto site = ComPtr<TestSite>::adopt(new TestSite(formWindow, userMode));
        ComPtr<IOleObject> object;
        ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IOleObject, object.putVoid()), S_OK);
        ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
        ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, formWindow, nullptr), S_OK);
        HWND window = nullptr;
        ASSERT_EQ(object.as<IOleInPlaceObject>(IID_IOleInPlaceObject)->GetWindow(&window), S_OK);
        EXPECT_EQ(GetParent(window), formWindow);
        EXPECT_EQ(clientSize(window), QSize(200, 40));

        ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(IsWindow(formWindow));
        const auto bar = object.as<IDispatch>(IID_IDispatch);
        EXPECT_EQ(getProperty(bar.get(), id::Value).toInt32(), userMode ? 0 : 100) << "UserMode " << userMode;
        object->SetClientSite(nullptr);
    }
}

TEST_F(ActiveXControls, SettingsGoThroughAStreamAndBack)
{
    ComPtr<IDispatch> saved;
    ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IDispatch, saved.putVoid()), S_OK);
    putProperty(saved.get(), id::Max, 250);
    putProperty(saved.get(), id::BarColour, 0x123456);
    putProperty(saved.get(), id::Horizontal, false);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(saved.as<IPersistStreamInit>(IID_IPersistStreamInit)->Save(stream.get(), TRUE), S_OK);
    stream->Write("after", 5, nullptr);

    ComPtr<IDispatch> loaded;
    ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IDispatch, loaded.putVoid()), S_OK);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(loaded.as<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.get()), S_OK);
    EXPECT_EQ(getProperty(loaded.get(), id::Max).toInt32(), 250);
    EXPECT_EQ(getProperty(loaded.get(), id::BarColour).toInt32(), 0x123456);
    EXPECT_FALSE(getProperty(loaded.get(), id::Horizontal).toBool());
    char rest[5] = {};
    stream->Read(rest, 5, nullptr);
    EXPECT_EQ(QByteArray(rest, 5), "after") << "Load reads its own record only";

    // Damaged records are refused, never thrown across the interface, and
    // leave the settings as they were.
    for (const QByteArray &json : {QByteArray(R"({"Max":null})"), QByteArray(R"({"Max":[1]})"), QByteArray("{")}) {
        ComPtr<IStream> damaged;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, damaged.put()), S_OK);
        const quint32 length = quint32(json.size());
        damaged->Write(&length, sizeof length, nullptr);
        damaged->Write(json.constData(), ULONG(json.size()), nullptr);
        damaged->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        EXPECT_EQ(loaded.as<IPersistStreamInit>(IID_IPersistStreamInit)->Load(damaged.get()), STG_E_READFAULT)
            << json.constData();
        EXPECT_EQ(getProperty(loaded.get(), id::Max).toInt32(), 250);
    }
}

TEST_F(ActiveXControls, DrawPaintsTheBarIntoTheContainersDeviceContext)
{
    ComPtr<IDispatch> bar;
    ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IDispatch, bar.putVoid()), S_OK);
    applyReferenceSettings(bar.get());
    SIZEL extent{pixelsToHimetric(referencebar::Width), pixelsToHimetric(referencebar::Height)};
    ASSERT_EQ(bar.as<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    const auto view = bar.as<IViewObject2>(IID_IViewObject2);
    SIZEL viewExtent{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &viewExtent), S_OK);
    EXPECT_EQ(viewExtent.cx, extent.cx);
    EXPECT_EQ(viewExtent.cy, extent.cy);

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, referencebar::Width, referencebar::Height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const RECTL bounds{0, 0, referencebar::Width, referencebar::Height};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0), S_OK);
    SelectObject(memory, previous);
    EXPECT_EQ(pictureOf(bitmap), referencePicture());
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(ActiveXControls, AContainerMayDeactivateTheControlWhileItLeavesItsUserInterface)
{
    QWidget form;
    form.resize(200, 40);
    form.show();
    const auto site = ComPtr<DeactivatingSite>::adopt(new DeactivatingSite(HWND(form.winId()), true));
    ComPtr<IOleObject> object;
    ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IOleObject, object.putVoid()), S_OK);
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, HWND(form.winId()), nullptr), S_OK);
    const auto inPlace = object.as<IOleInPlaceObject>(IID_IOleInPlaceObject);
    site->object = inPlace.get();

    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site->deactivations, 1);
    site->object = nullptr;
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    object->SetClientSite(nullptr);
}

TEST_F(ActiveXControls, NullOutParametersAreRefused)
{
    ComPtr<IOleObject> object;
    ASSERT_EQ(createInstanceByProgId(kProgressBar, IID_IOleObject, object.putVoid()), S_OK);
    const auto stream = object.as<IPersistStreamInit>(IID_IPersistStreamInit);
    const auto view = object.as<IViewObject2>(IID_IViewObject2);
    const std::vector<std::pair<const char *, std::function<HRESULT()>>> calls = {
        {"GetMiscStatus", [&] { return object->GetMiscStatus(DVASPECT_CONTENT, nullptr); }},
        {"GetUserType", [&] { return object->GetUserType(USERCLASSTYPE_FULL, nullptr); }},
        {"EnumVerbs", [&] { return object->EnumVerbs(nullptr); }},
        {"Advise", [&] { return object->Advise(nullptr, nullptr); }},
        {"GetClientSite", [&] { return object->GetClientSite(nullptr); }},
        {"IOleObject::GetExtent", [&] { return object->GetExtent(DVASPECT_CONTENT, nullptr); }},
        {"IViewObject2::GetExtent", [&] { return view->GetExtent(DVASPECT_CONTENT, -1, nullptr, nullptr); }},
        {"IPersistStreamInit::Load", [&] { return stream->Load(nullptr); }},
        {"IPersistStreamInit::GetSizeMax", [&] { return stream->GetSizeMax(nullptr); }},
    };
    for (const auto &[name, call] : calls)
        EXPECT_EQ(call(), E_POINTER) << name;
}

TEST_F(ActiveXControls, AHostedControlGivenAnotherClosesTheOneItHeld)
{
    QWidget form;
    form.resize(200, 40);
    form.show();
    HostedControl hosted = HostedControl::create(kProgressBar, &form, true, nullptr);
    const QPointer<QWidget> first = hosted.widget();
    const HWND firstControl = GetWindow(HWND(first->winId()), GW_CHILD);
    ASSERT_TRUE(IsWindow(firstControl));

    hosted = HostedControl::create(kProgressBar, &form, true, nullptr);
    EXPECT_TRUE(first.isNull()) << "the container's window for the first control is gone";
    EXPECT_FALSE(IsWindow(firstControl)) << "the first control was closed";
    EXPECT_TRUE(IsWindow(GetWindow(HWND(hosted.widget()->winId()), GW_CHILD)));
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "windows");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
