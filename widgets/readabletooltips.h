#pragma once

#include <QObject>

// Qt lays a plain-text tooltip out on one line, however long: a sentence of
// two hundred characters becomes a strip across the screen. Installed on the
// application, this wraps every tooltip at a width the eye can follow, and
// leaves its text as it is.
class ReadableToolTips : public QObject {
    Q_OBJECT

public:
    // Installs one on the application, once.
    static void install();

    // The widest a tooltip gets, in average characters of its font.
    static constexpr int readableCharacters = 72;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
