#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Question, Critical };
enum class MsgAnswer { Ok, Yes, No };

// The one way the system shows a modal message box. The service in force
// defaults to real QMessageBoxes; tests install a scripted one.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows a modal box and returns the button pressed.
    virtual MsgAnswer show(QWidget *parent, const QString &caption, const QString &text, MsgButtons buttons,
                           MsgIcon icon) = 0;

    static MessageBoxService &current();
    // Replaces the service in force; nullptr restores the real one. The
    // caller keeps ownership.
    static void install(MessageBoxService *service);
};

// Shows a real modal QMessageBox with the caption as its window title.
class QtMessageBoxService : public MessageBoxService {
public:
    MsgAnswer show(QWidget *parent, const QString &caption, const QString &text, MsgButtons buttons,
                   MsgIcon icon) override;
};

// Shorthand for MessageBoxService::current().show(...).
MsgAnswer messageBox(QWidget *parent, const QString &caption, const QString &text,
                     MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

} // namespace platform
