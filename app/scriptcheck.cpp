#include "app/scriptcheck.h"

#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/scriptfile.h"
#include "script/scriptreader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScriptCheck {

namespace {

struct Found {
    qsizetype line; // from 0
    qsizetype column; // from 0
    QString sentence;
};

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err)
{
    const ValueCatalogue values = PageList::valueCatalogue();
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        QList<Found> found;
        const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(loaded.lines, values);
        for (qsizetype line = 0; line < readings.size(); ++line) {
            for (const ConsoleReader::Mark &mark : readings[line].marks)
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
