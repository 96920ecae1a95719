#include "platform/com/host/hostedcontrol.h"

#include "platform/com/core/extent.h"
#include "platform/com/core/automation.h"
#include "platform/com/host/clientsite.h"
#include "platform/core/runtimeerror.h"

#include <QImage>
#include <QWidget>

namespace platform::com {

namespace {

void check(HRESULT h, const QString &what)
{
    if (FAILED(h))
        throw platform::RuntimeError(platform::ErrAutomation, what + QStringLiteral(": ") + hresultMessage(h));
}

// The size the control asks for, in pixels; the window's own size when it
// doesn't say.
QSize extentOf(IOleObject *object, const QSize &otherwise)
{
    SIZEL himetric{};
    if (FAILED(object->GetExtent(DVASPECT_CONTENT, &himetric)) || himetric.cx <= 0 || himetric.cy <= 0)
        return otherwise;
    return QSize(himetricToPixels(himetric.cx), himetricToPixels(himetric.cy));
}

// A container's thread needs OLE (COM in a single-threaded apartment, and
// OLE's windows) before it creates a control; it stays for the thread's life,
// as long as the controls may.
void ensureOle()
{
    thread_local const HRESULT initialized = OleInitialize(nullptr);
    static_cast<void>(initialized);
}

} // namespace

HostedControl::~HostedControl()
{
    if (!m_oleObject)
        return;
    m_site->setInPlaceObject(nullptr);
    m_oleObject->Close(OLECLOSE_NOSAVE);
    m_oleObject->SetClientSite(nullptr);
    delete m_widget;
}

HostedControl HostedControl::create(const QString &progId, QWidget *parent, bool userMode,
                                    platform::PropertyStore *settings)
{
    ensureOle();
    HostedControl hosted;
    hosted.createObject(progId);
    const auto object = hosted.m_object.as<IOleObject>(IID_IOleObject);
    if (!hosted.m_dispatch || !object)
        throw platform::RuntimeError(platform::ErrNoAutomation, progId + QStringLiteral(" is not a control"));

    // The container's window for the control: a native child, so that the
    // control's own window can live inside it.
    auto *window = new QWidget(parent);
    window->setAttribute(Qt::WA_NativeWindow);
    hosted.m_widget = window;
    hosted.m_site = ComPtr<ClientSite>::adopt(ClientSite::create(window, userMode));
    hosted.m_oleObject = object;
    // Before the restore: the controls read the ambient UserMode while loading.
    check(object->SetClientSite(hosted.m_site.get()), progId + QStringLiteral(" refuses its site"));
    hosted.restore(progId, settings);

    window->resize(extentOf(object.get(), window->size()));
    const RECT rect = hosted.m_site->clientRect();
    check(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, hosted.m_site.get(), 0,
                         reinterpret_cast<HWND>(window->winId()), &rect),
          progId + QStringLiteral(" can't be activated in place"));
    const auto inPlace = hosted.m_object.as<IOleInPlaceObject>(IID_IOleInPlaceObject);
    hosted.m_site->setInPlaceObject(inPlace.get());
    return hosted;
}

// The control draws itself (IViewObject::Draw) into a bitmap of its
// window's size: what it shows there, whatever lies above it.
QPixmap HostedControl::grab() const
{
    const auto view = m_object.as<IViewObject>(IID_IViewObject);
    const QSize size = m_widget->size() * m_widget->devicePixelRatioF();
    if (!view || size.isEmpty())
        return QPixmap();
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size.width(), size.height());
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECTL bounds{0, 0, size.width(), size.height()};
    const HRESULT drawn = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    SelectObject(dc, previous);
    DeleteDC(dc);
    const QImage picture = SUCCEEDED(drawn) ? QImage::fromHBITMAP(bitmap) : QImage();
    DeleteObject(bitmap);
    return QPixmap::fromImage(picture);
}

std::optional<IID> HostedControl::sourceInterface() const
{
    const auto classInfo = m_object.as<IProvideClassInfo2>(IID_IProvideClassInfo2);
    GUID source{};
    if (!classInfo || FAILED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)))
        return std::nullopt;
    return source;
}

} // namespace platform::com
