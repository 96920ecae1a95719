#include "update/library/webupdateobject.h"

#include "update/engine/ctlwebupdate.h"
#include "update/library/typelibrary.h"

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
    : ControlObject(ctlWebUpdateClass(), new ctlWebUpdate)
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
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BYREF | VT_BSTR;
    arg.pbstrVal = &text;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    fireEvent(id::StatusChange, params);
    message = qstringFromBstr(text);
    SysFreeString(text);
}

} // namespace qvWebUpdate
