#include "platform/com/control/controlobject.h"

#include "platform/com/control/application.h"
#include "platform/com/core/extent.h"
#include "platform/com/control/propertystoreoverbag.h"
#include "platform/com/core/automation.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"

namespace platform::com {

namespace {

const QString kExtentX = QStringLiteral("_ExtentX");
const QString kExtentY = QStringLiteral("_ExtentY");

} // namespace

ControlObject::ControlObject(const ClassInfo &cls, QWidget *widget)
    : m_class(cls)
    , m_widget(widget)
    , m_events(*this, cls.sourceInterface ? cls.sourceInterface->iid : IID_NULL)
    , m_propertyNotify(*this, IID_IPropertyNotifySink)
{
}

ControlObject::~ControlObject()
{
    m_events.disconnectAll();
    m_propertyNotify.disconnectAll();
    delete m_widget.data();
}

void ControlObject::bind(const std::vector<Dispatcher::Binding> &bindings)
{
    m_dispatcher =
        std::make_unique<Dispatcher>(*m_class.defaultInterface, bindings, QString::fromLatin1(m_class.progId));
}

HRESULT STDMETHODCALLTYPE ControlObject::QueryInterface(REFIID riid, void **ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch)
        return handOut(static_cast<IDispatch *>(this), ppvObject);
    if (riid == IID_IConnectionPointContainer)
        return handOut(static_cast<IConnectionPointContainer *>(this), ppvObject);
    if (riid == IID_IPersist || riid == IID_IPersistPropertyBag)
        return handOut(static_cast<IPersistPropertyBag *>(this), ppvObject);
    if (riid == IID_IControl)
        return handOut(static_cast<IControl *>(this), ppvObject);
#ifdef _WIN32
    if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
        return handOut(static_cast<IProvideClassInfo2 *>(this), ppvObject);
#endif
    return platformInterface(riid, ppvObject);
}

HRESULT STDMETHODCALLTYPE ControlObject::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                                DISPPARAMS *pDispParams, VARIANT *pVarResult, EXCEPINFO *pExcepInfo,
                                                UINT *puArgErr)
{
    if (!onUserInterfaceThread())
        return RPC_E_WRONG_THREAD;
    if (!m_widget)
        return CO_E_OBJNOTCONNECTED;
    // A member may pump events in which the host lets go of its last reference.
    const ComPtr<IDispatch> keepAlive(this);
    const HRESULT h =
        m_dispatcher->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    if (SUCCEEDED(h) && (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
        m_propertyNotify.forEachSink([dispIdMember](IPropertyNotifySink *sink) {
            // What a sink answers doesn't concern the put.
            sink->OnChanged(dispIdMember);
            return S_OK;
        });
    return h;
}

HRESULT STDMETHODCALLTYPE ControlObject::EnumConnectionPoints(IEnumConnectionPoints **ppEnum)
{
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ControlObject::FindConnectionPoint(REFIID riid, IConnectionPoint **ppCP)
{
    if (!ppCP)
        return E_POINTER;
    *ppCP = nullptr;
    IConnectionPoint *point = nullptr;
    if (riid == IID_IPropertyNotifySink)
        point = &m_propertyNotify;
    else if (m_class.sourceInterface && riid == m_class.sourceInterface->iid)
        point = &m_events;
    else
        return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *ppCP = point;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::GetClassID(CLSID *pClassID)
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = m_class.clsid;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::InitNew()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::Load(IPropertyBag *pPropBag, IErrorLog *)
{
    if (!pPropBag)
        return E_POINTER;
    if (!m_widget)
        return CO_E_OBJNOTCONNECTED;
    PropertyStoreOverBag store(pPropBag);
    const platform::PropertyBag bag(store);
    try {
        const int width = himetricToPixels(
            bag.ReadProperty(kExtentX, pixelsToHimetric(m_widget->width())).toInt32());
        const int height = himetricToPixels(
            bag.ReadProperty(kExtentY, pixelsToHimetric(m_widget->height())).toInt32());
        m_widget->resize(width, height);
        readProperties(bag);
    } catch (const platform::RuntimeError &e) {
        return hresultFromErrorNumber(e.number());
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::Save(IPropertyBag *pPropBag, BOOL, BOOL)
{
    if (!pPropBag)
        return E_POINTER;
    if (!m_widget)
        return CO_E_OBJNOTCONNECTED;
    PropertyStoreOverBag store(pPropBag);
    platform::PropertyBag bag(store);
    try {
        bag.WriteProperty(kExtentX, pixelsToHimetric(m_widget->width()));
        bag.WriteProperty(kExtentY, pixelsToHimetric(m_widget->height()));
        writeProperties(bag);
    } catch (const platform::RuntimeError &e) {
        return hresultFromErrorNumber(e.number());
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::SetSite(IControlSite *pSite)
{
    m_site = ComPtr<IControlSite>(pSite);
    QWidget *parent = nullptr;
    if (m_site)
        m_site->GetParentWidget(&parent);
    if (m_widget)
        m_widget->setParent(parent);
    siteChanged();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::GetSite(IControlSite **ppSite)
{
    if (!ppSite)
        return E_POINTER;
    *ppSite = m_site.get();
    if (!*ppSite)
        return E_FAIL;
    m_site->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::GetWidget(QWidget **ppWidget)
{
    if (!ppWidget)
        return E_POINTER;
    *ppWidget = m_widget;
    return m_widget ? S_OK : CO_E_OBJNOTCONNECTED;
}

namespace {

// What a vtable caller gets for a failed Invoke: the error itself, not
// DISP_E_EXCEPTION.
HRESULT vtableResult(HRESULT h, EXCEPINFO &info)
{
    const HRESULT result = h == DISP_E_EXCEPTION ? info.scode : h;
    clearExcepInfo(&info);
    return result;
}

} // namespace

HRESULT ControlObject::getValue(DISPID dispid, VARTYPE vt, void *value)
{
    if (!value)
        return E_POINTER;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    HRESULT h = Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, &info, nullptr);
    if (SUCCEEDED(h))
        h = VariantChangeType(&result, &result, VARIANT_ALPHABOOL, vt);
    if (FAILED(h)) {
        VariantClear(&result);
        return vtableResult(h, info);
    }
    switch (vt) {
    case VT_BSTR: *static_cast<BSTR *>(value) = result.bstrVal; break;
    case VT_BOOL: *static_cast<VARIANT_BOOL *>(value) = result.boolVal; break;
    case VT_I2: *static_cast<SHORT *>(value) = result.iVal; break;
    case VT_I4: *static_cast<LONG *>(value) = result.lVal; break;
    default: VariantClear(&result); return DISP_E_BADVARTYPE;
    }
    return S_OK;
}

HRESULT ControlObject::putValue(DISPID dispid, VARTYPE vt, void *value)
{
    if (!value)
        return E_POINTER;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BYREF | vt;
    arg.byref = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    EXCEPINFO info{};
    const HRESULT h = Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, &info,
                             nullptr);
    return vtableResult(h, info);
}

HRESULT ControlObject::callMethod(DISPID dispid)
{
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO info{};
    const HRESULT h = Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, &info, nullptr);
    return vtableResult(h, info);
}

void ControlObject::fireEvent(DISPID dispid, DISPPARAMS &params)
{
    EXCEPINFO info{};
    const HRESULT h = m_events.forEachSink([&](IDispatch *sink) {
        UINT argErr = 0;
        const HRESULT invoked =
            sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, &argErr);
        if (invoked == DISP_E_EXCEPTION)
            return invoked;
        clearExcepInfo(&info);
        return S_OK;
    });
    if (SUCCEEDED(h))
        return;
    const platform::RuntimeError error = errorFromInvoke(h, info);
    clearExcepInfo(&info);
    throw error;
}

bool ControlObject::ambientUserMode() const
{
    const ComPtr<IDispatch> ambient = ambientProperties();
    if (!ambient)
        return true;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT h = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                &result, nullptr, nullptr);
    if (SUCCEEDED(h))
        h = VariantChangeType(&result, &result, VARIANT_ALPHABOOL, VT_BOOL);
    const bool userMode = FAILED(h) || result.boolVal != VARIANT_FALSE;
    VariantClear(&result);
    return userMode;
}

} // namespace platform::com
