#pragma once

#include "app/gamefolderreader.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class PageList;
class PagesWatch;
class QTextDocument;

// The script the window works on, below its widgets: what "Finish!", Open,
// saving and "Clear Cfg" do to the editor's text and the pages; the lines of
// the last opened script that no page stands in for, which every "Finish!"
// writes around the sections; the file it came from; the game folder its maps
// are checked against; and whether replacing it would lose work.
class ScriptDocument : public QObject {
    Q_OBJECT

public:
    // `text` gives the editor's document, making the editor when it must.
    ScriptDocument(const PageList &pages, std::function<QTextDocument *()> text, QObject *parent = nullptr);

    // The pages' script replaces the text, with the sections' comment lines when `comments`.
    void finish(bool comments);
    // Reads the script at `path` into the pages and the text; says why it
    // cannot, and changes nothing, when it cannot.
    std::optional<QString> open(const QString &path);
    // Writes the text to `path`, Windows-1252 with CR LF line ends; says why
    // it cannot, leaving any file that was there untouched, when it cannot.
    std::optional<QString> save(const QString &path);
    // The text is thrown away: nothing is left for Open to ask about.
    void clear();

    // The pages as they are now are the ones a window starts with.
    void pagesStarted();
    // Whether replacing the script loses work: the text has changes not saved
    // since "Finish!", Open or a save; the pages write another script than
    // the last "Finish!" or Open made of them, or before either, than their
    // start values.
    bool textChanged() const;
    bool pagesChanged() const;

    // The lines of the last opened script that "Finish!" writes around the
    // sections: the first keptBeforeSections() before them, the rest after.
    const QStringList &keptLines() const { return m_keptLines; }
    qsizetype keptBeforeSections() const { return m_keptBeforeSections; }
    // The script last opened, which saving proposes; empty before.
    const QString &openedFile() const { return m_openedFile; }
    // Where the script lies: the file last opened or saved; empty before.
    const QString &scriptPath() const { return m_scriptPath; }

    // The folder chosen through File > Game Folder, read at once; it is read for every script from now on.
    void chooseGameFolder(const QString &folder);
    const QString &chosenGameFolder() const { return m_chosenGameFolder; }
    // The game folder read last, as gameFolderRead() reported it.
    const GameFolderReader::Contents &gameFolder() const { return m_gameFolder->contents(); }

Q_SIGNALS:
    // The text holds a new script, written by "Finish!" or read by Open;
    // `comments` tells whether it holds the sections' comment lines.
    void replaced(bool comments);
    // What Open or a save did, in a sentence.
    void told(const QString &sentence);
    // Whether the pages write another script than the text was made from.
    void pagesDifferChanged(bool differ);
    void gameFolderRead(GameFolderReader::Contents contents);

private:
    QTextDocument *text() const { return m_text(); }
    void replaceText(const std::function<void()> &write, bool comments);
    // Reads the game folder of a script opened or saved at `path` (see GameFolder::foldersFor); a script saved
    // where no game folder is keeps the one it was checked against. Says so when the folder changes.
    QString useGameFolderOf(const QString &path, bool saved = false);

    const PageList &m_pages;
    const std::function<QTextDocument *()> m_text;
    PagesWatch *const m_pagesWatch;
    GameFolderReader *const m_gameFolder;
    QStringList m_keptLines;
    qsizetype m_keptBeforeSections = 0;
    QString m_openedFile;
    QString m_chosenGameFolder;
    QString m_scriptPath; // the script last opened or saved, whose folder is read when none is chosen
    std::optional<GameFolder::Folders> m_folders; // the ones read
};
