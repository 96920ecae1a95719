#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A key pair made by the minisign tool (without a password) in a folder of
// its own, to sign test files as a release manager would. A failure of the
// tool fails the test.
class MinisignKey {
public:
    MinisignKey();

    // The base64 line of the .pub file: what a host hands to the control.
    QString publicKey() const { return m_publicKey; }
    // The key id in hexadecimal, all sixteen digits (the .pub file's comment
    // drops leading zeros).
    QString keyId() const { return m_keyId; }
    // The .minisig text for content, signed as the file name (which
    // minisign's default trusted comment names) with further minisign
    // arguments (-l, -t TEXT, ...).
    QByteArray sign(const QByteArray &content, const QStringList &arguments = {},
                    const QString &name = QStringLiteral("tarnwick.exe")) const;

private:
    bool run(const QStringList &arguments) const;

    QTemporaryDir m_folder;
    QString m_publicKey;
    QString m_keyId;
};

} // namespace testsupport
