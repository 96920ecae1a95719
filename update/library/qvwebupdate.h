#pragma once

#include "platform/com/dispatch.h"
#include "update/library/typelibrary.h"

// The library's dual interfaces for hosts that bind early: the slots in
// the order of the type table, each property's get_ then its put_. A put
// takes its value by reference ([in, out]); a get returns it through the
// pointer (a BSTR got is the caller's to free). Hosts that bind late use
// IDispatch with the DISPIDs of dispids.h instead. Neither needs to link
// the library.
namespace qvWebUpdate {

using platform::com::BSTR;
using platform::com::HRESULT;
using platform::com::LONG;
using platform::com::SHORT;
using platform::com::VARIANT_BOOL;

// 0x00BBGGRR, or a system colour with the high bit set.
using OLE_COLOR = std::uint32_t;

class _ctlWebUpdate : public platform::com::IDispatch {
public:
    virtual HRESULT get_DownloadLocation(BSTR *value) = 0;
    virtual HRESULT put_DownloadLocation(BSTR *value) = 0;
    virtual HRESULT get_DownloadFile(BSTR *value) = 0;
    virtual HRESULT put_DownloadFile(BSTR *value) = 0;
    virtual HRESULT get_DownloadVersionFile(BSTR *value) = 0;
    virtual HRESULT put_DownloadVersionFile(BSTR *value) = 0;
    virtual HRESULT get_CurrentVersion(BSTR *value) = 0;
    virtual HRESULT put_CurrentVersion(BSTR *value) = 0;
    virtual HRESULT get_ConfirmDownload(VARIANT_BOOL *value) = 0;
    virtual HRESULT put_ConfirmDownload(VARIANT_BOOL *value) = 0;
    virtual HRESULT get_AutoRun(VARIANT_BOOL *value) = 0;
    virtual HRESULT put_AutoRun(VARIANT_BOOL *value) = 0;
    virtual HRESULT get_LogFilename(BSTR *value) = 0;
    virtual HRESULT put_LogFilename(BSTR *value) = 0;
    virtual HRESULT RunUpdate() = 0;
    virtual HRESULT CancelDownload() = 0;

protected:
    ~_ctlWebUpdate() = default;
};

// Alignment, GradientColour, BorderStyle and CaptionType are 32-bit
// enumerations and travel as LONG.
class _qvProgressBar : public platform::com::IDispatch {
public:
    virtual HRESULT get_ReverseGradient(VARIANT_BOOL *value) = 0;
    virtual HRESULT put_ReverseGradient(VARIANT_BOOL *value) = 0;
    virtual HRESULT get_Horizontal(VARIANT_BOOL *value) = 0;
    virtual HRESULT put_Horizontal(VARIANT_BOOL *value) = 0;
    virtual HRESULT get_Alignment(LONG *value) = 0;
    virtual HRESULT put_Alignment(LONG *value) = 0;
    virtual HRESULT get_GradientColour(LONG *value) = 0;
    virtual HRESULT put_GradientColour(LONG *value) = 0;
    virtual HRESULT get_MarginSize(SHORT *value) = 0;
    virtual HRESULT put_MarginSize(SHORT *value) = 0;
    virtual HRESULT get_BorderStyle(LONG *value) = 0;
    virtual HRESULT put_BorderStyle(LONG *value) = 0;
    virtual HRESULT get_BackColour(OLE_COLOR *value) = 0;
    virtual HRESULT put_BackColour(OLE_COLOR *value) = 0;
    virtual HRESULT get_FontColour(OLE_COLOR *value) = 0;
    virtual HRESULT put_FontColour(OLE_COLOR *value) = 0;
    virtual HRESULT get_BarColour(OLE_COLOR *value) = 0;
    virtual HRESULT put_BarColour(OLE_COLOR *value) = 0;
    virtual HRESULT get_Max(LONG *value) = 0;
    virtual HRESULT put_Max(LONG *value) = 0;
    virtual HRESULT get_Min(LONG *value) = 0;
    virtual HRESULT put_Min(LONG *value) = 0;
    virtual HRESULT get_Value(LONG *value) = 0;
    virtual HRESULT put_Value(LONG *value) = 0;
    virtual HRESULT get_DotWidth(LONG *value) = 0;
    virtual HRESULT put_DotWidth(LONG *value) = 0;
    virtual HRESULT get_GapWidth(LONG *value) = 0;
    virtual HRESULT put_GapWidth(LONG *value) = 0;
    virtual HRESULT get_CaptionType(LONG *value) = 0;
    virtual HRESULT put_CaptionType(LONG *value) = 0;
    virtual HRESULT put_Caption(BSTR *value) = 0;

protected:
    ~_qvProgressBar() = default;
};

} // namespace qvWebUpdate
