#pragma once

#include "platform/com/core/dispatch.h"
#include "platform/com/typelib/typetable.h"

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace platform::com {

// IDispatch for one interface of the type table: maps names to DISPIDs and
// invokes each member through the function bound to its DISPID. Arguments
// are converted to the member's declared type before the function runs and
// results to it afterwards; a platform::RuntimeError raised by a function
// comes back as DISP_E_EXCEPTION with its number and description.
class Dispatcher {
public:
    // Functions of one DISPID: get and put for a property's get and put
    // slots, call for a method. The Variant a put receives already has the
    // member's declared type.
    struct Binding {
        DISPID dispid;
        std::function<platform::Variant()> get;
        std::function<void(const platform::Variant &)> put;
        std::function<void()> call;
    };

    // Every member of the interface needs its function; a missing one
    // raises std::logic_error. source names the object in EXCEPINFO.
    Dispatcher(const InterfaceInfo &iface, const std::vector<Binding> &bindings, QString source);

    // Names match without regard to case; DISP_E_UNKNOWNNAME otherwise.
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid, DISPID *rgDispId) const;
    // DISP_E_MEMBERNOTFOUND for a DISPID or kind the interface lacks,
    // DISP_E_BADPARAMCOUNT for a wrong number of arguments,
    // DISP_E_PARAMNOTFOUND for a put without the DISPID_PROPERTYPUT name,
    // DISP_E_TYPEMISMATCH / DISP_E_OVERFLOW for a value that doesn't convert.
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                   VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) const;

private:
    struct Entry {
        const MemberInfo *getter = nullptr;
        const MemberInfo *putter = nullptr;
        const MemberInfo *method = nullptr;
        Binding binding;
    };

    HRESULT invokeGet(const Entry &entry, const DISPPARAMS &params, VARIANT *result) const;
    HRESULT invokePut(const Entry &entry, const DISPPARAMS &params, UINT *argErr) const;
    HRESULT invokeMethod(const Entry &entry, const DISPPARAMS &params, VARIANT *result) const;

    const InterfaceInfo &m_iface;
    QHash<DISPID, Entry> m_entries;
    QString m_source;
};

} // namespace platform::com
