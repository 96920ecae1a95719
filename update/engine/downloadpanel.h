#pragma once

#include <QWidget>

class QLabel;
class qvProgressBar;

// The transfer panel of the update control: black, with the fixed labels,
// the four value labels (all in the design font, MS Sans Serif 8 pt or
// Liberation Sans in its place) and the embedded progress bar at their
// designed places. The labels to the right of the designed 277 by 68 pixels show only
// when the host makes the control wider.
class DownloadPanel : public QWidget {
    Q_OBJECT

public:
    explicit DownloadPanel(QWidget *parent = nullptr);

    // The designed client area.
    static QSize designedSize();

    QLabel *lblBytes() const { return m_lblBytes; }
    QLabel *lblElapsed() const { return m_lblElapsed; }
    QLabel *lblRemaining() const { return m_lblRemaining; }
    QLabel *lblSpeed() const { return m_lblSpeed; }
    qvProgressBar *bar() const { return m_bar; }

    QSize sizeHint() const override { return designedSize(); }

private:
    // A label in the design font at its designed box, given in twips.
    QLabel *addLabel(const char *name, const QString &text, int left, int top, int width, int height);

    QLabel *m_lblBytes;
    QLabel *m_lblElapsed;
    QLabel *m_lblRemaining;
    QLabel *m_lblSpeed;
    qvProgressBar *m_bar;
};
