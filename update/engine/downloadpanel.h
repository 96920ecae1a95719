#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class qvProgressBar;

// The transfer panel of the update control: black, with the fixed labels,
// the four value labels (all in the design font, MS Sans Serif 8 pt or
// Liberation Sans in its place) and the embedded progress bar at their
// designed places. The labels to the right of the designed 277 by 68 pixels show only
// when the host makes the control wider. The control says what to show;
// the panel formats the figures and keeps to the once-a-second rule.
class DownloadPanel : public QWidget {
    Q_OBJECT

public:
    explicit DownloadPanel(QWidget *parent = nullptr);

    // The designed client area.
    static QSize designedSize();

    // Empties the value labels, elapsed, speed, bytes and remaining in that
    // order; the bar keeps its value.
    void clear();
    // Shows a transfer's figures. The byte count follows every call; with a
    // known total (bytesMax not 0) so does the bar's percentage, while the
    // time labels change only when the whole seconds elapsed differ from
    // those last shown, a second kept from one transfer to the next: then
    // elapsed, remaining once a byte has come, and speed past second 0.
    // The bar's errors go to the caller.
    void showProgress(qint64 bytesRead, qint64 bytesMax, std::int32_t elapsed);

    QSize sizeHint() const override { return designedSize(); }

private:
    // A label in the design font at its designed box, given in twips.
    QLabel *addLabel(const char *name, const QString &text, int left, int top, int width, int height);

    QLabel *m_lblBytes;
    QLabel *m_lblElapsed;
    QLabel *m_lblRemaining;
    QLabel *m_lblSpeed;
    qvProgressBar *m_bar;
    std::int32_t m_LastElapsedSecond = 0;
};
