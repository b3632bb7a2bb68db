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
    QStringList notes;
    for (const GameFolder::Note &note : contents->notes)
        notes << u"%1 (%2)"_s.arg(QDir::toNativeSeparators(note.file), note.reason);
    m_gameFolderNote->setText(
        u"Game folder %1: %2"_s.arg(QDir(contents->folder).dirName(), contents->mapsCountedBriefly()));
    // A hint, as every other in this window: in the status bar, never a pop-up.
    PageKit::setHint(m_gameFolderNote,
        notes.isEmpty() ? contents->summary() : u"What could not be read: "_s + notes.join(u"; "_s) + u'.');
}
