#include "update/library/webupdateobject.h"

#include "update/engine/ctlwebupdate.h"
#include "update/library/typelibrary.h"

#include <QScopeGuard>

namespace qvWebUpdate {

using namespace platform::com;
namespace id = ctlWebUpdateId;

HRESULT WebUpdateObject::create(const IID &riid, void **ppv)
{
    auto *object = new WebUpdateObject();
    const HRESULT h = object->QueryInterface(riid, ppv);
    object->Release();
    return h;
}

WebUpdateObject::WebUpdateObject()
    : DualControlObject(ctlWebUpdateClass(), new ctlWebUpdate)
{
    ctlWebUpdate *c = control();
    QObject::connect(c, &ctlWebUpdate::StatusChange, c, [this](QString &message) { raiseStatusChange(message); });

    using V = platform::Variant;
    bind({
        {id::DownloadLocation, [c] { return V(c->DownloadLocation()); },
         [c](const V &v) { c->setDownloadLocation(v.toString()); }, {}},
        {id::DownloadFile, [c] { return V(c->DownloadFile()); }, [c](const V &v) { c->setDownloadFile(v.toString()); },
         {}},
        {id::DownloadVersionFile, [c] { return V(c->DownloadVersionFile()); },
         [c](const V &v) { c->setDownloadVersionFile(v.toString()); }, {}},
        {id::CurrentVersion, [c] { return V(c->CurrentVersion()); },
         [c](const V &v) { c->setCurrentVersion(v.toString()); }, {}},
        {id::ConfirmDownload, [c] { return V(c->ConfirmDownload()); },
         [c](const V &v) { c->setConfirmDownload(v.toBool()); }, {}},
        {id::AutoRun, [c] { return V(c->AutoRun()); }, [c](const V &v) { c->setAutoRun(v.toBool()); }, {}},
        {id::LogFilename, [c] { return V(c->LogFilename()); }, [c](const V &v) { c->setLogFilename(v.toString()); },
         {}},
        {id::RunUpdate, {}, {}, [c] { c->RunUpdate(); }},
        {id::CancelDownload, {}, {}, [c] { c->CancelDownload(); }},
    });
}

ctlWebUpdate *WebUpdateObject::control() const
{
    return static_cast<ctlWebUpdate *>(widget());
}

void WebUpdateObject::readProperties(const platform::PropertyBag &bag)
{
    control()->ReadProperties(bag);
}

void WebUpdateObject::writeProperties(platform::PropertyBag &bag)
{
    control()->WriteProperties(bag);
}

void WebUpdateObject::raiseStatusChange(QString &message)
{
    BSTR text = bstrFromQString(message);
    // A handler's error leaves through fireEvent.
    const auto freeText = qScopeGuard([&text] { SysFreeString(text); });
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BYREF | VT_BSTR;
    arg.pbstrVal = &text;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    fireEvent(id::StatusChange, params);
    message = qstringFromBstr(text);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_DownloadLocation(BSTR *value)
{
    return getValue(id::DownloadLocation, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_DownloadLocation(BSTR *value)
{
    return putValue(id::DownloadLocation, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_DownloadFile(BSTR *value)
{
    return getValue(id::DownloadFile, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_DownloadFile(BSTR *value)
{
    return putValue(id::DownloadFile, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_DownloadVersionFile(BSTR *value)
{
    return getValue(id::DownloadVersionFile, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_DownloadVersionFile(BSTR *value)
{
    return putValue(id::DownloadVersionFile, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_CurrentVersion(BSTR *value)
{
    return getValue(id::CurrentVersion, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_CurrentVersion(BSTR *value)
{
    return putValue(id::CurrentVersion, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_ConfirmDownload(VARIANT_BOOL *value)
{
    return getValue(id::ConfirmDownload, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_ConfirmDownload(VARIANT_BOOL *value)
{
    return putValue(id::ConfirmDownload, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_AutoRun(VARIANT_BOOL *value)
{
    return getValue(id::AutoRun, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_AutoRun(VARIANT_BOOL *value)
{
    return putValue(id::AutoRun, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::get_LogFilename(BSTR *value)
{
    return getValue(id::LogFilename, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::put_LogFilename(BSTR *value)
{
    return putValue(id::LogFilename, VT_BSTR, value);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::RunUpdate()
{
    return callMethod(id::RunUpdate);
}

HRESULT STDMETHODCALLTYPE WebUpdateObject::CancelDownload()
{
    return callMethod(id::CancelDownload);
}

} // namespace qvWebUpdate
