#include "platform/com/core/classfactory.h"
#include "platform/com/core/comptr.h"
#include "platform/com/server/server.h"
#include "tests/support/countedobject.h"

#include <gtest/gtest.h>

using namespace platform::com;

namespace {

constexpr ClassInfo sampleClass{"Sample", makeGuid("6B1D0C1E-0000-4000-8000-000000000002"), ClassCanCreate,
                                nullptr, nullptr, "Test.Sample", 0, {0, 0, 24, {}, {}}};
constexpr ClassInfo otherClass{"Other", makeGuid("6B1D0C1E-0000-4000-8000-000000000012"), ClassCanCreate,
                               nullptr, nullptr, "Test.Other", 0, {0, 0, 24, {}, {}}};

HRESULT createCounted(REFIID riid, void **ppv)
{
    auto *object = new testsupport::CountedObject;
    const HRESULT h = object->QueryInterface(riid, ppv);
    object->Release();
    return h;
}

} // namespace

TEST(ClassObject, MakesObjectsCountsThemAndHonoursLocks)
{
    const server::ClassEntry entries[] = {{&sampleClass, &createCounted}};
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(server::getClassObject(entries, otherClass.clsid, IID_IClassFactory, factory.putVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(server::getClassObject(entries, sampleClass.clsid, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(server::canUnloadNow(), S_FALSE) << "the factory itself is alive";

    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(factory.get(), IID_IUnknown, object.putVoid()), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
    factory->LockServer(TRUE);
    factory.reset();
    object.reset();
    EXPECT_EQ(server::canUnloadNow(), S_FALSE) << "locked";
    ASSERT_EQ(server::getClassObject(entries, sampleClass.clsid, IID_IClassFactory, factory.putVoid()), S_OK);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(server::canUnloadNow(), S_OK);
}
