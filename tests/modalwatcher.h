#pragma once

// Answers the next modal dialog or pop-up menu that opens, from the event
// loop, and records what it showed.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

class ModalWatcher : public QObject {
public:
    using Handler = std::function<void(QWidget *)>;

    explicit ModalWatcher(Handler handler)
        : ModalWatcher(QList<Handler> { std::move(handler) })
    {
    }

    // Answers the windows that open one after another, each with the next handler.
    explicit ModalWatcher(QList<Handler> handlers)
        : m_handlers(std::move(handlers))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start();
    }

    // Every handler ran.
    bool answered() const { return m_handlers.isEmpty(); }

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
        if (!widget || widget == m_answering)
            return;
        m_answering = widget;
        const Handler handler = m_handlers.takeFirst();
        if (m_handlers.isEmpty())
            m_timer.stop();
        handler(widget);
    }

    QList<Handler> m_handlers;
    QPointer<QWidget> m_answering;
    QTimer m_timer;
};
