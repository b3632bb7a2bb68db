#include "app/gamefolderreader.h"

#include <QFuture>
#include <QtConcurrentRun>

GameFolderReader::GameFolderReader(QObject *parent)
    : QObject(parent)
{
}

void GameFolderReader::read(const QString &folder)
{
    const int request = ++m_request;
    auto readAs = [folder](GameFolder::Detail detail) {
        return QtConcurrent::run(
            [folder, detail] { return Contents(new GameFolder::Contents(GameFolder::read(folder, detail))); });
    };
    readAs(GameFolder::Detail::Names).then(this, [this, request, readAs](const Contents &names) {
        if (request != m_request)
            return;
        emit folderRead(names);
        readAs(GameFolder::Detail::Spawns).then(this, [this, request](const Contents &spawns) {
            if (request == m_request)
                emit folderRead(spawns);
        });
    });
}

void GameFolderReader::clear()
{
    ++m_request;
    emit folderRead(nullptr);
}
