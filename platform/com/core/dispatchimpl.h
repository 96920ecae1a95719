#pragma once

#include "platform/com/core/comimpl.h"
#include "platform/com/core/dispatch.h"

namespace platform::com {

// ComImpl for an object whose IDispatch (one of Ifaces...) is called by
// DISPID only: it offers no type information and knows no names, unless
// the derived class overrides GetIDsOfNames.
template <typename... Ifaces>
class DispatchImpl : public ComImpl<Ifaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *pctinfo) override
    {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo) override
    {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT cNames, LCID, DISPID *rgDispId) override
    {
        for (UINT i = 0; rgDispId && i < cNames; ++i)
            rgDispId[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
};

} // namespace platform::com
