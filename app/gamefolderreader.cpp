#include "app/gamefolderreader.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrentRun>

GameFolderReader::GameFolderReader(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("gameFolderReader"));
}

GameFolderReader::~GameFolderReader()
{
    stop();
    if (m_pool)
        m_pool->waitForDone();
}

void GameFolderReader::read(const GameFolder::Folders &folders)
{
    stop();
    start(folders, GameFolder::Detail::Names, ++m_request);
}

void GameFolderReader::stop()
{
    m_reading.cancel();
}

// The watcher goes with this object, so a result that comes after it is dropped.
void GameFolderReader::start(const GameFolder::Folders &folders, GameFolder::Detail detail, int request)
{
    if (!m_pool) {
        m_pool = std::make_unique<QThreadPool>();
        m_pool->setObjectName(QStringLiteral("GameFolderReader"));
    }
    auto *watcher = new QFutureWatcher<Contents>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, folders, detail, request] {
        watcher->deleteLater();
        if (request != m_request || watcher->isCanceled() || watcher->future().resultCount() == 0)
            return;
        m_contents = watcher->result();
        emit folderRead(m_contents);
        if (detail == GameFolder::Detail::Names)
            start(folders, GameFolder::Detail::Spawns, request);
    });
    QThreadPool *pool = m_pool.get();
    m_reading = QtConcurrent::run(pool, [folders, detail, pool](QPromise<Contents> &promise) {
        GameFolder::Contents contents = GameFolder::read(
            folders, detail, [&promise] { return promise.isCanceled(); }, pool);
        if (!promise.isCanceled())
            promise.addResult(std::make_shared<const GameFolder::Contents>(std::move(contents)));
    });
    watcher->setFuture(m_reading);
}

void GameFolderReader::clear()
{
    stop();
    ++m_request;
    m_contents.reset();
    emit folderRead(nullptr);
}
