#include "platform/com/control/dispatcher.h"

#include "platform/com/core/automation.h"
#include "platform/core/runtimeerror.h"

#include <new>
#include <stdexcept>

namespace platform::com {

Dispatcher::Dispatcher(const InterfaceInfo &iface, const std::vector<Binding> &bindings, QString source)
    : m_iface(iface), m_source(std::move(source))
{
    for (const MemberInfo &member : iface.members) {
        Entry &entry = m_entries[member.dispid];
        switch (member.kind) {
        case MemberKind::PropertyGet: entry.getter = &member; break;
        case MemberKind::PropertyPut: entry.putter = &member; break;
        case MemberKind::Method: entry.method = &member; break;
        }
    }
    for (const Binding &binding : bindings) {
        if (!m_entries.contains(binding.dispid))
            throw std::logic_error("binding for a DISPID the interface lacks");
        m_entries[binding.dispid].binding = binding;
    }
    for (const Entry &entry : std::as_const(m_entries)) {
        if ((entry.getter && !entry.binding.get) || (entry.putter && !entry.binding.put)
            || (entry.method && !entry.binding.call))
            throw std::logic_error("member of the interface without a binding");
    }
}

HRESULT Dispatcher::GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID, DISPID *rgDispId) const
{
    if (!(riid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (cNames == 0 || !rgszNames || !rgDispId)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    const QString name = qstringFromOleString(rgszNames[0]);
    for (const MemberInfo &member : m_iface.members) {
        if (name.compare(QLatin1String(member.name), Qt::CaseInsensitive) == 0) {
            rgDispId[0] = member.dispid;
            // No member has named parameters.
            return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT Dispatcher::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS *pDispParams,
                           VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) const
{
    if (!(riid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (!pDispParams)
        return E_INVALIDARG;
    const auto it = m_entries.constFind(dispIdMember);
    if (it == m_entries.constEnd())
        return DISP_E_MEMBERNOTFOUND;
    const Entry &entry = *it;
    try {
        if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
            return entry.putter ? invokePut(entry, *pDispParams, puArgErr) : DISP_E_MEMBERNOTFOUND;
        if ((wFlags & DISPATCH_PROPERTYGET) && entry.getter)
            return invokeGet(entry, *pDispParams, pVarResult);
        if ((wFlags & DISPATCH_METHOD) && entry.method)
            return invokeMethod(entry, *pDispParams, pVarResult);
        return wFlags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    } catch (const platform::RuntimeError &e) {
        return exceptionFromError(e, m_source, pExcepInfo);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Dispatcher::invokeGet(const Entry &entry, const DISPPARAMS &params, VARIANT *result) const
{
    if (params.cArgs != 0 || params.cNamedArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    const platform::Variant value = entry.binding.get();
    if (!result)
        return S_OK;
    assignPlatformVariant(result, value);
    return VariantChangeType(result, result, VARIANT_ALPHABOOL, entry.getter->type.vt);
}

HRESULT Dispatcher::invokePut(const Entry &entry, const DISPPARAMS &params, UINT *argErr) const
{
    if (params.cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTFOUND;
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT h = VariantChangeType(&converted, &params.rgvarg[0], VARIANT_ALPHABOOL, entry.putter->type.vt);
    if (FAILED(h)) {
        if (argErr)
            *argErr = 0;
        return h;
    }
    platform::Variant value;
    try {
        value = toPlatformVariant(converted);
    } catch (...) {
        VariantClear(&converted);
        throw;
    }
    VariantClear(&converted);
    entry.binding.put(value);
    return S_OK;
}

HRESULT Dispatcher::invokeMethod(const Entry &entry, const DISPPARAMS &params, VARIANT *result) const
{
    if (params.cArgs != 0 || params.cNamedArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    entry.binding.call();
    if (result)
        VariantClear(result);
    return S_OK;
}

} // namespace platform::com
