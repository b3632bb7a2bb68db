#pragma once

#include "app/gamefolderreader.h"

#include <QStatusBar>

class QLabel;

// The window's status bar: the hints of the controls, the notes of the editor
// and the fields, the result of Open or a save, and at its right end the
// maps of the game folder in a few words.
//
// A message never ends in a cut word: what does not fit ends in "…", and the
// pointer over it shows the whole sentence. A result stands until the user's
// next key or click: a hint the pointer brings shows over it, and it comes back
// when the hint ends. When a hint ends and no result stands, the focused
// control is offered the ended hint (an empty QStatusTipEvent), so that a field
// may say again what the game does with its value.
class StatusLine : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    void showResult(const QString &sentence);
    bool showsResult() const { return !m_result.isEmpty(); }

    // Names the folder's maps briefly, with what it is in the hint, or that it is no game folder; nothing for no
    // folder.
    void showGameFolder(const GameFolderReader::Contents &contents);

    // The message as the bar shows it: whole words, and "…" where they do not all fit.
    QString shownMessage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRect messageArea() const;
    void messageChanged(const QString &message);
    void endResult();

    QString m_result;
    bool m_offering = false;
    QLabel *m_gameFolderNote = nullptr; // once a folder is read
};
