#include "app/scriptcheck.h"

#include "gamefolder/gamefolder.h"
#include "gamefolder/mapmarks.h"
#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/scriptfile.h"
#include "script/scriptreader.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err, const Server &server)
{
    const ValueCatalogue values = PageList::valueCatalogue();
    QList<std::pair<GameFolder::Folders, GameFolder::Contents>> folders;
    QStringList unchecked; // files whose maps no game folder checked
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        const GameFolder::Contents *folder = folderFor(file, server, folders, err);
        QList<Found> found;
        QList<ConsoleReader::Reading> readings = ScriptReader::readAll(loaded.lines, values);
        for (qsizetype line = 0; line < readings.size(); ++line) {
            ConsoleReader::Reading &reading = readings[line];
            if (folder)
                GameFolder::addMapMarks(reading, *folder);
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
        out.flush();
        if (!found.isEmpty() && code == NothingMarked)
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
