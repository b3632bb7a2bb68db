#include "app/scriptcheck.h"

#include "gamefolder/gamefolder.h"
#include "gamefolder/scriptchecks.h"
#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/scriptfile.h"

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

using Folder = ScriptChecks::Folder;

// The game folder `file` is checked against, read once for all the files it serves; none when there is none.
Folder folderFor(
    const QString &file, const Server &server, QList<std::pair<GameFolder::Folders, Folder>> &read, QTextStream &err)
{
    const std::optional<GameFolder::Folders> folders = GameFolder::foldersFor(file, server.gameFolder, server.fsGame);
    if (!folders)
        return nullptr;
    auto found = std::find_if(read.begin(), read.end(), [&](const auto &entry) { return entry.first == *folders; });
    if (found == read.end()) {
        const QString named = QDir::cleanPath(QFileInfo(server.gameFolder).absoluteFilePath());
        if (!server.gameFolder.isEmpty() && named != folders->game && named != folders->mod) {
            err << u"tallyforge: %1 holds the game folder main, which the game reads: checked against %2."_s.arg(
                QDir::toNativeSeparators(server.gameFolder), QDir::toNativeSeparators(folders->game))
                << Qt::endl;
        }
        auto contents = std::make_shared<const GameFolder::Contents>(GameFolder::read(*folders));
        err << u"tallyforge: "_s << contents->summary() << Qt::endl;
        for (const GameFolder::Note &note : std::as_const(contents->notes)) {
            err << u"tallyforge: "_s << QDir::toNativeSeparators(QDir(note.folder).filePath(note.file)) << u": "_s
                << describe(note.trouble) << Qt::endl;
        }
        read.append({ *folders, std::move(contents) });
        found = read.end() - 1;
    }
    return found->second;
}

// A file of the folder as the working folder names it, where it lies below it.
QString shownPath(const QString &path)
{
    const QString here = QDir::currentPath() + u'/';
    return QDir::toNativeSeparators(path.startsWith(here) ? path.sliced(here.size()) : path);
}

// What no game folder checked in a script: its maps, the scripts it execs, and whether anything reads the
// variables it sets.
struct Unchecked {
    bool maps = false;
    bool execs = false;
    bool variables = false;

    // The pages' own variables are read whatever the server.
    void add(const ConsoleReader::Reading &reading, QStringView text, const ValueCatalogue &values)
    {
        maps = maps || !reading.maps.isEmpty();
        for (const ConsoleReader::Span &name : variables ? QList<ConsoleReader::Span>() : reading.names)
            variables = !values.find(text.sliced(name.start, name.length));
        for (const QStringList &words : execs ? QList<QStringList>() : ConsoleReader::commandsOf(text))
            execs = execs || words.value(0).compare(u"exec", Qt::CaseInsensitive) == 0;
    }
    QString sentence(const QString &file) const
    {
        QStringList what;
        for (const auto &[holds, name] : { std::pair { maps, u"maps"_s }, std::pair { execs, u"exec'd scripts"_s },
                 std::pair { variables, u"variables"_s } }) {
            if (holds)
                what << name;
        }
        if (what.isEmpty())
            return {};
        const QString listed
            = what.size() == 1 ? what[0] : what.sliced(0, what.size() - 1).join(u", "_s) + u" and "_s + what.last();
        return u"The %1 of %2 were not checked: it stands in no game folder; --game-folder DIR checks them."_s.arg(
            listed, file);
    }
};

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err, const Server &server)
{
    const ValueCatalogue values = PageList::valueCatalogue();
    QList<std::pair<GameFolder::Folders, Folder>> folders;
    QSet<QString> said; // by the file's absolute path: a mark that several named scripts reach is said once
    auto firstTime = [&said](const QString &path, qsizetype line, qsizetype column, const QString &sentence) {
        const QString key = QStringList { QFileInfo(path).absoluteFilePath(), QString::number(line),
            QString::number(column), sentence }
                                .join(u'\n');
        if (said.contains(key))
            return false;
        said.insert(key);
        return true;
    };
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        ScriptChecks checks(values);
        // exec takes the file as it lies on the disk.
        checks.readBreaksAs(loaded.text.contains(u"\r\n"_s) ? ExecSize::Breaks::Saved : ExecSize::Breaks::AsTheyAre);
        checks.checkAgainst(folderFor(file, server, folders, err), file);
        // Its notes named the library; what only the archives could decide is left unsaid.
        if (checks.folder() && checks.folder()->archivesUnread)
            code = Unreadable;
        checks.replaceLines(0, 0, loaded.lines);
        QList<Found> found;
        Unchecked unchecked;
        for (qsizetype line = 0; line < loaded.lines.size(); ++line) {
            const ConsoleReader::Reading reading = checks.read(line, loaded.lines[line]);
            if (!checks.folder())
                unchecked.add(reading, loaded.lines[line], values);
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
        for (const Found &mark : found) {
            if (firstTime(file, mark.line, mark.column, mark.sentence))
                out << file << u':' << mark.line + 1 << u':' << mark.column + 1 << u": "_s << mark.sentence << u'\n';
        }
        // What the scripts the file execs mark, each where it lies.
        const QList<ScriptReader::ExecScript> &reached = checks.reachedScripts();
        bool reachedMarked = false;
        for (qsizetype script = 0; script < reached.size(); ++script) {
            for (qsizetype line = 0; line < reached[script].lines.size(); ++line) {
                for (const ConsoleReader::Mark &mark : checks.readReached(script, line).marks) {
                    reachedMarked = true;
                    if (firstTime(reached[script].file, line, mark.span.start, mark.sentence)) {
                        out << shownPath(reached[script].file) << u':' << line + 1 << u':' << mark.span.start + 1
                            << u": "_s << mark.sentence << u'\n';
                    }
                }
            }
        }
        for (const ScriptReader::Unfollowed &unfollowed : checks.unfollowed()) {
            const QString path = unfollowed.script < 0 ? file : reached[unfollowed.script].file;
            if (firstTime(path, unfollowed.line, -1, unfollowed.sentence)) {
                err << u"tallyforge: %1:%2: %3"_s.arg(unfollowed.script < 0 ? file : shownPath(path))
                           .arg(unfollowed.line + 1)
                           .arg(unfollowed.sentence)
                    << Qt::endl;
            }
        }
        out.flush();
        if ((!found.isEmpty() || reachedMarked) && code == NothingMarked)
            code = Marked;
        // A folder named that is none has said so already.
        if (const QString sentence = unchecked.sentence(file); !sentence.isEmpty() && server.gameFolder.isEmpty())
            err << u"tallyforge: "_s << sentence << Qt::endl;
    }
    return code;
}

} // namespace ScriptCheck
