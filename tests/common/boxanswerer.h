#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers every modal message box that opens while it lives: records the
// message and clicks "はい" or "いいえ" as scripted (はい once the script is used up).
class BoxAnswerer : public QObject {
    Q_OBJECT
public:
    explicit BoxAnswerer(QList<bool> answers = {});

    QStringList seen;

private:
    void answerOpenBox();

    QList<bool> answers_;
    QTimer timer_;
};
