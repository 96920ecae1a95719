#include "platform/com/core/automation.h"
#include "platform/com/core/classfactory.h"
#include "platform/com/core/comimpl.h"
#include "platform/com/core/comptr.h"
#include "platform/com/host/creation.h"
#include "platform/com/core/module.h"
#include "platform/com/runtime/registry.h"
#include "platform/com/server/registration.h"
#include "platform/com/server/server.h"
#include "platform/core/runtimeerror.h"
#include "tests/support/countedobject.h"
#include "tests/support/filecontent.h"
#include "tests/support/privatedatahome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <sys/stat.h>

using namespace platform::com;

namespace {

constexpr MemberInfo noMembers[] = {{"Go", 1, MemberKind::Method, types::None}};
constexpr InterfaceInfo sampleInterface{"_Sample", makeGuid("6B1D0C1E-0000-4000-8000-000000000001"),
                                        InterfaceKind::Dual, InterfaceDual, noMembers};
constexpr const char *rows[] = {"ab", "ba"};
constexpr std::pair<char, std::uint32_t> palette[] = {{'a', 0xFF0000}, {'b', 0x0000FF}};

constexpr ClassInfo sampleClass{"Sample", makeGuid("6B1D0C1E-0000-4000-8000-000000000002"), ClassCanCreate,
                                &sampleInterface, nullptr, "Test.Sample", 0x11, {2, 2, 4, rows, palette}};
constexpr TypeEntry sampleTypes[] = {&sampleInterface, &sampleClass};
constexpr TypeLibraryInfo sampleLibrary{"TestLib", makeGuid("6B1D0C1E-0000-4000-8000-000000000003"), 2, 1, 0x409,
                                        "test", 0, "a test library", {}, sampleTypes,
                                        {"Test library", "Test", "2.1.0.0", true}};

constexpr ClassInfo otherClass{"Other", makeGuid("6B1D0C1E-0000-4000-8000-000000000012"), ClassCanCreate,
                               nullptr, nullptr, "Test.Other", 0, {0, 0, 24, {}, {}}};
constexpr TypeEntry otherTypes[] = {&otherClass};
constexpr TypeLibraryInfo otherLibrary{"OtherLib", makeGuid("6B1D0C1E-0000-4000-8000-000000000013"), 1, 0, 0x409,
                                       "test", 0, "another library", {}, otherTypes,
                                       {"Other library", "Other", "1.0.0.0", false}};

HRESULT createCounted(REFIID riid, void **ppv)
{
    auto *object = new testsupport::CountedObject;
    const HRESULT h = object->QueryInterface(riid, ppv);
    object->Release();
    return h;
}

class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    static CLSID clsidOf(const char16_t *progId)
    {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        return clsid;
    }

    testsupport::PrivateDataHome home;
};

} // namespace

TEST_F(ClassRegistry, LivesUnderXdgDataHome)
{
    EXPECT_EQ(Registry::filePath(), home.path() + QStringLiteral("/tarnwick/com-registry.json"));
}

TEST_F(ClassRegistry, RegistrationRecordsTheClassAndUnregistrationRestoresTheFile)
{
    registration::registerLibrary(otherLibrary, QStringLiteral("/opt/other/libOther.so"), Registry::filePath());
    const QByteArray before = testsupport::readBytes(Registry::filePath());
    ASSERT_FALSE(before.isEmpty());

    registration::registerLibrary(sampleLibrary, QStringLiteral("/opt/test/libTest.so"), Registry::filePath());
    EXPECT_EQ(clsidOf(u"test.SAMPLE"), sampleClass.clsid);
    EXPECT_EQ(clsidOf(u"Test.Other"), otherClass.clsid);
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/opt/test/libTest.so"));
    const QJsonObject registry = QJsonDocument::fromJson(testsupport::readBytes(Registry::filePath())).object();
    const QJsonObject entry =
        registry[QStringLiteral("classes")][guidToString(sampleClass.clsid)].toObject();
    EXPECT_EQ(entry[QStringLiteral("progId")].toString(), QStringLiteral("Test.Sample"));
    EXPECT_EQ(entry[QStringLiteral("miscStatus")].toInt(), 0x11);
    const QJsonObject lib = registry[QStringLiteral("typeLibraries")][guidToString(sampleLibrary.libid)].toObject();
    EXPECT_EQ(lib[QStringLiteral("version")].toString(), QStringLiteral("2.1"));
    EXPECT_EQ(lib[QStringLiteral("file")][QStringLiteral("version")].toString(), QStringLiteral("2.1.0.0"));

    registration::unregisterLibrary(sampleLibrary, Registry::filePath());
    EXPECT_EQ(testsupport::readBytes(Registry::filePath()), before);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Test.Sample", &clsid), REGDB_E_CLASSNOTREG);

    registration::unregisterLibrary(otherLibrary, Registry::filePath());
    EXPECT_FALSE(QFile::exists(Registry::filePath()));
    EXPECT_TRUE(QDir(home.path() + QStringLiteral("/tarnwick")).isEmpty()) << "nothing left behind";
}

TEST_F(ClassRegistry, WritersAtTheSameTimeTakeTurnsAndLoseNothing)
{
    // The first writer holds on between reading and writing the registry
    // while a second one sets out to write.
    std::thread second;
    Registry::setChangeHook([&] {
        Registry::setChangeHook({});
        second = std::thread([] { registration::registerLibrary(otherLibrary, QStringLiteral("/opt/other/libOther.so"), Registry::filePath()); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    registration::registerLibrary(sampleLibrary, QStringLiteral("/opt/sample/libSample.so"), Registry::filePath());
    second.join();
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/opt/sample/libSample.so"));
    EXPECT_EQ(Registry::libraryOfClass(otherClass.clsid), QStringLiteral("/opt/other/libOther.so"));
}

TEST_F(ClassRegistry, ADamagedRegistryIsNeverOverwritten)
{
    QDir().mkpath(home.path() + QStringLiteral("/tarnwick"));
    QFile f(Registry::filePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ not json");
    f.close();

    EXPECT_THROW(registration::registerLibrary(sampleLibrary, QStringLiteral("/x.so"), Registry::filePath()), platform::RuntimeError);
    EXPECT_EQ(testsupport::readBytes(Registry::filePath()), QByteArray("{ not json"));
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Test.Sample", &clsid), REGDB_E_READREGDB);
    EXPECT_EQ(server::registerServer(sampleLibrary, reinterpret_cast<const void *>(&createCounted)),
              SELFREG_E_CLASS);
    EXPECT_EQ(server::unregisterServer(sampleLibrary), REGDB_E_WRITEREGDB);

    // Nor is anything that isn't a file.
    QFile::remove(Registry::filePath());
    ASSERT_EQ(mkfifo(QFile::encodeName(Registry::filePath()).constData(), 0600), 0);
    EXPECT_THROW(registration::registerLibrary(sampleLibrary, QStringLiteral("/x.so"), Registry::filePath()), platform::RuntimeError);
    EXPECT_THROW(registration::unregisterLibrary(sampleLibrary, Registry::filePath()), platform::RuntimeError);
    EXPECT_TRUE(QFileInfo(Registry::filePath()).exists() && !QFileInfo(Registry::filePath()).isFile());
}

TEST_F(ClassRegistry, ThePerUserRegistryComesFirstThenTheSystemWideOnesInOrder)
{
    const QString second = home.path() + QStringLiteral("/second");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.systemPath() + QStringLiteral("::relative:") + second));
    EXPECT_EQ(Registry::systemFilePaths(), (QStringList{home.systemPath() + QStringLiteral("/tarnwick/com-registry.json"),
                                                        second + QStringLiteral("/tarnwick/com-registry.json")}));
    registration::registerLibrary(sampleLibrary, QStringLiteral("/second/libSample.so"), Registry::systemFilePath(second));
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/second/libSample.so"));
    registration::registerLibrary(sampleLibrary, QStringLiteral("/first/libSample.so"), Registry::systemFilePath());
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/first/libSample.so"));
    registration::registerLibrary(sampleLibrary, QStringLiteral("/user/libSample.so"), Registry::filePath());
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/user/libSample.so"));
    EXPECT_EQ(clsidOf(u"test.sample"), sampleClass.clsid);

    registration::unregisterLibrary(sampleLibrary, Registry::filePath());
    EXPECT_EQ(Registry::libraryOfClass(sampleClass.clsid), QStringLiteral("/first/libSample.so"));

    qputenv("XDG_DATA_DIRS", "");
    EXPECT_EQ(Registry::systemFilePaths(), (QStringList{QStringLiteral("/usr/local/share/tarnwick/com-registry.json"),
                                                        QStringLiteral("/usr/share/tarnwick/com-registry.json")}));
}

TEST_F(ClassRegistry, CreationFailsCleanlyAtEachStep)
{
    ComPtr<IUnknown> object;
    QString why;
    EXPECT_EQ(createInstanceByProgId(QStringLiteral("Test.Sample"), IID_IUnknown, object.putVoid(), &why),
              REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(why.contains(QStringLiteral("Test.Sample"))) << qPrintable(why);
    EXPECT_EQ(CoCreateInstance(sampleClass.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.putVoid()),
              REGDB_E_CLASSNOTREG);

    registration::registerLibrary(sampleLibrary, home.path() + QStringLiteral("/missing.so"), Registry::filePath());
    EXPECT_EQ(createInstanceByProgId(QStringLiteral("Test.Sample"), IID_IUnknown, object.putVoid(), &why),
              CO_E_DLLNOTFOUND);
    EXPECT_TRUE(why.contains(QStringLiteral("missing.so"))) << qPrintable(why);

    // A real library, but not a control library.
    const QString qtCore = modulePathOf(reinterpret_cast<const void *>(&qVersion));
    ASSERT_FALSE(qtCore.isEmpty());
    registration::registerLibrary(sampleLibrary, qtCore, Registry::filePath());
    EXPECT_EQ(CoCreateInstance(sampleClass.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.putVoid()),
              CO_E_ERRORINDLL);
    EXPECT_FALSE(object);
}
