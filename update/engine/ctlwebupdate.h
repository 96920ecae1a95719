#pragma once

#include "platform/core/runtimeerror.h"
#include "platform/signature/signature.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <variant>

class DownloadPanel;

namespace platform {
class AsyncRead;
struct AsyncProperty;
class PropertyBag;
}

// The update control: performs one update run on request (RunUpdate) and
// reports every step through StatusChange and an optional log file.
class ctlWebUpdate : public QWidget {
    Q_OBJECT

public:
    explicit ctlWebUpdate(QWidget *parent = nullptr);
    ~ctlWebUpdate() override;

    // The seven properties. A put stores the value unchanged.
    QString DownloadLocation() const { return m_DownloadLocation; }
    void setDownloadLocation(const QString &value);
    QString DownloadFile() const { return m_DownloadFile; }
    void setDownloadFile(const QString &value);
    QString DownloadVersionFile() const { return m_DownloadVersionFile; }
    void setDownloadVersionFile(const QString &value);
    QString CurrentVersion() const { return m_CurrentVersion; }
    void setCurrentVersion(const QString &value);
    bool ConfirmDownload() const { return m_ConfirmDownload; }
    void setConfirmDownload(bool value);
    bool AutoRun() const { return m_AutoRun; }
    void setAutoRun(bool value);
    QString LogFilename() const { return m_LogFilename; }
    void setLogFilename(const QString &value);

    // One whole update run; returns when it is over and never raises. A call
    // made while a run is in progress returns at once.
    void RunUpdate();
    // Ends the pending download, if any.
    void CancelDownload();

    // Restore from and save to the host's property bag, which also keeps
    // the public key that products must be signed with. Restore assigns
    // the fields directly and stops at a value that can't be converted
    // (raising "Type mismatch"); save leaves out empty texts.
    void ReadProperties(const platform::PropertyBag &bag);
    void WriteProperties(platform::PropertyBag &bag) const;

    // The library's title, the caption of every message box of the control.
    static QString title();

signals:
    // Every status message; a handler may replace Message, and the log
    // then holds the replacement. A handler's RuntimeError ends the
    // operation that reported the status, as its own error.
    void StatusChange(QString &Message);

private:
    void ReportStatus(const QString &text);
    void WriteLog(const QString &text, bool startNewLog);
    void showMessage(const QString &text);
    void runSteps();

    // A download the panel shows (the version file, the product) or one it
    // leaves alone, so the product's figures stay (its signature).
    enum class OnPanel : bool { Hidden, Shown };
    // A read whose failure is the run's (reported by status, log and box),
    // or one that may fail unremarked (a patch that isn't there), whose
    // caller says what it means in one log line.
    enum class Failures : bool { Reported, Quiet };
    // Each step reports its own failures (status, log, box) and hands the
    // next step what it needs: a local copy, or nothing when it failed.
    std::optional<QString> DownloadUrl(const QString &url, OnPanel panel = OnPanel::Shown, qint64 maxBytes = -1,
                                       Failures failures = Failures::Reported);
    void AsyncReadProgress(const platform::AsyncProperty &AsyncProp);
    void AsyncReadComplete(const platform::AsyncProperty &AsyncProp);
    enum class VersionVerdict : bool { Download, DontDownload };
    VersionVerdict CheckVersion(const QString &versionFilePath);
    // A product copy whose signature holds, with that signature (none when
    // no key asks for one).
    struct VerifiedCopy {
        QString path;
        QByteArray signature;
    };
    // The product, rebuilt from a patch when the server has one for the
    // product in place and the result passes every check a downloaded one
    // must, else downloaded whole.
    std::optional<VerifiedCopy> VerifiedProduct();
    // The product rebuilt in the cache from the one in place and its patch;
    // nothing (said in the log alone) when there is no patch for it or the
    // patch can't be applied.
    std::optional<QString> PatchedProduct();
    // A rebuilt product that fails its check is said in the log alone: the
    // whole product is downloaded instead.
    enum class Refusal : bool { Reported, LoggedOnly };
    std::optional<VerifiedCopy> VerifyDownloadedFile(const QString &productCopy,
                                                     Refusal refusal = Refusal::Reported);
    // Why the copy's signature doesn't hold; nothing when it does, and then
    // the signature in accepted.
    std::optional<QString> SignatureFailure(const QString &productCopy, QByteArray &accepted);
    // A signature that holds is still bound to its file and to time.
    std::optional<QString> BindingFailure(const platform::signature::TrustedFields &fields) const;
    // When the signature accepted for the product in place was made.
    std::optional<qint64> InstalledSignatureTime() const;
    // Keeps the accepted signature beside the placed product, for the next
    // update's rollback check.
    void KeepSignature(const QString &placed, const QByteArray &signature);
    // Where the product goes.
    QString DestinationPath() const;
    // Where the copy was placed.
    std::optional<QString> MoveDownloadedFile(const QString &productCopy);
    void RunDownloadedFile(const QString &path);
    void WaitSeconds(std::int16_t seconds);

    QString m_DownloadLocation;
    QString m_DownloadFile;
    QString m_DownloadVersionFile;
    QString m_CurrentVersion;
    bool m_ConfirmDownload = false;
    bool m_AutoRun = false;
    QString m_LogFilename;
    // Saved settings only ("PublicKey"): with a key, a product is placed
    // only when its minisign signature is good.
    QString m_PublicKey;
    QString m_ServerVersion;
    QString m_ActiveUrl;
    // Seconds on the monotonic clock, so a download across midnight adds up.
    double m_DownloadStartTime = 0;

    bool m_running = false;
    OnPanel m_onPanel = OnPanel::Shown;
    Failures m_failures = Failures::Reported;
    platform::AsyncRead *m_asyncRead;
    DownloadPanel *m_panel;

    // How the pending download ended; unset while it runs. It is the local
    // file, or the read's failure (logged when it came), or a cancel, or an
    // error raised by the progress handler, which DownloadUrl's trap reports.
    struct ReadFailed {};
    struct ReadCancelled {};
    using DownloadOutcome = std::variant<QString, ReadFailed, ReadCancelled, platform::RuntimeError>;
    // Sets the outcome unless the download has one already.
    void endDownload(DownloadOutcome outcome);
    bool lastReadCancelled() const;
    std::optional<DownloadOutcome> m_outcome;
};
