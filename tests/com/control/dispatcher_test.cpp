#include "platform/com/control/dispatcher.h"
#include "platform/core/runtimeerror.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform::com;

namespace {

constexpr DISPID kName = 1;
constexpr DISPID kCount = 2;
constexpr DISPID kReset = 3;
constexpr DISPID kLabel = 4;

constexpr MemberInfo members[] = {
    {"Name", kName, MemberKind::PropertyGet, types::String},
    {"Name", kName, MemberKind::PropertyPut, types::String},
    {"Count", kCount, MemberKind::PropertyGet, types::Integer},
    {"Count", kCount, MemberKind::PropertyPut, types::Integer},
    {"Reset", kReset, MemberKind::Method, types::None},
    {"Label", kLabel, MemberKind::PropertyPut, types::String},
};
constexpr InterfaceInfo iface{"_Sample", makeGuid("11111111-2222-3333-4444-555555555555"), InterfaceKind::Dual, 0,
                              members};

// A plain object driven through the dispatcher.
struct Sample {
    QString name;
    std::int16_t count = 0;
    QString label;
    int resets = 0;
};

class DispatchByTable : public ::testing::Test {
protected:
    DispatchByTable()
        : dispatcher(iface,
                     {
                         {kName, [this] { return platform::Variant(sample.name); },
                          [this](const platform::Variant &v) { sample.name = v.toString(); }, {}},
                         {kCount, [this] { return platform::Variant(sample.count); },
                          [this](const platform::Variant &v) {
                              if (v.toInt16() < 0)
                                  throw platform::RuntimeError(platform::ErrInvalidPropertyValue);
                              sample.count = v.toInt16();
                          },
                          {}},
                         {kReset, {}, {}, [this] { ++sample.resets; }},
                         {kLabel, {}, [this](const platform::Variant &v) { sample.label = v.toString(); }, {}},
                     },
                     QStringLiteral("Test.Sample"))
    {
        VariantInit(&result);
    }
    ~DispatchByTable() override
    {
        VariantClear(&result);
        clearExcepInfo(&info);
    }

    HRESULT put(DISPID id, VARIANT value, bool named = true)
    {
        DISPID namedId = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, named ? &namedId : nullptr, 1, named ? 1u : 0u};
        const HRESULT h = dispatcher.Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &info, &argErr);
        VariantClear(&value);
        return h;
    }
    HRESULT call(DISPID id, WORD flags, UINT args = 0)
    {
        VARIANT arg;
        VariantInit(&arg);
        DISPPARAMS params{&arg, nullptr, args, 0};
        return dispatcher.Invoke(id, IID_NULL, 0, flags, &params, &result, &info, &argErr);
    }
    static VARIANT longValue(LONG l)
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = l;
        return v;
    }
    static VARIANT textValue(const char *s)
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = bstrFromQString(QString::fromUtf8(s));
        return v;
    }

    Sample sample;
    Dispatcher dispatcher;
    VARIANT result;
    EXCEPINFO info{};
    UINT argErr = 99;
};

} // namespace

TEST_F(DispatchByTable, PutsAndGetsConvertToTheDeclaredType)
{
    ASSERT_EQ(put(kCount, textValue("12")), S_OK);
    EXPECT_EQ(sample.count, 12);
    ASSERT_EQ(call(kCount, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(result.vt, VT_I2);
    EXPECT_EQ(result.iVal, 12);

    ASSERT_EQ(put(kName, longValue(5)), S_OK);
    ASSERT_EQ(call(kName, DISPATCH_PROPERTYGET | DISPATCH_METHOD), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(qstringFromBstr(result.bstrVal), QStringLiteral("5"));

    ASSERT_EQ(call(kReset, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(sample.resets, 1);
}

TEST_F(DispatchByTable, RefusesWhatTheInterfaceDoesNotHave)
{
    EXPECT_EQ(call(99, DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call(kLabel, DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND) << "write-only";
    EXPECT_EQ(put(kReset, longValue(1)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call(kCount, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call(kReset, DISPATCH_METHOD, 1), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(call(kCount, DISPATCH_PROPERTYGET, 1), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(put(kCount, longValue(1), false), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(sample.resets, 0);
}

TEST_F(DispatchByTable, UnconvertibleValuesAreTypeMismatchOrOverflow)
{
    EXPECT_EQ(put(kCount, textValue("many")), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(put(kCount, longValue(40000)), DISP_E_OVERFLOW);
    EXPECT_EQ(sample.count, 0);
}

TEST_F(DispatchByTable, ARuntimeErrorComesBackInExcepInfo)
{
    ASSERT_EQ(put(kCount, longValue(-1)), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380));
    EXPECT_EQ(HRESULT_CODE(info.scode), 380u);
    EXPECT_EQ(qstringFromBstr(info.bstrDescription), QStringLiteral("Invalid property value"));
    EXPECT_EQ(qstringFromBstr(info.bstrSource), QStringLiteral("Test.Sample"));
}

TEST_F(DispatchByTable, NamesMapToDispidsWithoutRegardToCase)
{
    OLECHAR name[] = OLESTR("cOUNT");
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(dispatcher.GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, kCount);
    OLECHAR unknown[] = OLESTR("Colour");
    names[0] = unknown;
    EXPECT_EQ(dispatcher.GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(DispatchByTable, EveryMemberNeedsItsFunction)
{
    EXPECT_THROW(Dispatcher(iface, {{kName, [] { return platform::Variant(); }, {}, {}}}, QString()),
                 std::logic_error);
}
