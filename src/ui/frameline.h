#pragma once

#include <QColor>
#include <QWidget>

// A drawn line of a window's frame, from (x1, y1) to (x2, y2) in twips.
class FrameLine : public QWidget {
    Q_OBJECT
public:
    FrameLine(QWidget *parent, const QString &name, int x1, int y1, int x2, int y2, QColor colour = QColor(0, 0, 0));

    QLine twipLine() const { return line_; }
    void setLine(int x1, int y1, int x2, int y2);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QLine line_;
    QColor colour_;
};
