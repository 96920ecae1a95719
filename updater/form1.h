#pragma once

#include "formdescription.h"

#include "platform/com/host/hostedcontrol.h"

#include <QMap>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// The updater's window: shows that it is checking for updates, hands one
// update run to its update control a second after it opens, then starts the
// product and ends. "Skip >>" starts the product at once when it is there.
// Its members keep the form designer's names (Form1, Timer1, Command1,
// Label1...), since its stored description names them so.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Builds the window from its stored description, creating the controls
    // by ProgID through the class registry. Raises a RuntimeError when a
    // control can't be created or the window has no member of its name.
    Form1(const FormDescription &description, const QString &downloadUrl, QWidget *parent = nullptr);
    ~Form1() override;

    // The product's executable in the application folder.
    static QString productPath();
    // Has the window's update control place only products signed with
    // publicKey (its "PublicKey" setting); an empty key changes nothing.
    static void requireSignature(FormDescription &description, const QString &publicKey);

signals:
    // The program is to end now, with this exit status.
    void finished(int exitCode);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void place(const ControlDescription &control, QWidget *widget);
    void createControl(const ControlDescription &control);
    void Timer1_Timer();
    void Command1_Click();
    // Runs a handler the way the platform runs one that traps nothing: an
    // error ends the program with the standard report.
    void runHandler(const std::function<void()> &handler);
    void startProductAndEnd();

    QString m_downloadUrl;
    QMap<int, QWidget *> m_tabOrder;
    QPixmap m_picture;
    QTimer Timer1;
    // The timers enabled in the description: they start when the window
    // opens, not when it is built, so the user has their interval to act.
    QList<QTimer *> m_timersEnabledOnOpen;
    QPushButton *Command1 = nullptr;
    QFrame *Frame1 = nullptr;
    QFrame *Frame2 = nullptr;
    QLabel *Label1 = nullptr;
    platform::com::HostedControl m_ctlWebUpdate;
    platform::com::HostedControl m_qvProgressBar1;
    bool m_updating = false;
    bool m_ended = false;
};
