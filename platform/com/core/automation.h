#pragma once

#include "platform/com/core/dispatch.h"
#include "platform/core/runtimeerror.h"
#include "platform/core/variant.h"

// Late binding for hosts: property get and put and method calls by DISPID
// that raise a failure as the run-time error a host's code would see.
namespace platform::com {

platform::Variant getProperty(IDispatch *object, DISPID dispid);
void putProperty(IDispatch *object, DISPID dispid, const platform::Variant &value);
void callMethod(IDispatch *object, DISPID dispid);

// The run-time error a failed Invoke stands for: the object's own error
// (number and description) for DISP_E_EXCEPTION, 13 "Type mismatch",
// 6 "Overflow", 438 for a member that isn't there, 450 for wrong
// arguments, and 440 "Automation error" for anything else.
platform::RuntimeError errorFromInvoke(HRESULT h, const EXCEPINFO &info);
// The other way: an Invoke that fails with the run-time error answers
// DISP_E_EXCEPTION and fills info (when given) with the error's number in
// scode (FACILITY_CONTROL), its description and source, the object's name.
HRESULT exceptionFromError(const platform::RuntimeError &error, const QString &source, EXCEPINFO *info);

// A readable text for the HRESULTs of this runtime, with its hexadecimal value.
QString hresultMessage(HRESULT h);

} // namespace platform::com
