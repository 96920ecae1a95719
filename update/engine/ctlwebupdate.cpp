#include "ctlwebupdate.h"

#include "downloadpanel.h"
#include "placement.h"
#include "transferfigures.h"
#include "versioncompare.h"
#include "update/published/webupdatekeys.h"

#include "platform/read/asyncread.h"
#include "platform/desktop/clock.h"
#include "platform/desktop/eventpump.h"
#include "platform/system/files.h"
#include "platform/desktop/messagebox.h"
#include "platform/system/process.h"
#include "platform/settings/propertybag.h"
#include "platform/core/reporttext.h"
#include "platform/core/runtimeerror.h"
#include "platform/signature/signature.h"
#include "platform/patch/patch.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <QVBoxLayout>

using platform::RuntimeError;

namespace {

const QString kNoUpdate = QStringLiteral("The current version is already the latest version.  No update performed.");
const QString kAskToDownload =
    QStringLiteral("A newer version is available.  Do you want to download this new version now?");

double monotonicSeconds()
{
    return platform::Clock::current().monotonicMs() / 1000.0;
}

// A copy of this run's that is of no further use; one that can't be
// removed stays in this run's cache folder, which nothing reads again.
void removeCopy(const QString &path)
{
    try {
        platform::files::remove(path);
    } catch (const RuntimeError &) {
    }
}

} // namespace

ctlWebUpdate::ctlWebUpdate(QWidget *parent)
    : QWidget(parent)
    , m_asyncRead(new platform::AsyncRead(this))
    , m_panel(new DownloadPanel(this))
{
    m_asyncRead->setObjectName(QStringLiteral("AsyncRead"));
    connect(m_asyncRead, &platform::AsyncRead::progress, this, &ctlWebUpdate::AsyncReadProgress);
    connect(m_asyncRead, &platform::AsyncRead::completed, this, &ctlWebUpdate::AsyncReadComplete);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    resize(DownloadPanel::designedSize());
}

ctlWebUpdate::~ctlWebUpdate() = default;

QString ctlWebUpdate::title()
{
    return QStringLiteral("qvWebUpdate");
}

void ctlWebUpdate::setDownloadLocation(const QString &value)
{
    m_DownloadLocation = value;
}

void ctlWebUpdate::setDownloadFile(const QString &value)
{
    m_DownloadFile = value;
}

void ctlWebUpdate::setDownloadVersionFile(const QString &value)
{
    m_DownloadVersionFile = value;
}

void ctlWebUpdate::setCurrentVersion(const QString &value)
{
    m_CurrentVersion = value;
}

void ctlWebUpdate::setConfirmDownload(bool value)
{
    m_ConfirmDownload = value;
}

void ctlWebUpdate::setAutoRun(bool value)
{
    m_AutoRun = value;
}

void ctlWebUpdate::setLogFilename(const QString &value)
{
    m_LogFilename = value;
}

void ctlWebUpdate::ReadProperties(const platform::PropertyBag &bag)
{
    namespace keys = webupdate::keys;
    m_DownloadLocation = bag.ReadProperty(keys::DownloadLocation, QString()).toString();
    m_DownloadFile = bag.ReadProperty(keys::DownloadFile, QString()).toString();
    m_DownloadVersionFile = bag.ReadProperty(keys::DownloadVersionFile, QString()).toString();
    m_CurrentVersion = bag.ReadProperty(keys::CurrentVersion, QString()).toString();
    m_ConfirmDownload = bag.ReadProperty(keys::ConfirmDownload, true).toBool();
    m_AutoRun = bag.ReadProperty(keys::AutoRun, false).toBool();
    m_LogFilename = bag.ReadProperty(keys::LogFilename, QString()).toString();
    m_PublicKey = bag.ReadProperty(keys::PublicKey, QString()).toString();
}

void ctlWebUpdate::WriteProperties(platform::PropertyBag &bag) const
{
    namespace keys = webupdate::keys;
    const platform::Variant empty{QString()};
    bag.WriteProperty(keys::DownloadLocation, m_DownloadLocation, empty);
    bag.WriteProperty(keys::DownloadFile, m_DownloadFile, empty);
    bag.WriteProperty(keys::DownloadVersionFile, m_DownloadVersionFile, empty);
    bag.WriteProperty(keys::CurrentVersion, m_CurrentVersion, empty);
    bag.WriteProperty(keys::ConfirmDownload, m_ConfirmDownload, empty);
    bag.WriteProperty(keys::AutoRun, m_AutoRun, empty);
    bag.WriteProperty(keys::LogFilename, m_LogFilename, empty);
    bag.WriteProperty(keys::PublicKey, m_PublicKey, empty);
}

// Every message may carry an address or a server's words: passwords are
// hidden wherever it goes, and the log escapes control characters.
void ctlWebUpdate::ReportStatus(const QString &text)
{
    QString message = platform::hidePasswords(text);
    emit StatusChange(message);
    WriteLog(message, false);
}

void ctlWebUpdate::WriteLog(const QString &text, bool startNewLog)
{
    const QString log = m_LogFilename;
    if (log.isEmpty())
        return;
    // Each step on its own: a log that can't be written never stops a run.
    // Only a regular file is removed; a device or a FIFO is written to.
    if (startNewLog) {
        try {
            if (platform::files::exists(log))
                platform::files::remove(log);
        } catch (const RuntimeError &) {
            // The lines then go on the old log's end.
        }
    }
    try {
        platform::files::appendLine(log, platform::logTimestamp(platform::Clock::current().now())
                                             + QStringLiteral("  ")
                                             + platform::escapeControls(platform::hidePasswords(text)));
    } catch (const RuntimeError &) {
        // Log writing ignores its own failures.
    }
}

void ctlWebUpdate::showMessage(const QString &text)
{
    platform::messageBox(this, title(), platform::hidePasswords(text));
}

void ctlWebUpdate::RunUpdate()
{
    if (m_running)
        return;
    // Cleared however the run ends, so a later run is never refused.
    const QScopedValueRollback<bool> running(m_running, true);
    try {
        runSteps();
    } catch (const RuntimeError &e) {
        const QString trapped = QString::number(e.number()) + QStringLiteral(" - ") + e.description();
        showMessage(trapped);
        WriteLog(trapped, false);
    }
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
    // A key that can't check anything fails the run before anything is fetched.
    if (const std::optional<QString> problem =
            m_PublicKey.isEmpty() ? std::nullopt : platform::signature::keyProblem(m_PublicKey)) {
        const QString message = QStringLiteral("Signature check failed - ") + *problem;
        ReportStatus(message);
        showMessage(message);
        return;
    }
    if (!DownloadVersionFile().isEmpty() && !CurrentVersion().isEmpty()) {
        const std::optional<QString> versionCopy = DownloadUrl(DownloadVersionFile());
        if (!versionCopy) {
            ReportStatus(QStringLiteral("Unable to download version file ") + DownloadVersionFile());
            return;
        }
        if (CheckVersion(*versionCopy) == VersionVerdict::DontDownload)
            return;
    }
    const std::optional<VerifiedCopy> verified = VerifiedProduct();
    if (const std::optional<QString> placed = verified ? MoveDownloadedFile(verified->path) : std::nullopt) {
        if (!verified->signature.isEmpty())
            KeepSignature(*placed, verified->signature);
        ReportStatus(QStringLiteral("Download Complete"));
        WaitSeconds(1);
        if (AutoRun())
            RunDownloadedFile(*placed);
    }
    WriteLog(QStringLiteral("Download process completed"), false);
}

void ctlWebUpdate::CancelDownload()
{
    if (m_asyncRead->isPending())
        m_asyncRead->cancel();
    endDownload(ReadCancelled{});
}

void ctlWebUpdate::endDownload(DownloadOutcome outcome)
{
    if (!m_outcome)
        m_outcome = std::move(outcome);
}

bool ctlWebUpdate::lastReadCancelled() const
{
    return m_outcome && std::holds_alternative<ReadCancelled>(*m_outcome);
}

std::optional<QString> ctlWebUpdate::DownloadUrl(const QString &url, OnPanel panel, qint64 maxBytes,
                                                 Failures failures)
{
    const QScopedValueRollback<Failures> rollback(m_failures, failures);
    try {
        m_outcome.reset();
        m_onPanel = panel;
        if (panel == OnPanel::Shown)
            m_panel->clear();
        m_ActiveUrl = url;
        m_DownloadStartTime = monotonicSeconds();
        m_asyncRead->start(url, platform::AsyncRead::Resynchronize, maxBytes);
        platform::waitUntil([this] { return m_outcome.has_value(); });
        platform::DoEvents();
        if (const auto *raised = std::get_if<RuntimeError>(&*m_outcome))
            throw *raised;
        if (const auto *file = std::get_if<QString>(&*m_outcome); file && platform::files::isOrdinaryFile(*file)) {
            WriteLog(QStringLiteral("Downloaded ") + url + QStringLiteral(" to ") + *file, false);
            return *file;
        }
        if (failures == Failures::Reported)
            WriteLog(QStringLiteral("Unable to download ") + url, false);
        return std::nullopt;
    } catch (const RuntimeError &e) {
        if (failures == Failures::Quiet)
            return std::nullopt;
        const QString message = QStringLiteral("Download error - ") + e.description();
        ReportStatus(message);
        showMessage(message);
        return std::nullopt;
    }
}

void ctlWebUpdate::AsyncReadProgress(const platform::AsyncProperty &AsyncProp)
{
    try {
        if (m_onPanel == OnPanel::Shown)
            m_panel->showProgress(AsyncProp.BytesRead, AsyncProp.BytesMax,
                                  elapsedSeconds(m_DownloadStartTime, monotonicSeconds()));
        if (AsyncProp.StatusCode != platform::AsyncStatusCodeDownloadingData && m_failures == Failures::Reported)
            WriteLog(StatusCodeName(std::int16_t(AsyncProp.StatusCode)) + QStringLiteral(" - ") + AsyncProp.Status,
                     false);
    } catch (const RuntimeError &e) {
        // An error can't travel back through the read service: it ends the
        // read and reaches DownloadUrl's trap instead.
        endDownload(e);
        CancelDownload();
    }
}

void ctlWebUpdate::AsyncReadComplete(const platform::AsyncProperty &AsyncProp)
{
    platform::DoEvents();
    try {
        const QString value = AsyncProp.Value();
        WriteLog(m_ActiveUrl + QStringLiteral(" was copied to: ") + value, false);
        endDownload(value);
    } catch (const RuntimeError &e) {
        if (m_failures == Failures::Reported)
            WriteLog(QStringLiteral("Download error : ") + e.description(), false);
        endDownload(ReadFailed{});
    }
}

ctlWebUpdate::VersionVerdict ctlWebUpdate::CheckVersion(const QString &versionFilePath)
{
    VersionVerdict result = VersionVerdict::DontDownload;
    try {
        m_ServerVersion = platform::files::readFirstLine(versionFilePath);
        const int order = compareVersions(m_ServerVersion, CurrentVersion());
        if (order == 0) {
            ReportStatus(QStringLiteral("Same version as server"));
            showMessage(kNoUpdate);
        } else if (order < 0) {
            ReportStatus(QStringLiteral("Older version on server"));
            showMessage(kNoUpdate);
        } else {
            ReportStatus(QStringLiteral("Newer version found"));
            const bool declined = ConfirmDownload()
                                  && platform::messageBox(this, title(), kAskToDownload, platform::MsgButtons::YesNo,
                                                          platform::MsgIcon::Question)
                                         == platform::MsgAnswer::No;
            result = declined ? VersionVerdict::DontDownload : VersionVerdict::Download;
        }
        platform::files::remove(versionFilePath);
        WriteLog(QStringLiteral("Deleted version file ") + versionFilePath, false);
        return result;
    } catch (const RuntimeError &e) {
        // A copy that couldn't be checked is of no use either.
        removeCopy(versionFilePath);
        const QString message = QStringLiteral("Error checking version file - ") + e.description();
        ReportStatus(message);
        showMessage(message);
        return VersionVerdict::DontDownload;
    }
}

std::optional<ctlWebUpdate::VerifiedCopy> ctlWebUpdate::VerifiedProduct()
{
    if (const std::optional<QString> rebuilt = PatchedProduct())
        if (std::optional<VerifiedCopy> verified = VerifyDownloadedFile(*rebuilt, Refusal::LoggedOnly))
            return verified;
    // A download cancelled on the way (the patch, its product's signature)
    // ends the run: the whole product is not fetched instead.
    if (lastReadCancelled())
        return std::nullopt;
    const std::optional<QString> copy = DownloadUrl(DownloadFile());
    return copy ? VerifyDownloadedFile(*copy) : std::nullopt;
}

std::optional<QString> ctlWebUpdate::PatchedProduct()
{
    const QString installed = DestinationPath();
    if (!platform::files::isOrdinaryFile(installed))
        return std::nullopt;
    QString url;
    try {
        url = platform::patch::patchAddress(DownloadFile(), platform::patch::sha256Hex(installed));
    } catch (const RuntimeError &e) {
        WriteLog(QStringLiteral("No patch for ") + installed + QStringLiteral(", which can't be read - ")
                     + e.description(),
                 false);
        return std::nullopt;
    }
    const std::optional<QString> patch = DownloadUrl(url, OnPanel::Shown, -1, Failures::Quiet);
    if (!patch) {
        if (!lastReadCancelled())
            WriteLog(QStringLiteral("No patch at ") + url + QStringLiteral(": downloading the whole product"), false);
        return std::nullopt;
    }
    // Rebuilt beside the patch, in the cache: nothing else is written.
    const QString rebuilt = *patch + QStringLiteral(".rebuilt");
    const std::optional<QString> failure = platform::patch::applyPatch(installed, *patch, rebuilt);
    const qint64 patchBytes = QFileInfo(*patch).size();
    removeCopy(*patch);
    if (failure) {
        WriteLog(QStringLiteral("Unable to apply the patch ") + url + QStringLiteral(" - ") + *failure
                     + QStringLiteral(": downloading the whole product"),
                 false);
        return std::nullopt;
    }
    const qint64 productBytes = QFileInfo(rebuilt).size();
    WriteLog(QStringLiteral("Rebuilt the product from a patch of %1 bytes (%2% of its %3 bytes) into %4")
                 .arg(patchBytes)
                 .arg(productBytes > 0 ? 100.0 * double(patchBytes) / double(productBytes) : 0.0, 0, 'f', 2)
                 .arg(productBytes)
                 .arg(rebuilt),
             false);
    return rebuilt;
}

std::optional<ctlWebUpdate::VerifiedCopy> ctlWebUpdate::VerifyDownloadedFile(const QString &productCopy,
                                                                             Refusal refusal)
{
    if (m_PublicKey.isEmpty())
        return VerifiedCopy{productCopy, {}};
    QByteArray signature;
    const std::optional<QString> failure = SignatureFailure(productCopy, signature);
    if (!failure) {
        WriteLog(QStringLiteral("Verified signature of ") + productCopy, false);
        return VerifiedCopy{productCopy, signature};
    }
    // Gone before the box waits for the user: a copy that failed its check
    // is of no use to a later run either.
    removeCopy(productCopy);
    if (refusal == Refusal::LoggedOnly) {
        WriteLog(QStringLiteral("Signature check failed for the rebuilt product - ") + *failure
                     + QStringLiteral(": downloading the whole product"),
                 false);
        return std::nullopt;
    }
    const QString message = QStringLiteral("Signature check failed - ") + *failure;
    ReportStatus(message);
    showMessage(message);
    return std::nullopt;
}

// Fetches the product's signature beside its address and checks the copy
// against it.
std::optional<QString> ctlWebUpdate::SignatureFailure(const QString &productCopy, QByteArray &accepted)
{
    const QString url = platform::signature::signatureAddress(DownloadFile());
    // A signature fits in far less: a longer answer is no signature.
    const std::optional<QString> signatureCopy =
        DownloadUrl(url, OnPanel::Hidden, platform::signature::maxSignatureBytes);
    if (!signatureCopy)
        return QStringLiteral("Unable to download ") + url;
    std::optional<QString> failure;
    try {
        const QByteArray text = platform::signature::readSignatureFile(*signatureCopy);
        const platform::signature::Check check = platform::signature::verifyFile(productCopy, text, m_PublicKey);
        if (!check.valid())
            failure = check.description;
        else
            failure = BindingFailure(platform::signature::trustedFields(check.trustedComment));
        if (!failure)
            accepted = text;
    } catch (const RuntimeError &e) {
        failure = e.description();
    }
    try {
        platform::files::remove(*signatureCopy);
        WriteLog(QStringLiteral("Deleted signature file ") + *signatureCopy, false);
    } catch (const RuntimeError &) {
        // The check is what counts; a signature left in the cache is harmless.
    }
    return failure;
}

// minisign's default trusted comment names the file and the time it was
// signed: any release the key ever signed would pass the bare check, under
// any name and in place of a newer one.
std::optional<QString> ctlWebUpdate::BindingFailure(const platform::signature::TrustedFields &fields) const
{
    const QString name = FileNameFromPath(DownloadFile());
    if (fields.file && *fields.file != name)
        return QStringLiteral("Signed for another file (%1, not %2)").arg(*fields.file, name);
    const std::optional<qint64> installed = InstalledSignatureTime();
    if (fields.timestamp && installed && *fields.timestamp < *installed)
        return QStringLiteral("Signed earlier than the installed product: an older release is not put back");
    return std::nullopt;
}

std::optional<qint64> ctlWebUpdate::InstalledSignatureTime() const
{
    const QString kept = DestinationPath() + platform::signature::keptSignatureSuffix;
    if (!platform::files::isOrdinaryFile(kept))
        return std::nullopt;
    try {
        const std::optional<QByteArray> comment = platform::signature::verifiedTrustedComment(
            platform::signature::readSignatureFile(kept), m_PublicKey);
        return comment ? platform::signature::trustedFields(*comment).timestamp : std::nullopt;
    } catch (const RuntimeError &) {
        // An unreadable kept signature says nothing about the installed release.
        return std::nullopt;
    }
}

void ctlWebUpdate::KeepSignature(const QString &placed, const QByteArray &signature)
{
    const QString kept = placed + platform::signature::keptSignatureSuffix;
    try {
        platform::files::writeWhole(kept, signature);
        WriteLog(QStringLiteral("Kept signature ") + kept, false);
    } catch (const RuntimeError &e) {
        WriteLog(QStringLiteral("Unable to keep signature ") + kept + QStringLiteral(" - ") + e.description(), false);
    }
}

QString ctlWebUpdate::DestinationPath() const
{
    const QString location = DownloadLocation();
    return destinationPath(location, FileNameFromPath(DownloadFile()), platform::files::exists(location));
}

std::optional<QString> ctlWebUpdate::MoveDownloadedFile(const QString &productCopy)
{
    try {
        WaitSeconds(1);
        const QString destination = DestinationPath();
        // One rename over the old file: a failed move leaves it in place.
        platform::files::replace(productCopy, destination);
        WriteLog(QStringLiteral("File moved to ") + destination, false);
        return destination;
    } catch (const RuntimeError &e) {
        // What could not be placed is of no further use. The file is this
        // run's own: the cache keeps its record apart.
        removeCopy(productCopy);
        const QString fromTo =
            QStringLiteral("Error moving file from ") + productCopy + QStringLiteral(" to ") + DownloadLocation();
        ReportStatus(fromTo + QStringLiteral(" - ") + e.description());
        showMessage(fromTo);
        return std::nullopt;
    }
}

void ctlWebUpdate::RunDownloadedFile(const QString &path)
{
    try {
        // Whether anything could open the file is not examined.
        platform::process::shellOpen(path);
        WriteLog(QStringLiteral("Executed ") + path, false);
    } catch (const RuntimeError &e) {
        ReportStatus(QStringLiteral("Error executing ") + path + QStringLiteral(" - ") + e.description());
    }
}

void ctlWebUpdate::WaitSeconds(std::int16_t seconds)
{
    platform::waitSeconds(seconds);
}
