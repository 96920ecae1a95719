#include "platform/com/core/comimpl.h"
#include "platform/com/core/comvariant.h"
#include "platform/com/core/dispatch.h"
#include "tests/support/countedobject.h"

#include <gtest/gtest.h>

using namespace platform::com;

namespace {

struct Holder {
    Holder() { VariantInit(&v); }
    ~Holder() { VariantClear(&v); }
    VARIANT v;
};

VARIANT text(const QString &s)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = bstrFromQString(s);
    return v;
}

using Counted = testsupport::CountedObject;

} // namespace

TEST(ComVariant, ChangeTypeFollowsThePlatformConversions)
{
    Holder src, dst;
    src.v = text(QStringLiteral(" 42 "));
    ASSERT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_I4), S_OK);
    EXPECT_EQ(dst.v.vt, VT_I4);
    EXPECT_EQ(dst.v.lVal, 42);

    VariantClear(&src.v);
    src.v.vt = VT_R8;
    src.v.dblVal = 2.5;
    ASSERT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_I2), S_OK);
    EXPECT_EQ(dst.v.iVal, 2) << "halves go to the even neighbour";

    src.v.dblVal = 40000;
    EXPECT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_I2), DISP_E_OVERFLOW);

    VariantClear(&src.v);
    src.v = text(QStringLiteral("yes please"));
    EXPECT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_BOOL), DISP_E_TYPEMISMATCH);

    VariantClear(&src.v);
    src.v.vt = VT_BOOL;
    src.v.boolVal = VARIANT_TRUE;
    ASSERT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(qstringFromBstr(dst.v.bstrVal), QStringLiteral("True"));
    ASSERT_EQ(VariantChangeType(&dst.v, &src.v, VARIANT_ALPHABOOL, VT_I4), S_OK);
    EXPECT_EQ(dst.v.lVal, -1);
}

TEST(ComVariant, ChangeTypeReadsThroughByrefWithoutTouchingTheCallersValue)
{
    BSTR owned = bstrFromQString(QStringLiteral("7"));
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &owned;
    ASSERT_EQ(VariantChangeType(&ref, &ref, VARIANT_ALPHABOOL, VT_I4), S_OK);
    EXPECT_EQ(ref.vt, VT_I4);
    EXPECT_EQ(ref.lVal, 7);
    EXPECT_EQ(qstringFromBstr(owned), QStringLiteral("7"));
    SysFreeString(owned);
}

TEST(ComVariant, InterfacesConvertOnlyToInterfaces)
{
    Counted *object = new Counted;
    Holder v, copy;
    v.v.vt = VT_UNKNOWN;
    v.v.punkVal = object;
    EXPECT_EQ(VariantChangeType(&copy.v, &v.v, VARIANT_ALPHABOOL, VT_BSTR), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(VariantCopy(&copy.v, &v.v), S_OK);
    EXPECT_EQ(object->refs(), 2u);
    VariantClear(&copy.v);
    EXPECT_EQ(object->refs(), 1u);
}

TEST(ComVariant, CopyIsDeepAndCopyIndDereferences)
{
    Holder a, b;
    a.v = text(QStringLiteral("original"));
    ASSERT_EQ(VariantCopy(&b.v, &a.v), S_OK);
    EXPECT_NE(b.v.bstrVal, a.v.bstrVal);
    EXPECT_EQ(qstringFromBstr(b.v.bstrVal), QStringLiteral("original"));

    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &a.v.bstrVal;
    ASSERT_EQ(VariantCopyInd(&b.v, &ref), S_OK);
    EXPECT_EQ(b.v.vt, VT_BSTR);
    EXPECT_NE(b.v.bstrVal, a.v.bstrVal);
}

TEST(ComVariant, PlatformValuesRoundTrip)
{
    const platform::Variant values[] = {platform::Variant(), platform::Variant(QStringLiteral("x")),
                                        platform::Variant(true), platform::Variant(std::int16_t(-3)),
                                        platform::Variant(std::int32_t(70000)), platform::Variant(1.5f),
                                        platform::Variant(2.25)};
    for (const platform::Variant &value : values) {
        Holder h;
        assignPlatformVariant(&h.v, value);
        EXPECT_EQ(h.v.vt, vartypeOf(value.type()));
        EXPECT_EQ(toPlatformVariant(h.v), value);
    }
    Holder h;
    h.v.vt = VT_BOOL;
    h.v.boolVal = VARIANT_TRUE;
    EXPECT_EQ(toPlatformVariant(h.v), platform::Variant(true));
}
