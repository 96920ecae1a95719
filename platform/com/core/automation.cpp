#include "platform/com/core/automation.h"

namespace platform::com {

namespace {

constexpr int kAutomationError = 440;
constexpr int kNotSupported = 438;
constexpr int kWrongArguments = 450;

class InvokeResult {
public:
    InvokeResult()
    {
        VariantInit(&value);
    }
    ~InvokeResult()
    {
        VariantClear(&value);
        clearExcepInfo(&info);
    }
    InvokeResult(const InvokeResult &) = delete;
    InvokeResult &operator=(const InvokeResult &) = delete;

    VARIANT value;
    EXCEPINFO info{};
    UINT argErr = 0;
};

void invoke(IDispatch *object, DISPID dispid, WORD flags, DISPPARAMS &params, InvokeResult &result)
{
    if (!object)
        throw platform::RuntimeError(91, QStringLiteral("Object variable or With block variable not set"));
    const HRESULT h = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.value,
                                     &result.info, &result.argErr);
    if (FAILED(h))
        throw errorFromInvoke(h, result.info);
}

} // namespace

platform::Variant getProperty(IDispatch *object, DISPID dispid)
{
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    InvokeResult result;
    invoke(object, dispid, DISPATCH_PROPERTYGET, params, result);
    return toPlatformVariant(result.value);
}

void putProperty(IDispatch *object, DISPID dispid, const platform::Variant &value)
{
    VARIANT arg;
    VariantInit(&arg);
    assignPlatformVariant(&arg, value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    InvokeResult result;
    try {
        invoke(object, dispid, DISPATCH_PROPERTYPUT, params, result);
    } catch (...) {
        VariantClear(&arg);
        throw;
    }
    VariantClear(&arg);
}

void callMethod(IDispatch *object, DISPID dispid)
{
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    InvokeResult result;
    invoke(object, dispid, DISPATCH_METHOD, params, result);
}

platform::RuntimeError errorFromInvoke(HRESULT h, const EXCEPINFO &info)
{
    if (h == DISP_E_EXCEPTION) {
        int number = kAutomationError;
        if (info.wCode)
            number = info.wCode;
        else if (HRESULT_FACILITY(info.scode) == FACILITY_CONTROL)
            number = int(HRESULT_CODE(info.scode));
        const QString description = qstringFromBstr(info.bstrDescription);
        return description.isEmpty() ? platform::RuntimeError(number) : platform::RuntimeError(number, description);
    }
    if (h == DISP_E_TYPEMISMATCH)
        return platform::RuntimeError(platform::ErrTypeMismatch);
    if (h == DISP_E_OVERFLOW)
        return platform::RuntimeError(platform::ErrOverflow);
    if (h == DISP_E_MEMBERNOTFOUND || h == DISP_E_UNKNOWNNAME)
        return platform::RuntimeError(kNotSupported, QStringLiteral("Object doesn't support this property or method"));
    if (h == DISP_E_BADPARAMCOUNT || h == DISP_E_PARAMNOTFOUND)
        return platform::RuntimeError(kWrongArguments,
                                      QStringLiteral("Wrong number of arguments or invalid property assignment"));
    return platform::RuntimeError(kAutomationError, QStringLiteral("Automation error: ") + hresultMessage(h));
}

HRESULT exceptionFromError(const platform::RuntimeError &error, const QString &source, EXCEPINFO *info)
{
    if (info) {
        *info = EXCEPINFO{};
        info->bstrSource = bstrFromQString(source);
        info->bstrDescription = bstrFromQString(error.description());
        info->scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, std::uint32_t(error.number()));
    }
    return DISP_E_EXCEPTION;
}

QString hresultMessage(HRESULT h)
{
    const char *text = nullptr;
    switch (h) {
    case S_OK: text = "Success"; break;
    case E_NOTIMPL: text = "Not implemented"; break;
    case E_NOINTERFACE: text = "No such interface supported"; break;
    case E_POINTER: text = "Invalid pointer"; break;
    case E_FAIL: text = "Unspecified error"; break;
    case E_UNEXPECTED: text = "Catastrophic failure"; break;
    case E_OUTOFMEMORY: text = "Out of memory"; break;
    case E_INVALIDARG: text = "The parameter is incorrect"; break;
    case CLASS_E_NOAGGREGATION: text = "Class does not support aggregation"; break;
    case CLASS_E_CLASSNOTAVAILABLE: text = "The library does not provide this class"; break;
    case REGDB_E_CLASSNOTREG: text = "Class not registered"; break;
    case REGDB_E_READREGDB: text = "Could not read the class registry"; break;
    case REGDB_E_WRITEREGDB: text = "Could not write the class registry"; break;
    case SELFREG_E_CLASS: text = "Could not register the classes"; break;
    case CO_E_NOTINITIALIZED: text = "No application object on this thread"; break;
    case CO_E_CLASSSTRING: text = "Invalid class string"; break;
    case CO_E_DLLNOTFOUND: text = "The library of the class could not be loaded"; break;
    case CO_E_ERRORINDLL: text = "The library of the class lacks an entry point"; break;
    case CO_E_OBJNOTCONNECTED: text = "Object is not connected"; break;
    case RPC_E_WRONG_THREAD: text = "Called from the wrong thread"; break;
    case DISP_E_UNKNOWNINTERFACE: text = "Unknown interface"; break;
    case DISP_E_MEMBERNOTFOUND: text = "Member not found"; break;
    case DISP_E_PARAMNOTFOUND: text = "Parameter not found"; break;
    case DISP_E_TYPEMISMATCH: text = "Type mismatch"; break;
    case DISP_E_UNKNOWNNAME: text = "Unknown name"; break;
    case DISP_E_BADVARTYPE: text = "Bad variable type"; break;
    case DISP_E_EXCEPTION: text = "Exception occurred"; break;
    case DISP_E_OVERFLOW: text = "Out of present range"; break;
    case DISP_E_BADPARAMCOUNT: text = "Invalid number of parameters"; break;
    default: break;
    }
    const QString code = QStringLiteral("0x%1").arg(quint32(h), 8, 16, QLatin1Char('0')).toUpper().replace(
        QLatin1String("0X"), QLatin1String("0x"));
    if (!text)
        return QStringLiteral("Error ") + code;
    return QString::fromLatin1(text) + QStringLiteral(" (") + code + QLatin1Char(')');
}

} // namespace platform::com
