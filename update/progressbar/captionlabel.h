#pragma once

#include <QImage>
#include <QLabel>

// The progress bar's caption: a transparent plain-text label over the dots.
// The dots under it change far more often than its text, so it keeps its
// rendered text between paints and only blits it, rendering again when the
// text, font, colours, alignment or size change.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    CaptionLabel(const QString &text, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    QImage m_rendered;
    QString m_renderedText;
    Qt::Alignment m_renderedAlignment;
};
