// regsvr as a user runs it: exit status and messages, and what it leaves
// in the class registry.

#include "platform/com/core/module.h"
#include "tests/support/programenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kRegsvr = QStringLiteral(REGSVR_PATH);
const QString kUpdateLibrary = QStringLiteral(UPDATE_LIBRARY_PATH);

struct Outcome {
    int status;
    QString out;
    QString err;
};

Outcome regsvr(const QStringList &args, const QString &dataHome, const QString &dataDirs = QString())
{
    QProcess process;
    QProcessEnvironment env = testsupport::programEnvironment(dataHome);
    if (!dataDirs.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirs);
    process.setProcessEnvironment(env);
    process.start(kRegsvr, args);
    if (!process.waitForFinished(30000))
        return {-1, {}, QStringLiteral("regsvr did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

class Regsvr : public ::testing::Test {
protected:
    QString registryFile() const { return home.filePath(QStringLiteral("tarnwick/com-registry.json")); }
    QTemporaryDir home;
};

} // namespace

TEST_F(Regsvr, RegistersAndUnregistersALibrary)
{
    const Outcome registered = regsvr({kUpdateLibrary}, home.path());
    ASSERT_EQ(registered.status, 0) << qPrintable(registered.err);
    EXPECT_TRUE(registered.out.contains(QStringLiteral("registered"))) << qPrintable(registered.out);
    QFile file(registryFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject progIds = QJsonDocument::fromJson(file.readAll()).object()[QStringLiteral("progIds")].toObject();
    EXPECT_TRUE(progIds.contains(QStringLiteral("qvWebUpdate.ctlWebUpdate")));
    EXPECT_TRUE(progIds.contains(QStringLiteral("qvWebUpdate.qvProgressBar")));

    const Outcome unregistered = regsvr({QStringLiteral("-u"), kUpdateLibrary}, home.path());
    EXPECT_EQ(unregistered.status, 0) << qPrintable(unregistered.err);
    EXPECT_FALSE(QFile::exists(registryFile()));
}

TEST_F(Regsvr, AMissingOrForeignLibraryIsReportedWithItsCause)
{
    const QString missing = home.filePath(QStringLiteral("libMissing.so"));
    const Outcome noFile = regsvr({missing}, home.path());
    EXPECT_EQ(noFile.status, 3);
    EXPECT_TRUE(noFile.err.contains(missing)) << qPrintable(noFile.err);

    const QString text = home.filePath(QStringLiteral("notes.so"));
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a library\n");
    notes.close();
    const Outcome notLibrary = regsvr({text}, home.path());
    EXPECT_EQ(notLibrary.status, 3);
    EXPECT_TRUE(notLibrary.err.contains(QStringLiteral("cannot load"))) << qPrintable(notLibrary.err);

    // A real library, but without the entry points.
    const QString qtCore = platform::com::modulePathOf(reinterpret_cast<const void *>(&qVersion));
    const Outcome foreign = regsvr({QStringLiteral("-u"), qtCore}, home.path());
    EXPECT_EQ(foreign.status, 4);
    EXPECT_TRUE(foreign.err.contains(QStringLiteral("no entry point DllUnregisterServer"))) << qPrintable(foreign.err);
    EXPECT_FALSE(QFile::exists(registryFile()));
}

TEST_F(Regsvr, ARegistryThatCannotBeWrittenFailsTheRegistration)
{
    // The data folder is a file, so the registry's folder can't be made.
    const QString blocked = home.filePath(QStringLiteral("blocked"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const Outcome run = regsvr({kUpdateLibrary}, blocked);
    EXPECT_EQ(run.status, 5);
    EXPECT_TRUE(run.err.contains(QStringLiteral("DllRegisterServer"))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("0x80040201"))) << qPrintable(run.err);
}

TEST_F(Regsvr, RegistrationsAndUnregistrationsAtOnceAllSucceed)
{
    QList<QProcess *> runs;
    const QProcessEnvironment env = testsupport::programEnvironment(home.path());
    for (int i = 0; i < 12; ++i) {
        auto *process = new QProcess;
        process->setProcessEnvironment(env);
        process->start(kRegsvr, i % 2 ? QStringList{QStringLiteral("-u"), kUpdateLibrary} : QStringList{kUpdateLibrary});
        runs << process;
    }
    for (QProcess *process : runs) {
        EXPECT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        delete process;
    }
}

TEST_F(Regsvr, AFailedUnregistrationNamesItsCause)
{
    QDir().mkpath(home.filePath(QStringLiteral("tarnwick")));
    QFile file(registryFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ not json");
    file.close();
    const Outcome run = regsvr({QStringLiteral("-u"), kUpdateLibrary}, home.path());
    EXPECT_EQ(run.status, 5);
    EXPECT_TRUE(run.err.contains(QStringLiteral("The class registry is damaged: ") + registryFile()))
        << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Could not write the class registry"))) << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QStringLiteral("register the classes"))) << qPrintable(run.err);
}

TEST_F(Regsvr, AnswersHelpAndVersionAndRefusesWrongArgumentsWithStatus2)
{
    struct Case {
        QStringList args;
        int status;
        QString out;
        QString err;
    };
    const QString usage = QStringLiteral("usage: regsvr [--help | --version] [-u] [--system [--data-dir DIR]] LIBRARY");
    const Case cases[] = {
        {{QStringLiteral("--help")}, 0, QStringLiteral("Exit status: 0 done, 2 wrong arguments"), QString()},
        {{QStringLiteral("--version")}, 0, QStringLiteral("regsvr 1.0.0\n"), QString()},
        {{}, 2, QString(), QStringLiteral("regsvr: no library named\n") + usage},
        {{QStringLiteral("-x"), kUpdateLibrary}, 2, QString(), QStringLiteral("regsvr: Unknown option 'x'.\n") + usage},
        {{kUpdateLibrary, kUpdateLibrary}, 2, QString(), QStringLiteral("more than one library named")},
        {{QStringLiteral("--data-dir"), home.path(), kUpdateLibrary}, 2, QString(),
         QStringLiteral("--data-dir goes with --system")},
    };
    for (const Case &c : cases) {
        const Outcome run = regsvr(c.args, home.path());
        SCOPED_TRACE(qPrintable(c.args.join(QLatin1Char(' '))));
        EXPECT_EQ(run.status, c.status) << qPrintable(run.err);
        EXPECT_TRUE(run.out.contains(c.out)) << qPrintable(run.out);
        EXPECT_TRUE(run.err.contains(c.err)) << qPrintable(run.err);
    }
    EXPECT_TRUE(regsvr({QStringLiteral("--help")}, home.path()).out.startsWith(usage));
    EXPECT_FALSE(QFile::exists(registryFile()));
}

TEST_F(Regsvr, RegistersForEveryUserUnderTheFirstDataFolderThatCanTakeIt)
{
    // A folder that can't be made is passed over; --data-dir names one.
    const QString system = home.filePath(QStringLiteral("system"));
    const QString named = home.filePath(QStringLiteral("named"));
    ASSERT_TRUE(QDir().mkpath(system) && QDir().mkpath(named));
    const QString dataDirs = home.filePath(QStringLiteral("missing/deeper")) + QLatin1Char(':') + system;
    for (const auto &[options, folder] : {std::pair{QStringList{QStringLiteral("--system")}, system},
                                          std::pair{QStringList{QStringLiteral("--system"), QStringLiteral("--data-dir"),
                                                                named},
                                                    named}}) {
        SCOPED_TRACE(qPrintable(options.join(QLatin1Char(' '))));
        const QString file = folder + QStringLiteral("/tarnwick/com-registry.json");
        const Outcome registered = regsvr(options + QStringList{kUpdateLibrary}, home.path(), dataDirs);
        ASSERT_EQ(registered.status, 0) << qPrintable(registered.err);
        EXPECT_TRUE(registered.out.contains(QStringLiteral("(registry ") + file + QLatin1Char(')')))
            << qPrintable(registered.out);
        QFile registry(file);
        ASSERT_TRUE(registry.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QJsonDocument::fromJson(registry.readAll())[QStringLiteral("progIds")].toObject().contains(
            QStringLiteral("qvWebUpdate.ctlWebUpdate")));
        EXPECT_FALSE(QFile::exists(registryFile()));

        const Outcome unregistered =
            regsvr(QStringList{QStringLiteral("-u")} + options + QStringList{kUpdateLibrary}, home.path(), dataDirs);
        EXPECT_EQ(unregistered.status, 0) << qPrintable(unregistered.err);
        EXPECT_FALSE(QFile::exists(file));
    }
}
