#include "ctlwebupdate.h"

#include "platform/clock.h"
#include "platform/eventpump.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/propertybag.h"
#include "platform/runtimeerror.h"

using platform::RuntimeError;

namespace {

// Keys of the saved state, in the order they are restored and saved.
const QString kDownloadLocation = QStringLiteral("DownloadLocation");
const QString kDownloadFile = QStringLiteral("DownloadFile");
const QString kDownloadVersionFile = QStringLiteral("DownloadVersionFile");
const QString kCurrentVersion = QStringLiteral("CurrentVersion");
const QString kConfirmDownload = QStringLiteral("ConfirmDownload");
const QString kAutoRun = QStringLiteral("AutoRun");
const QString kLogFilename = QStringLiteral("LogFilename");

} // namespace

ctlWebUpdate::ctlWebUpdate(QWidget *parent)
    : QWidget(parent)
{
}

ctlWebUpdate::~ctlWebUpdate() = default;

QString ctlWebUpdate::title()
{
    return QStringLiteral("qvWebUpdate");
}

void ctlWebUpdate::setDownloadLocation(const QString &value)
{
    m_DownloadLocation = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setDownloadFile(const QString &value)
{
    m_DownloadFile = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setDownloadVersionFile(const QString &value)
{
    m_DownloadVersionFile = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setCurrentVersion(const QString &value)
{
    m_CurrentVersion = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setConfirmDownload(bool value)
{
    m_ConfirmDownload = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setAutoRun(bool value)
{
    m_AutoRun = value;
    emit PropertyChanged();
}

void ctlWebUpdate::setLogFilename(const QString &value)
{
    m_LogFilename = value;
    emit PropertyChanged();
}

void ctlWebUpdate::ReadProperties(const platform::PropertyBag &bag)
{
    m_DownloadLocation = bag.ReadProperty(kDownloadLocation, QString()).toString();
    m_DownloadFile = bag.ReadProperty(kDownloadFile, QString()).toString();
    m_DownloadVersionFile = bag.ReadProperty(kDownloadVersionFile, QString()).toString();
    m_CurrentVersion = bag.ReadProperty(kCurrentVersion, QString()).toString();
    m_ConfirmDownload = bag.ReadProperty(kConfirmDownload, true).toBool();
    m_AutoRun = bag.ReadProperty(kAutoRun, false).toBool();
    m_LogFilename = bag.ReadProperty(kLogFilename, QString()).toString();
}

void ctlWebUpdate::WriteProperties(platform::PropertyBag &bag) const
{
    const platform::Variant empty{QString()};
    bag.WriteProperty(kDownloadLocation, m_DownloadLocation, empty);
    bag.WriteProperty(kDownloadFile, m_DownloadFile, empty);
    bag.WriteProperty(kDownloadVersionFile, m_DownloadVersionFile, empty);
    bag.WriteProperty(kCurrentVersion, m_CurrentVersion, empty);
    bag.WriteProperty(kConfirmDownload, m_ConfirmDownload, empty);
    bag.WriteProperty(kAutoRun, m_AutoRun, empty);
    bag.WriteProperty(kLogFilename, m_LogFilename, empty);
}

void ctlWebUpdate::ReportStatus(const QString &text)
{
    QString message = text;
    emit StatusChange(message);
    WriteLog(message, false);
}

void ctlWebUpdate::WriteLog(const QString &text, bool startNewLog)
{
    const QString log = m_LogFilename;
    if (log.isEmpty())
        return;
    // Each step on its own: a log that can't be written never stops a run.
    if (startNewLog) {
        try {
            if (platform::files::exists(log))
                platform::files::remove(log);
        } catch (const RuntimeError &) {
        }
    }
    try {
        platform::files::appendLine(log, platform::logTimestamp(platform::Clock::current().now())
                                             + QStringLiteral("  ") + text);
    } catch (const RuntimeError &) {
    }
}

void ctlWebUpdate::showMessage(const QString &text)
{
    platform::messageBox(this, title(), text);
}

void ctlWebUpdate::RunUpdate()
{
    if (m_running)
        return;
    m_running = true;
    try {
        runSteps();
    } catch (const RuntimeError &e) {
        const QString trapped = QString::number(e.number()) + QStringLiteral(" - ") + e.description();
        showMessage(trapped);
        WriteLog(trapped, false);
    }
    m_running = false;
}

void ctlWebUpdate::runSteps()
{
    WriteLog(QStringLiteral("Download process started"), true);
    if (DownloadFile().isEmpty()) {
        const QString message = QStringLiteral("No download filename specified");
        ReportStatus(message);
        showMessage(message);
        return;
    }
    if (DownloadLocation().isEmpty()) {
        const QString message = QStringLiteral("No download location specified");
        ReportStatus(message);
        showMessage(message);
        return;
    }
    if (!DownloadVersionFile().isEmpty() && !CurrentVersion().isEmpty()) {
        if (!DownloadUrl(DownloadVersionFile())) {
            ReportStatus(QStringLiteral("Unable to download version file ") + DownloadVersionFile());
            return;
        }
        if (!CheckVersion(m_DownloadedFileName))
            return;
    }
    if (DownloadUrl(DownloadFile())) {
        const QString placed = MoveDownloadedFile();
        if (!placed.isEmpty()) {
            ReportStatus(QStringLiteral("Download Complete"));
            WaitSeconds(1);
            if (AutoRun())
                RunDownloadedFile(placed);
        }
    }
    WriteLog(QStringLiteral("Download process completed"), false);
}

void ctlWebUpdate::CancelDownload()
{
    m_DownloadDone = true;
}

bool ctlWebUpdate::DownloadUrl(const QString &url)
{
    m_DownloadDone = false;
    m_DownloadedFileName.clear();
    m_ActiveUrl = url;
    WriteLog(QStringLiteral("Unable to download ") + url, false);
    return false;
}

bool ctlWebUpdate::CheckVersion(const QString &)
{
    return false;
}

QString ctlWebUpdate::MoveDownloadedFile()
{
    return QString();
}

void ctlWebUpdate::RunDownloadedFile(const QString &)
{
}

void ctlWebUpdate::WaitSeconds(std::int16_t seconds)
{
    platform::waitSeconds(seconds);
}
