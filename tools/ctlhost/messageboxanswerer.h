#pragma once

#include <QObject>
#include <QQueue>
#include <QString>
#include <functional>

class QMessageBox;

// Answers the real modal message boxes that any control shows, as a user
// would: it presses the next queued button (ok, yes, no) as soon as a box
// is up, or OK / No when nothing is queued. Every box is reported as a
// "msgbox ..." line.
class MessageBoxAnswerer : public QObject {
    Q_OBJECT

public:
    explicit MessageBoxAnswerer(std::function<void(const QString &)> report, QObject *parent = nullptr);

    void queue(const QString &button) { m_answers.enqueue(button); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer(QMessageBox *box);

    std::function<void(const QString &)> m_report;
    QQueue<QString> m_answers;
};
