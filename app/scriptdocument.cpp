#include "app/scriptdocument.h"

#include "app/cfgfile.h"
#include "app/pageswatch.h"
#include "generator/pagelist.h"
#include "generator/settingspage.h"
#include "script/openedscript.h"
#include "script/scriptfile.h"
#include "script/scriptwriter.h"
#include "script/valuecatalogue.h"
#include "script/wording.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QString openedSentence(const OpenedScript &script, qsizetype kept)
{
    QString sentence = u"Read %1 into the pages; %2 kept as written."_s.arg(
        Wording::counted(script.takenCount(), u"setting", u"settings"),
        Wording::counted(kept, u"line is", u"lines are"));
    if (const qsizetype started = script.startValueCount(); started > 0) {
        sentence += u' '
            + Wording::counted(started, u"box the file gives no value it can show kept its start value.",
                u"boxes the file gives no value they can show kept their start values.");
    }
    return sentence;
}

QString savedSentence(const QString &path)
{
    return u"Saved %1."_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

} // namespace

ScriptDocument::ScriptDocument(const PageList &pages, std::function<QTextDocument *()> text, QObject *parent)
    : QObject(parent)
    , m_pages(pages)
    , m_text(std::move(text))
    , m_pagesWatch(new PagesWatch(
          [this] {
              ScriptWriter out(false);
              m_pages.writeScript(out, m_keptLines, m_keptBeforeSections);
              return out.text();
          },
          this))
    , m_gameFolder(new GameFolderReader(this))
{
    setObjectName(u"scriptDocument"_s);
    connect(m_pagesWatch, &PagesWatch::differsChanged, this, &ScriptDocument::pagesDifferChanged);
    connect(m_gameFolder, &GameFolderReader::folderRead, this, &ScriptDocument::gameFolderRead);
}

// Generated or opened, the text is no edit of the script before it: nothing to undo into.
void ScriptDocument::replaceText(const std::function<void()> &write, bool comments)
{
    text()->setUndoRedoEnabled(false);
    write();
    text()->setUndoRedoEnabled(true);
    text()->setModified(false);
    Q_EMIT replaced(comments);
    const QList<SettingsPage *> pages = m_pages.settingsPages();
    m_pagesWatch->remember(QList<QWidget *>(pages.cbegin(), pages.cend()));
}

void ScriptDocument::finish(bool comments)
{
    replaceText(
        [&] {
            ScriptWriter out(text(), comments);
            m_pages.writeScript(out, m_keptLines, m_keptBeforeSections);
        },
        comments);
}

std::optional<QString> ScriptDocument::open(const QString &path)
{
    const ScriptFile::Loaded loaded = ScriptFile::load(path);
    if (!loaded.ok())
        return loaded.error;
    OpenedScript script(loaded.lines, m_pages.ownCommentLines(), PageList::valueCatalogue());
    m_pages.takeValues(script);
    m_keptLines = script.keptLines();
    m_keptBeforeSections = script.keptBeforeSections();
    m_openedFile = QFileInfo(path).absoluteFilePath();
    replaceText(
        [&] {
            QString lines = loaded.lines.join(u'\n');
            if (loaded.endsWithLineBreak())
                lines += u'\n';
            text()->setPlainText(lines);
        },
        script.holdsOwnComments());
    const QString folderChange = useGameFolderOf(path);
    Q_EMIT told(openedSentence(script, m_keptLines.size()) + folderChange);
    return std::nullopt;
}

std::optional<QString> ScriptDocument::save(const QString &path)
{
    if (std::optional<QString> failure = CfgFile::save(path, text()->toRawText()))
        return failure;
    text()->setModified(false);
    Q_EMIT told(savedSentence(path) + useGameFolderOf(path, true));
    return std::nullopt;
}

void ScriptDocument::clear()
{
    text()->clear();
    text()->setModified(false);
    m_pagesWatch->forget();
}

void ScriptDocument::pagesStarted()
{
    m_pagesWatch->rememberStart();
}

bool ScriptDocument::textChanged() const
{
    return text()->isModified();
}

bool ScriptDocument::pagesChanged() const
{
    return m_pagesWatch->changed();
}

void ScriptDocument::chooseGameFolder(const QString &folder)
{
    m_chosenGameFolder = folder;
    if (const QString change = useGameFolderOf(m_scriptPath); !change.isEmpty())
        Q_EMIT told(change.trimmed());
}

QString ScriptDocument::useGameFolderOf(const QString &path, bool saved)
{
    m_scriptPath = path;
    std::optional<GameFolder::Folders> folders = GameFolder::foldersFor(path, m_chosenGameFolder);
    if (!folders && saved)
        folders = m_folders;
    if (folders)
        m_gameFolder->read(*folders);
    else
        m_gameFolder->clear();
    if (std::exchange(m_folders, folders) == folders)
        return {};
    if (!folders) {
        return u" The script is no longer checked against a game folder: %1 stands in none; File > Game Folder "
               "chooses one."_s.arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    }
    const QString game = QDir::toNativeSeparators(folders->game);
    if (!GameFolder::isGameFolder(folders->game))
        return u" %1 is no game folder: the script is checked against none."_s.arg(game);
    return folders->mod.isEmpty()
        ? u" The script is now checked against the game folder %1."_s.arg(game)
        : u" The script is now checked against the mod folder %1 and the game folder %2."_s.arg(
            QDir::toNativeSeparators(folders->mod), game);
}
