#include "update/engine/downloadpanel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

// What a user reads on the panel: every label's text whole within its
// designed box, with the value labels as a download of a few megabytes
// fills them, fast and slow.
TEST(DownloadPanel, EveryLabelShowsItsWholeTextAtTheDesignedSize)
{
    DownloadPanel panel;
    for (const std::int32_t elapsed : {12, 754}) {
        panel.showProgress(5242880, 10485760, elapsed);
        const QList<QLabel *> labels = panel.findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(labels.size(), 8);
        for (const QLabel *label : labels) {
            EXPECT_FALSE(label->text().isEmpty()) << qPrintable(label->objectName());
            const QFontMetrics metrics(label->font());
            EXPECT_EQ(QFontInfo(label->font()).pointSize(), 8) << qPrintable(label->objectName());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                << qPrintable(label->objectName() + QStringLiteral(" cuts \"") + label->text()
                              + QStringLiteral("\" in ") + QFontInfo(label->font()).family());
            EXPECT_LE(metrics.height(), label->height()) << qPrintable(label->objectName());
        }
    }
}
