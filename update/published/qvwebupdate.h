#pragma once

#include "platform/com/core/dispatch.h"
#include "update/published/identifiers.h"
#include "update/published/progressbartypes.h"

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

using progressbar::OleColour;

class _ctlWebUpdate : public platform::com::IDispatch {
public:
    virtual HRESULT STDMETHODCALLTYPE get_DownloadLocation(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DownloadLocation(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DownloadFile(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DownloadFile(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DownloadVersionFile(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DownloadVersionFile(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentVersion(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CurrentVersion(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConfirmDownload(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConfirmDownload(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AutoRun(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AutoRun(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LogFilename(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_LogFilename(BSTR *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE RunUpdate() = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelDownload() = 0;

protected:
    ~_ctlWebUpdate() = default;
};

// Alignment, GradientColour, BorderStyle and CaptionType are 32-bit
// enumerations and travel as LONG.
class _qvProgressBar : public platform::com::IDispatch {
public:
    virtual HRESULT STDMETHODCALLTYPE get_ReverseGradient(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ReverseGradient(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Horizontal(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Horizontal(VARIANT_BOOL *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Alignment(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Alignment(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_GradientColour(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_GradientColour(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarginSize(SHORT *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarginSize(SHORT *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BorderStyle(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BorderStyle(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BackColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BackColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FontColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FontColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BarColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BarColour(OleColour *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Max(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Max(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Min(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Min(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Value(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DotWidth(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DotWidth(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_GapWidth(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_GapWidth(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CaptionType(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CaptionType(LONG *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Caption(BSTR *value) = 0;

protected:
    ~_qvProgressBar() = default;
};

} // namespace qvWebUpdate
