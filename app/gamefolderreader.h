#pragma once

#include "gamefolder/gamefolder.h"

#include <QFuture>
#include <QObject>

#include <memory>

class QThreadPool;

// Reads a game folder off the GUI thread, so that the window never waits for
// it: the maps' names first, which take milliseconds, then their spawn points,
// each reported as it is done. The reading runs on a thread pool of its own,
// made at the first request; a newer request or the reader's end stops an
// older reading at its next archive or piece of one.
class GameFolderReader : public QObject {
    Q_OBJECT

public:
    using Contents = std::shared_ptr<const GameFolder::Contents>;

    explicit GameFolderReader(QObject *parent = nullptr);
    ~GameFolderReader() override;

    // Reads `folders`, whatever they hold.
    void read(const GameFolder::Folders &folders);
    // Forgets the folder: reports none.
    void clear();
    // What was reported last.
    const Contents &contents() const { return m_contents; }

signals:
    // Twice for each folder read: with the names, then with the spawn points too.
    void folderRead(GameFolderReader::Contents contents);

private:
    void start(const GameFolder::Folders &folders, GameFolder::Detail detail, int request);
    void stop();

    std::unique_ptr<QThreadPool> m_pool;
    QFuture<Contents> m_reading;
    int m_request = 0;
    Contents m_contents;
};
