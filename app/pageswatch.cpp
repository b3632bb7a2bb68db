#include "app/pageswatch.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <utility>

PagesWatch::PagesWatch(std::function<QString()> write, QObject *parent)
    : QObject(parent)
    , m_write(std::move(write))
{
    setObjectName(QStringLiteral("pagesWatch"));
}

void PagesWatch::remember(const QList<QWidget *> &pages)
{
    watch(pages);
    m_madeFrom = m_write();
    m_remembering = true;
    setDiffers(false);
}

void PagesWatch::rememberStart()
{
    m_madeFrom = m_write();
}

void PagesWatch::forget()
{
    m_remembering = false;
    setDiffers(false);
}

// Every control that holds a setting is an edit or a button that toggles.
void PagesWatch::watch(const QList<QWidget *> &pages)
{
    if (std::exchange(m_watching, true))
        return;
    for (const QWidget *page : pages) {
        for (QLineEdit *edit : page->findChildren<QLineEdit *>())
            connect(edit, &QLineEdit::textChanged, this, &PagesWatch::controlChanged);
        for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
            if (button->isCheckable())
                connect(button, &QAbstractButton::toggled, this, &PagesWatch::controlChanged);
        }
    }
}

void PagesWatch::controlChanged()
{
    if (m_remembering && !std::exchange(m_comparing, true))
        QMetaObject::invokeMethod(this, &PagesWatch::compare, Qt::QueuedConnection);
}

void PagesWatch::compare()
{
    m_comparing = false;
    if (m_remembering)
        setDiffers(changed());
}

void PagesWatch::setDiffers(bool differs)
{
    if (std::exchange(m_differs, differs) != differs)
        Q_EMIT differsChanged(differs);
}
