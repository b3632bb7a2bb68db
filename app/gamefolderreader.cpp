#include "app/gamefolderreader.h"

#include <QFutureWatcher>
#include <QtConcurrentRun>

GameFolderReader::GameFolderReader(QObject *parent)
    : QObject(parent)
{
}

void GameFolderReader::read(const QString &folder)
{
    start(folder, GameFolder::Detail::Names, ++m_request);
}

// The watcher goes with this object, so a result that comes after it is dropped.
void GameFolderReader::start(const QString &folder, GameFolder::Detail detail, int request)
{
    auto *watcher = new QFutureWatcher<Contents>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, folder, detail, request] {
        watcher->deleteLater();
        if (request != m_request)
            return;
        m_contents = watcher->result();
        emit folderRead(m_contents);
        if (detail == GameFolder::Detail::Names)
            start(folder, GameFolder::Detail::Spawns, request);
    });
    watcher->setFuture(QtConcurrent::run(
        [folder, detail] { return Contents(new GameFolder::Contents(GameFolder::read(folder, detail))); }));
}

void GameFolderReader::clear()
{
    ++m_request;
    m_contents.reset();
    emit folderRead(nullptr);
}
