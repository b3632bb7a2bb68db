#pragma once

#include <QObject>

class QWidget;

// Takes one local file dropped on the widgets it watches; anything else
// dropped goes on to the widget, as the editor's text does.
class FileDrop : public QObject {
    Q_OBJECT

public:
    explicit FileDrop(QObject *parent);

    void watch(QWidget *widget);

Q_SIGNALS:
    // Once the drop has ended: a box must not run inside the drag.
    void dropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
