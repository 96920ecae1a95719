#pragma once

#include "platform/com/core/comptr.h"
#include "platform/com/host/eventsink.h"
#include "platform/com/host/hostedcontrol.h"
#include "platform/com/host/propertynotifysink.h"
#include "platform/desktop/messageboxanswerer.h"
#include "platform/core/runtimeerror.h"

#include <QMap>
#include <QTextStream>
#include <QWidget>
#include <stdexcept>

// A failed create: the script can't go on (exit status 1).
struct CreateFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The scriptable control test container: one host window holding the
// controls a script creates, acting as their site, property bag and event
// sink, and reporting what happens on its output, one line each.
class ControlTestContainer {
public:
    explicit ControlTestContainer(QTextStream &out);
    ~ControlTestContainer();

    // Runs one script line (already split into words). Raises
    // std::invalid_argument for a line it can't understand and CreateFailed
    // when a control can't be created.
    void execute(const QStringList &words);

private:
    struct Hosted {
        platform::com::HostedControl control;
        platform::com::ComPtr<platform::com::EventSink> sink;
        platform::com::ComPtr<platform::com::PropertyNotifySink> changes;
        QString replacement;
        bool replacing = false;
        // The run-time error its StatusChange handler raises; 0 for none.
        int statusError = 0;
    };

    Hosted &hosted(const QString &name);
    void report(const QString &line);
    void reportBox(const platform::MessageBoxAnswerer::Answered &box);
    void create(const QStringList &words);
    void onEvent(const QString &name, platform::com::DISPID dispid, platform::com::DISPPARAMS &params);
    void put(const QStringList &words);
    void get(const QStringList &words);
    void call(const QStringList &words);
    void save(const QStringList &words);
    void resize(const QStringList &words);
    void grab(const QStringList &words);
    // "error <name> <what> <number> <description>": what failed is a DISPID
    // or a command word.
    void reportError(const QString &name, const QString &what, const platform::RuntimeError &e);

    QTextStream &m_out;
    QWidget m_window;
    platform::MessageBoxAnswerer m_answerer;
    QMap<QString, Hosted *> m_controls;
    bool m_userMode = true;
};
