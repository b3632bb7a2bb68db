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
#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScriptCheck {

namespace {

struct Found {
    qsizetype line; // from 0
    qsizetype column; // from 0
    QString sentence;
};

// The game folder `file` is checked against, read once for all the files in it; none outside a game folder.
const GameFolder::Contents *folderFor(const QString &file, const QString &gameFolder,
    QHash<QString, std::optional<GameFolder::Contents>> &read, QTextStream &err)
{
    const QString folder = !gameFolder.isEmpty() ? gameFolder : QFileInfo(file).absolutePath();
    auto found = read.find(folder);
    if (found == read.end()) {
        std::optional<GameFolder::Contents> contents;
        if (!gameFolder.isEmpty() || GameFolder::isGameFolder(folder)) {
            contents = GameFolder::read(folder);
            err << u"tallyforge: "_s << contents->summary() << Qt::endl;
            for (const GameFolder::Note &note : std::as_const(contents->notes)) {
                err << u"tallyforge: "_s << QDir::toNativeSeparators(QDir(folder).filePath(note.file)) << u": "_s
                    << note.reason << Qt::endl;
            }
        }
        found = read.insert(folder, contents);
    }
    return *found ? &**found : nullptr;
}

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err, const QString &gameFolder)
{
    const ValueCatalogue values = PageList::valueCatalogue();
    QHash<QString, std::optional<GameFolder::Contents>> folders;
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        const GameFolder::Contents *folder = folderFor(file, gameFolder, folders, err);
        QList<Found> found;
        QList<ConsoleReader::Reading> readings = ScriptReader::readAll(loaded.lines, values);
        for (qsizetype line = 0; line < readings.size(); ++line) {
            ConsoleReader::Reading &reading = readings[line];
            if (folder)
                GameFolder::addMapMarks(reading, *folder);
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
    return code;
}

} // namespace ScriptCheck
