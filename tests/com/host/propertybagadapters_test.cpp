#include "platform/com/core/extent.h"
#include "platform/com/control/propertystoreoverbag.h"
#include "platform/com/core/comptr.h"
#include "platform/com/host/propertybagoverstore.h"
#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"

#include <gtest/gtest.h>

using namespace platform::com;

TEST(PropertyBagAdapters, AControlsBagRunsOverTheHostsIPropertyBag)
{
    platform::MemoryPropertyStore hostStore;
    hostStore.write(QStringLiteral("autorun"), platform::Variant(false));
    hostStore.write(QStringLiteral("Count"), platform::Variant(std::int32_t(7)));
    const auto hostBag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(hostStore));

    PropertyStoreOverBag store(hostBag.get());
    platform::PropertyBag bag(store);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("AutoRun"), true), platform::Variant(false));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Missing"), QStringLiteral("default")),
              platform::Variant(QStringLiteral("default")));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("COUNT")).toInt32(), 7);

    bag.WriteProperty(QStringLiteral("Name"), QStringLiteral("x"), QString());
    bag.WriteProperty(QStringLiteral("Empty"), QString(), QString());
    EXPECT_EQ(hostStore.read(QStringLiteral("name")), platform::Variant(QStringLiteral("x")));
    EXPECT_FALSE(hostStore.read(QStringLiteral("Empty"))) << "a value equal to its default is left out";
}

TEST(PropertyBagAdapters, ReadConvertsToTheTypeAsked)
{
    platform::MemoryPropertyStore hostStore;
    hostStore.write(QStringLiteral("Width"), platform::Variant(QStringLiteral("12")));
    hostStore.write(QStringLiteral("Flag"), platform::Variant(QStringLiteral("maybe")));
    const auto hostBag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(hostStore));

    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    ASSERT_EQ(hostBag->Read(OLESTR("width"), &v, nullptr), S_OK);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 12);
    v.vt = VT_BOOL;
    EXPECT_EQ(hostBag->Read(OLESTR("Flag"), &v, nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.vt = VT_BSTR; // a type wanted, with nothing behind it to free
    EXPECT_EQ(hostBag->Read(OLESTR("Absent"), &v, nullptr), E_INVALIDARG);
}
