#include "app/statusline.h"

#include "generator/pagekit.h"

#include <QDir>
#include <QLabel>

using namespace Qt::StringLiterals;

StatusLine::StatusLine(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(u"StatusBar1"_s);
    setSizeGripEnabled(false);
}

void StatusLine::showGameFolder(const GameFolderReader::Contents &contents)
{
    if (!m_gameFolderNote) {
        m_gameFolderNote = new QLabel(this);
        m_gameFolderNote->setObjectName(u"gameFolderNote"_s);
        m_gameFolderNote->setAccessibleName(u"Game folder"_s);
        addPermanentWidget(m_gameFolderNote);
    }
    m_gameFolderNote->setVisible(bool(contents));
    if (!contents)
        return;
    if (!contents->gameFolder) {
        m_gameFolderNote->setText(u"%1: not a game folder"_s.arg(contents->folderNames()));
        PageKit::setHint(m_gameFolderNote, contents->summary());
        return;
    }
    QStringList notes;
    for (const GameFolder::Note &note : contents->notes) {
        const QString file = contents->modFolder.isEmpty() ? note.file : QDir(note.folder).dirName() + u'/' + note.file;
        notes << u"%1 (%2)"_s.arg(QDir::toNativeSeparators(file), describe(note.trouble));
    }
    m_gameFolderNote->setText(u"Game folder %1: %2"_s.arg(contents->folderNames(), contents->mapsCountedBriefly()));
    // A hint, as every other in this window: in the status bar, never a pop-up.
    PageKit::setHint(m_gameFolderNote,
        notes.isEmpty() ? contents->summary() : u"What could not be read: "_s + notes.join(u"; "_s) + u'.');
}
