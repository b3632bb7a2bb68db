#pragma once

// Answers the next modal dialog or pop-up menu that opens, from the event
// loop, and records what it showed.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

class ModalWatcher : public QObject {
public:
    using Handler = std::function<void(QWidget *)>;

    explicit ModalWatcher(Handler handler)
        : m_handler(std::move(handler))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start();
    }

    bool answered() const { return m_answered; }

    // Records a message box's title and text and presses OK.
    static Handler acceptMessage(QString *title, QString *text)
    {
        return [title, text](QWidget *widget) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box)
                return;
            *title = box->windowTitle();
            *text = box->text();
            box->accept();
        };
    }

private:
    void poll()
    {
        QWidget *widget = QApplication::activeModalWidget();
        if (!widget)
            widget = QApplication::activePopupWidget();
        if (!widget)
            return;
        m_timer.stop();
        m_answered = true;
        m_handler(widget);
    }

    Handler m_handler;
    QTimer m_timer;
    bool m_answered = false;
};
