#include "platform/desktop/messagebox.h"

#include <QMessageBox>

namespace platform {

namespace {
MessageBoxService *g_installed = nullptr;
}

MessageBoxService &MessageBoxService::current()
{
    static QtMessageBoxService real;
    return g_installed ? *g_installed : real;
}

void MessageBoxService::install(MessageBoxService *service)
{
    g_installed = service;
}

MsgAnswer QtMessageBoxService::show(QWidget *parent, const QString &caption, const QString &text, MsgButtons buttons,
                                    MsgIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon == MsgIcon::Question   ? QMessageBox::Question
                : icon == MsgIcon::Critical ? QMessageBox::Critical
                                            : QMessageBox::NoIcon);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return pressed == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

MsgAnswer messageBox(QWidget *parent, const QString &caption, const QString &text, MsgButtons buttons, MsgIcon icon)
{
    return MessageBoxService::current().show(parent, caption, text, buttons, icon);
}

} // namespace platform
