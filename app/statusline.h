#pragma once

#include "app/gamefolderreader.h"

#include <QStatusBar>

class QLabel;

// The window's status bar: the hints of the controls, the notes of the
// editor and the fields, and at its right end the maps of the game folder
// in a few words.
class StatusLine : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    // Names the folder's maps briefly, with what it is in the hint, or that it is no game folder; nothing for no
    // folder.
    void showGameFolder(const GameFolderReader::Contents &contents);

private:
    QLabel *m_gameFolderNote = nullptr; // once a folder is read
};
