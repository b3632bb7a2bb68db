#include "app/filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

FileDrop::FileDrop(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("fileDrop"));
}

void FileDrop::watch(QWidget *widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QList<QUrl> urls = drop->mimeData() ? drop->mimeData()->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        QMetaObject::invokeMethod(
            this, [this, path = urls.constFirst().toLocalFile()] { Q_EMIT dropped(path); }, Qt::QueuedConnection);
    }
    return true;
}
