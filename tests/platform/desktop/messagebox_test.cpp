#include "platform/desktop/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageBox, TheRealServiceShowsAModalBoxWithCaptionTextButtonsAndIcon)
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::No)->click();
    });
    const platform::MsgAnswer answer = platform::messageBox(nullptr, "qvWebUpdate", "Download now?",
                                                            platform::MsgButtons::YesNo, platform::MsgIcon::Question);
    EXPECT_EQ(answer, platform::MsgAnswer::No);
    EXPECT_EQ(title, QString("qvWebUpdate"));
    EXPECT_EQ(text, QString("Download now?"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 2);
}
