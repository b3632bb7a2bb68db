#pragma once

#include "gamefolder/gamefolder.h"

#include <QObject>

#include <memory>

// Reads a game folder off the GUI thread, so that the window never waits for
// it: the maps' names first, which take milliseconds, then their spawn points,
// each reported as it is done. A newer request makes an older one's results
// go unreported.
class GameFolderReader : public QObject {
    Q_OBJECT

public:
    using Contents = std::shared_ptr<const GameFolder::Contents>;

    explicit GameFolderReader(QObject *parent = nullptr);

    // Reads `folder`, whatever it holds.
    void read(const QString &folder);
    // Forgets the folder: reports none.
    void clear();
    // What was reported last.
    const Contents &contents() const { return m_contents; }

signals:
    // Twice for each folder read: with the names, then with the spawn points too.
    void folderRead(GameFolderReader::Contents contents);

private:
    void start(const QString &folder, GameFolder::Detail detail, int request);

    int m_request = 0;
    Contents m_contents;
};
