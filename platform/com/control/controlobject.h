#pragma once

#include "platform/com/control/connectionpoint.h"
#include "platform/com/control/dispatcher.h"
#include "platform/com/core/comptr.h"
#include "platform/com/core/controlinterfaces.h"
#include "platform/com/core/dispatchimpl.h"
#include "platform/com/core/persistinterfaces.h"
#ifdef _WIN32
#include "platform/com/control/activex/activex_win.h"
#endif

#include <QPointer>
#include <QWidget>
#include <memory>

namespace platform {
class PropertyBag;
}

namespace platform::com {

// The control runtime's part of every control: one object that a
// container drives through IDispatch (the class's default interface, by
// the type table), IConnectionPointContainer (the class's source interface
// and IPropertyNotifySink), IPersistPropertyBag and IControl. A derived
// class wraps one control widget, binds the interface's members to it and
// restores and saves its settings.
//
// Every property put that succeeds, through IDispatch or the dual
// interface, tells the IPropertyNotifySink sinks OnChanged with the
// property's DISPID, also when the value didn't change; a put that fails
// doesn't, and neither does a restore from the bag.
//
// Besides the control's own keys, the bag holds the control's extent in
// HIMETRIC under "_ExtentX" and "_ExtentY", as containers expect.
//
// On Windows the object also answers IProvideClassInfo2, and its type
// information and names come from the type library embedded in the module
// (so scripting hosts bind by name and find the event interface); on Linux
// it has no type information and the dispatcher looks names up. On Windows
// it is also an ActiveX control (ActiveX): standard containers place it in
// their windows through the OLE interfaces, and its ambient properties come
// from their client site.
#ifdef _WIN32
using ControlObjectBase =
    DispatchImpl<IDispatch, IConnectionPointContainer, IPersistPropertyBag, IControl, IProvideClassInfo2>;
#else
using ControlObjectBase = DispatchImpl<IDispatch, IConnectionPointContainer, IPersistPropertyBag, IControl>;
#endif

class ControlObject : public ControlObjectBase {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;

#ifdef _WIN32
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo **ppTInfo) override;
#endif
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid,
                                            DISPID *rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                                     VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint **ppCP) override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *pClassID) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag *pPropBag, IErrorLog *pErrorLog) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag *pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    HRESULT STDMETHODCALLTYPE SetSite(IControlSite *pSite) override;
    HRESULT STDMETHODCALLTYPE GetSite(IControlSite **ppSite) override;
    HRESULT STDMETHODCALLTYPE GetWidget(QWidget **ppWidget) override;

#ifdef _WIN32
    // The class's type information, and for GUIDKIND_DEFAULT_SOURCE_DISP_IID
    // its source interface.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo **ppTI) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID *pGUID) override;
#endif

protected:
    // Takes ownership of the widget, which lives until the last Release
    // (or until a parent the container gave it deletes it).
    ControlObject(const ClassInfo &cls, QWidget *widget);
    ~ControlObject() override;

    // Binds the members of the class's default interface; the derived
    // constructor calls it once.
    void bind(const std::vector<Dispatcher::Binding> &bindings);

    virtual void readProperties(const platform::PropertyBag &bag) = 0;
    virtual void writeProperties(platform::PropertyBag &bag) = 0;
    // Called after the container gave or took back the site.
    virtual void siteChanged() {}

    // The vtable half of a dual interface: a property get, put or method
    // call by DISPID through the same dispatcher. value points to a value of
    // the C type of vt (BSTR, VARIANT_BOOL, SHORT or LONG); a BSTR got is the
    // caller's to free. A run-time error comes back as
    // MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number).
    HRESULT getValue(DISPID dispid, VARTYPE vt, void *value);
    HRESULT putValue(DISPID dispid, VARTYPE vt, void *value);
    HRESULT callMethod(DISPID dispid);

    // Raises an event of the source interface on the connected sinks, in
    // the order they were connected. A handler's error (the sink answers
    // DISP_E_EXCEPTION) ends the event there, as a VB-style runtime does:
    // later sinks don't get it, and fireEvent raises the error as the
    // platform::RuntimeError it describes. A sink that fails in any other
    // way doesn't take the event and is passed over.
    void fireEvent(DISPID dispid, DISPPARAMS &params);
    // The container's ambient UserMode; true without a site or when the
    // site doesn't answer, so a control runs as it would for a user.
    bool ambientUserMode() const;
    QWidget *widget() const { return m_widget; }

private:
    // The interfaces only one platform has: on Windows the OLE ones.
    HRESULT platformInterface(REFIID riid, void **ppvObject);
    // Where the ambient properties are read: the site's IDispatch.
    ComPtr<IDispatch> ambientProperties() const;

    const ClassInfo &m_class;
    QPointer<QWidget> m_widget;
    std::unique_ptr<Dispatcher> m_dispatcher;
    ConnectionPoint<IDispatch> m_events;
    ConnectionPoint<IPropertyNotifySink> m_propertyNotify;
    ComPtr<IControlSite> m_site;
#ifdef _WIN32
    ActiveX m_activeX{*this, m_widget.data(), [this] { siteChanged(); }};
#endif
};

} // namespace platform::com
