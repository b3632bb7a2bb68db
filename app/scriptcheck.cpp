#include "app/scriptcheck.h"

#include "gamefolder/gamefolder.h"
#include "gamefolder/mapmarks.h"
#include "gamefolder/serverscripts.h"
#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/scriptfile.h"
#include "script/scriptreader.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScriptCheck {

namespace {

struct Found {
    qsizetype line; // from 0
    qsizetype column; // from 0
    QString sentence;
};

// The game folder `file` is checked against, read once for all the files it serves; none when there is none, or
// when the folder named is no game folder.
const GameFolder::Contents *folderFor(const QString &file, const Server &server,
    QList<std::pair<GameFolder::Folders, GameFolder::Contents>> &read, QTextStream &err)
{
    const std::optional<GameFolder::Folders> folders = GameFolder::foldersFor(file, server.gameFolder, server.fsGame);
    if (!folders)
        return nullptr;
    auto found = std::find_if(read.begin(), read.end(), [&](const auto &entry) { return entry.first == *folders; });
    if (found == read.end()) {
        GameFolder::Contents contents = GameFolder::read(*folders);
        err << u"tallyforge: "_s << contents.summary() << Qt::endl;
        for (const GameFolder::Note &note : std::as_const(contents.notes)) {
            err << u"tallyforge: "_s << QDir::toNativeSeparators(QDir(note.folder).filePath(note.file)) << u": "_s
                << describe(note.trouble) << Qt::endl;
        }
        read.append({ *folders, std::move(contents) });
        found = read.end() - 1;
    }
    return found->second.gameFolder ? &found->second : nullptr;
}

// The marks the server's folder gives a line: its maps, and the gametypes its mods add.
void addFolderMarks(ConsoleReader::Reading &reading, QStringView text, const GameFolder::Contents &folder)
{
    GameFolder::addMapMarks(reading, folder);
    if (folder.scripts)
        addGametypeMarks(reading, text, *folder.scripts);
}

// A file of the folder as the working folder names it, where it lies below it.
QString shownPath(const QString &path)
{
    const QString here = QDir::currentPath() + u'/';
    return QDir::toNativeSeparators(path.startsWith(here) ? path.sliced(here.size()) : path);
}

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err, const Server &server)
{
    const ValueCatalogue values = PageList::valueCatalogue();
    QList<std::pair<GameFolder::Folders, GameFolder::Contents>> folders;
    QStringList unchecked; // files whose maps no game folder checked
    QSet<QString> saidOfExecs;
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        const GameFolder::Contents *folder = folderFor(file, server, folders, err);
        // Its notes named the library; what only the archives could decide is left unsaid.
        if (folder && folder->archivesUnread)
            code = Unreadable;
        QList<Found> found;
        ScriptReader reader(values);
        // exec takes the file as it lies on the disk.
        reader.readBreaksAs(loaded.text.contains(u"\r\n"_s) ? ExecSize::Breaks::Saved : ExecSize::Breaks::AsTheyAre);
        if (folder && folder->scripts)
            reader.readOn(ServerScripts::serverFor(folder->scripts, file));
        reader.replaceLines(0, 0, loaded.lines);
        for (qsizetype line = 0; line < loaded.lines.size(); ++line) {
            ConsoleReader::Reading reading = reader.read(line, loaded.lines[line]);
            if (folder)
                addFolderMarks(reading, loaded.lines[line], *folder);
            else if (!reading.maps.isEmpty() && !unchecked.contains(file))
                unchecked << file;
            for (const ConsoleReader::Mark &mark : std::as_const(reading.marks))
                found.append({ line, mark.span.start, mark.sentence });
        }
        // exec takes the file as it lies on the disk, whatever its line ends:
        // a file with LF ends is smaller than the editor would save it.
        if (const ExecSize::Size size = ExecSize::measure(loaded.text, ExecSize::Breaks::AsTheyAre); !size.fits()) {
            const ScriptFile::Position at = ScriptFile::positionOf(loaded.text, size.firstPast);
            found.append({ at.line, at.column, size.sentence() });
        }
        std::stable_sort(found.begin(), found.end(),
            [](const Found &a, const Found &b) { return std::pair(a.line, a.column) < std::pair(b.line, b.column); });
        for (const Found &mark : found)
            out << file << u':' << mark.line + 1 << u':' << mark.column + 1 << u": "_s << mark.sentence << u'\n';
        // What the scripts the file execs mark, each where it lies; a script two files exec says it once.
        bool reachedMarked = false;
        const QList<ScriptReader::ExecScript> reached
            = folder ? reader.reachedScripts() : QList<ScriptReader::ExecScript>();
        for (qsizetype script = 0; script < reached.size(); ++script) {
            for (qsizetype line = 0; line < reached[script].lines.size(); ++line) {
                ConsoleReader::Reading reading = reader.readReached(script, line);
                if (!reached[script].stock)
                    addFolderMarks(reading, reached[script].lines[line], *folder);
                for (const ConsoleReader::Mark &mark : std::as_const(reading.marks)) {
                    const QString said = u"%1:%2:%3: %4"_s.arg(shownPath(reached[script].file))
                                             .arg(line + 1)
                                             .arg(mark.span.start + 1)
                                             .arg(mark.sentence);
                    reachedMarked = true;
                    if (!saidOfExecs.contains(said)) {
                        saidOfExecs.insert(said);
                        out << said << u'\n';
                    }
                }
            }
        }
        for (const ScriptReader::Unfollowed &unfollowed :
            folder ? reader.unfollowed() : QList<ScriptReader::Unfollowed>()) {
            err << u"tallyforge: %1:%2: %3"_s
                       .arg(unfollowed.script < 0 ? file : shownPath(reached[unfollowed.script].file))
                       .arg(unfollowed.line + 1)
                       .arg(unfollowed.sentence)
                << Qt::endl;
        }
        out.flush();
        if ((!found.isEmpty() || reachedMarked) && code == NothingMarked)
            code = Marked;
    }
    // A folder named that is none has said so already.
    if (!unchecked.isEmpty() && server.gameFolder.isEmpty()) {
        err << u"tallyforge: The maps of %1 were not checked: %2 in no game folder; --game-folder DIR checks them."_s
                   .arg(unchecked.size() == 1 ? unchecked.constFirst() : u"%1 files"_s.arg(unchecked.size()),
                       unchecked.size() == 1 ? u"it stands"_s : u"they stand"_s)
            << Qt::endl;
    }
    return code;
}

} // namespace ScriptCheck
