// Measures what a user can notice: how soon the window is there, and how long
// "Finish!", a builder click and a save take on large input. Every figure is
// the median with min and max over repeated runs, printed next to its goal.
//
//   tallyforge_bench [--runs N] [--startup-runs N]
//                    [--only startup|pass|append|save|open|gamefolder|server|hostile|running]
//                    [--game-folder DIR]
//
// With --game-folder, also reads a real server's folder and lists its maps.
//
// Run it on a real X server (scripts/bench starts Xvfb when there is none).

#include "app/appearance.h"
#include "app/editorpage.h"
#include "app/gamefolderreader.h"
#include "app/problemsview.h"
#include "app/tform1.h"
#include "formtest.h"
#include "gamefiles.h"
#include "gamefolder/gamefolder.h"
#include "gamefolder/serverscripts.h"
#include "generator/maprotationpage.h"
#include "liveserver/pacer.h"
#include "liveserver/runningserver.h"
#include "script/scriptfile.h"
#include "widgets/tappendedit.h"
#include "widgets/ttextbutton.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>
#include <QUdpSocket>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

extern char **environ;

using namespace Qt::StringLiterals;
using FormTest::editorLines;

namespace {

long long nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Stats {
    double median = 0, min = 0, max = 0;
};

Stats stats(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return { median, values.front(), values.back() };
}

// The ratio of the medians; min and max of the ratios of runs taken side by side.
Stats ratio(const std::vector<double> &of, const std::vector<double> &to)
{
    Stats s;
    s.median = stats(of).median / stats(to).median;
    std::vector<double> pairs;
    for (size_t i = 0; i < of.size() && i < to.size(); ++i)
        pairs.push_back(of[i] / to[i]);
    const Stats each = stats(pairs);
    s.min = each.min;
    s.max = each.max;
    return s;
}

int goalsMissed = 0;
int goalsChecked = 0;

void printHeader(const char *title)
{
    std::printf("\n%s\n", title);
    std::printf("  %-58s %10s %10s %10s   %-14s %s\n", "figure", "median", "min", "max", "goal", "");
}

// `limit`: the goal as an upper bound in the figure's unit, if it has one.
void printFigure(const std::string &name, const Stats &s, const char *unit, std::optional<double> limit,
    const std::string &goal, bool whole = true)
{
    std::string verdict;
    if (limit) {
        ++goalsChecked;
        const bool met = whole && s.median <= *limit;
        if (!met)
            ++goalsMissed;
        verdict = met ? "met" : (whole ? "MISSED" : "MISSED (result not whole)");
    } else if (!whole) {
        verdict = "RESULT NOT WHOLE";
    }
    std::printf("  %-58s %7.2f %-2s %7.2f %-2s %7.2f %-2s   %-14s %s\n", name.c_str(), s.median, unit, s.min, unit,
        s.max, unit, goal.c_str(), verdict.c_str());
    std::fflush(stdout);
}

// ---- start-up, one process per run ------------------------------------------

struct Launch {
    double toApplicationMs = -1; // QApplication constructed
    double toWindowMs = -1; // window constructed, not yet shown
    double toFirstPaintMs = -1;
    double residentMb = -1;
};

std::string runProbe(const std::vector<std::string> &args, long long *startNs)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    *startNs = nowNs();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    if (spawned == 0) {
        char buffer[256];
        ssize_t got;
        while ((got = read(out[0], buffer, sizeof buffer)) > 0)
            output.append(buffer, size_t(got));
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(out[0]);
    return output;
}

Launch launch(const std::vector<std::string> &args)
{
    long long start = 0;
    const std::string output = runProbe(args, &start);
    Launch result;
    long long painted = 0, rss = 0, application = 0, window = 0;
    for (const char *line = output.c_str(); line && *line; line = std::strchr(line, '\n')) {
        while (*line == '\n')
            ++line;
        if (std::sscanf(line, "application_ns %lld", &application) == 1)
            result.toApplicationMs = double(application - start) / 1e6;
        else if (std::sscanf(line, "window_ns %lld", &window) == 1)
            result.toWindowMs = double(window - start) / 1e6;
        else if (std::sscanf(line, "painted_ns %lld", &painted) == 1)
            result.toFirstPaintMs = double(painted - start) / 1e6;
        else if (std::sscanf(line, "rss_kb %lld", &rss) == 1)
            result.residentMb = double(rss) / 1024.0;
    }
    return result;
}

void benchStartup(int runs)
{
    const std::string probe = STARTUP_PROBE;
    long long ignored = 0;
    int widgets = 0, width = 0, height = 0;
    const std::string counted = runProbe({ probe, "count" }, &ignored);
    const size_t at = counted.find("widgets ");
    const size_t kindsAt = counted.find("kinds ");
    if (at == std::string::npos || kindsAt == std::string::npos
        || std::sscanf(counted.c_str() + at, "widgets %d size %d %d", &widgets, &width, &height) != 3) {
        std::printf("  the start-up probe could not count the main window's widgets\n");
        ++goalsChecked;
        ++goalsMissed;
        return;
    }
    const std::string kinds = counted.substr(kindsAt + 6, counted.find('\n', kindsAt) - kindsAt - 6);
    const std::vector<std::string> form { probe, "form" };
    const std::vector<std::string> bare { probe, "bare", std::to_string(width), std::to_string(height) };
    std::vector<std::string> plain { probe, "plain", std::to_string(width), std::to_string(height) };
    for (size_t from = 0, to = 0; from < kinds.size(); from = to + 1) {
        to = std::min(kinds.find(' ', from), kinds.size());
        plain.push_back(kinds.substr(from, to - from));
    }

    // The window, the bare window, and a stock window with as many controls of each kind.
    const std::vector<std::string> *const probes[] = { &form, &bare, &plain };
    for (const auto *args : probes)
        launch(*args); // the first start also pays for cold caches
    std::vector<double> ms[3], mb[3], application[3], build[3], show[3];
    for (int i = 0; i < runs; ++i) {
        // Rotate which goes first, so none always starts on a warmer cache.
        Launch results[3];
        for (int k = 0; k < 3; ++k)
            results[(i + k) % 3] = launch(*probes[(i + k) % 3]);
        if (std::any_of(std::begin(results), std::end(results),
                [](const Launch &l) { return l.toFirstPaintMs < 0 || l.residentMb < 0; })) {
            std::printf("  start-up run %d failed\n", i);
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            const Launch &l = results[k];
            ms[k].push_back(l.toFirstPaintMs);
            mb[k].push_back(l.residentMb);
            application[k].push_back(l.toApplicationMs);
            build[k].push_back(l.toWindowMs - l.toApplicationMs);
            show[k].push_back(l.toFirstPaintMs - l.toWindowMs);
        }
    }

    char title[200];
    std::snprintf(title, sizeof title,
        "Start-up (%zu runs of each, each a new process; Tallyforge: %d widgets, %d x %d; bare window: nine pages of"
        " 11 check boxes and edits; stock window: kinds %s)",
        ms[0].size(), widgets, width, height, kinds.c_str());
    printHeader(title);
    const char *names[] = { "Tallyforge", "bare window", "stock window, same controls" };
    for (int k = 0; k < 3; ++k)
        printFigure(std::string("process start to first painted window: ") + names[k], stats(ms[k]), "ms", {}, "");
    printFigure("  ratio to the bare window (min/max: per run)", ratio(ms[0], ms[1]), "x", 1.0, "<= 1.0 x bare");
    printFigure("  ratio to the stock window (min/max: per run)", ratio(ms[0], ms[2]), "x", 0.8, "<= 0.8 x stock");
    const char *parts[] = { "to QApplication built", "window built", "shown until first frame" };
    const std::vector<double> *partValues[] = { application, build, show };
    for (int p = 0; p < 3; ++p) {
        for (int k = 0; k < 3; ++k)
            printFigure(k ? "" : std::string("  of which: ") + parts[p] + ", Tallyforge / bare / stock",
                stats(partValues[p][k]), "ms", {}, "");
    }
    for (int k = 0; k < 3; ++k)
        printFigure(std::string("resident memory 1 s later: ") + names[k], stats(mb[k]), "MB", {}, "");
    printFigure("  ratio to the bare window (min/max: per run)", ratio(mb[0], mb[1]), "x", 1.15, "<= 1.15 x bare");
}

// ---- in process --------------------------------------------------------------

// Lets the event loop paint whatever the last action changed, as it would
// before the user sees the result.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

double timeMs(const std::function<void()> &action)
{
    const long long start = nowNs();
    action();
    settle();
    return double(nowNs() - start) / 1e6;
}

// Text of `size` characters made of rotation words, like a long real value.
QString filler(qsizetype size)
{
    static const QString words = u"gametype sd map mp_bocage map mp_harbor map mp_carentan gametype tdm "_s;
    QString text;
    text.reserve(size);
    while (text.size() < size)
        text.append(words);
    text.truncate(size);
    return text;
}

struct Window {
    TForm1 form;
    Window()
    {
        form.show();
        for (int i = 0; i < 50 && !form.isVisible(); ++i)
            settle();
        settle();
    }
    void finish() { form.findChild<TTextButton *>(QStringLiteral("btnFinish"))->click(); }
    void clear()
    {
        if (form.findChild<TTextButton *>(QStringLiteral("btnClear"))->isVisible())
            form.findChild<TTextButton *>(QStringLiteral("btnClear"))->click();
        settle();
    }
};

double passMs(Window &w, qsizetype *lines)
{
    w.clear();
    const double ms = timeMs([&] { w.finish(); });
    *lines = w.form.editor()->document()->blockCount() - 1;
    return ms;
}

void benchPasses(int runs)
{
    printHeader("Generation pass (\"Finish!\" until the editor page is painted)");
    {
        Window w;
        qsizetype lines = 0;
        for (int i = 0; i < 3; ++i)
            passMs(w, &lines);
        // Qt's floor: a stock plain-text edit like the editor, on a page of the same tab strip without a tab of
        // its own, given the same text and brought to the front.
        auto *tabs = w.form.findChild<QTabWidget *>(u"PageControl1"_s);
        QPlainTextEdit *editor = w.form.editor();
        auto *stockPage = new QWidget;
        auto *stock = new QPlainTextEdit(stockPage);
        stock->setGeometry(editor->geometry());
        stock->setFont(editor->font());
        stock->setVerticalScrollBarPolicy(editor->verticalScrollBarPolicy());
        tabs->setTabVisible(tabs->addTab(stockPage, QString()), false);
        const QString script = editor->toPlainText();
        std::vector<double> ms, floor;
        for (int i = 0; i < runs; ++i) {
            ms.push_back(passMs(w, &lines));
            tabs->setCurrentIndex(0);
            stock->clear();
            settle();
            floor.push_back(timeMs([&] {
                stock->setPlainText(script);
                tabs->setCurrentWidget(stockPage);
            }));
        }
        printFigure("every control at its start value (" + std::to_string(lines) + " lines)", stats(ms), "ms", {}, "");
        printFigure("  the same text shown by a stock edit", stats(floor), "ms", {}, "");
        printFigure("  ratio to the stock edit (min/max: per run)", ratio(ms, floor), "x", 2.0, "<= 2 x stock");
    }
    {
        Window w;
        const QString value = filler(10 * 1024);
        for (QCheckBox *box : w.form.findChildren<QCheckBox *>())
            box->setChecked(true);
        const QList<QLineEdit *> edits = w.form.findChildren<QLineEdit *>();
        for (QLineEdit *edit : edits)
            edit->setText(value);
        qsizetype lines = 0;
        std::vector<double> ms;
        passMs(w, &lines);
        for (int i = 0; i < runs; ++i)
            ms.push_back(passMs(w, &lines));
        const qsizetype size = w.form.editor()->document()->characterCount();
        bool whole = true;
        int valueLines = 0;
        for (const QString &line : editorLines(w.form)) {
            if (line.contains(value))
                ++valueLines;
        }
        whole = valueLines == edits.size();
        printFigure("all included, " + std::to_string(edits.size()) + " values of 10 KB (" + std::to_string(size / 1024)
                + " K chars)",
            stats(ms), "ms", 200.0, "< 200 ms", whole);
    }
    {
        Window w;
        const QString rotation = filler(1024 * 1024);
        w.form.findChild<TAppendEdit *>(u"edRotation"_s)->setEditText(rotation);
        qsizetype lines = 0;
        std::vector<double> ms;
        passMs(w, &lines);
        for (int i = 0; i < runs; ++i)
            ms.push_back(passMs(w, &lines));
        const QString expected = u"set sv_mapRotation \"%1\""_s.arg(rotation);
        printFigure("start values with a 1 MB rotation", stats(ms), "ms", 200.0, "< 200 ms",
            editorLines(w.form).contains(expected));
    }
}

void benchAppends(int runs)
{
    printHeader("Rotation builder (a click on a builder button until the edit is painted)");
    for (const qsizetype size : { qsizetype(100 * 1024), qsizetype(1024 * 1024) }) {
        Window w;
        w.form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))
            ->setCurrentWidget(w.form.findChild<MapRotationPage *>(QStringLiteral("TabSheet6")));
        auto *edit = w.form.findChild<TAppendEdit *>(u"edRotation"_s);
        auto *button = w.form.findChild<TTextButton *>(u"TextButton7"_s);
        if (!edit || !button) {
            std::printf("  (no rotation builder yet)\n");
            return;
        }
        QString expected = filler(size);
        edit->setEditText(expected);
        // Qt's floor: a stock edit just above, with the same font and text, which gets the same piece after each
        // click. Either lays out and measures its whole text at each change, and draws it again.
        QLineEdit stock(edit->parentWidget());
        stock.setGeometry(edit->geometry().translated(0, -edit->height() - 4));
        stock.setFont(edit->font());
        stock.setMaxLength(edit->maxLength());
        stock.setText(expected);
        stock.show();
        settle();
        // The piece the button adds, as seen on the first click.
        button->click();
        const QString piece = edit->text().mid(expected.size());
        expected += piece;
        stock.setText(stock.text() + piece);
        std::vector<double> ms, floor;
        for (int i = 0; i < runs; ++i) {
            ms.push_back(timeMs([&] { button->click(); }));
            expected += piece;
            floor.push_back(timeMs([&] { stock.setText(stock.text() + piece); }));
        }
        const bool whole = edit->text() == expected && stock.text() == expected;
        const std::string rotation = size < 1024 * 1024 ? "100 KB" : "1 MB";
        printFigure("append to a " + rotation + " rotation", stats(ms), "ms", {}, "", whole);
        printFigure("  the same append to a stock edit", stats(floor), "ms", {}, "");
        printFigure("  ratio to the stock edit (min/max: per run)", ratio(ms, floor), "x", 1.15, "<= 1.15 x stock");
    }
}

void benchSave(int runs)
{
    printHeader("Saving (editor text to file, as \"Save CFG\" does after the dialog)");
    Window w;
    w.finish();
    settle();
    // A 1 MB script of ordinary lines: the default script over and over.
    const QStringList script = editorLines(w.form);
    QString text;
    while (text.size() < 1024 * 1024)
        text.append(script.join(u'\n')).append(u'\n');
    w.form.editor()->setPlainText(text);
    settle();
    QByteArray expected = text.toLatin1();
    expected.replace("\n", "\r\n");

    QTemporaryDir dir;
    const QString path = dir.filePath(u"servercfg.cfg"_s);
    std::vector<double> ms;
    bool whole = true;
    for (int i = 0; i < runs; ++i) {
        ms.push_back(timeMs([&] { w.form.saveTo(path); }));
        QFile file(path);
        whole = whole && file.open(QIODevice::ReadOnly) && file.readAll() == expected;
    }
    printFigure("save a 1 MB script (" + std::to_string(expected.size() / 1024) + " KB, "
            + std::to_string(text.count(u'\n')) + " lines)",
        stats(ms), "ms", 200.0, "< 200 ms", whole);
}

void benchOpen(int runs)
{
    printHeader("Opening (a file until the editor is painted; a keystroke in it)");
    // The largest file Open takes: the window's own script, then a server's other lines, over and over.
    Window w;
    w.finish();
    settle();
    const QStringList script = editorLines(w.form);
    QByteArray bytes;
    for (int n = 0;; ++n) {
        QByteArray block = script.join(u'\n').toLatin1() + '\n';
        for (int k = 0; k < 40; ++k)
            block += "set my_variable_" + QByteArray::number(n * 40 + k) + " \"some value\" // a note\nexec more.cfg\n";
        if (bytes.size() + block.size() > ScriptFile::largestBytes)
            break;
        bytes += block;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"large.cfg"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return;
    file.close();

    std::vector<double> ms;
    bool whole = true;
    for (int i = 0; i < std::max(3, runs / 4); ++i) {
        w.clear();
        ms.push_back(timeMs([&] { whole = w.form.openScript(path) && whole; }));
    }
    whole = whole && w.form.editor()->document()->blockCount() == bytes.count('\n') + 1;
    printFigure("open a " + std::to_string(bytes.size() / 1024) + " KB script ("
            + std::to_string(w.form.document()->keptLines().size()) + " lines kept)",
        stats(ms), "ms", 1000.0, "<= 1 s", whole);

    // A letter and a backspace by turns, in the middle of the file.
    QPlainTextEdit *editor = w.form.editor();
    editor->setFocus();
    QTextCursor cursor(editor->document()->findBlockByNumber(editor->document()->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    editor->centerCursor();
    settle();
    std::vector<double> keys;
    for (int i = 0; i < runs * 2; ++i) {
        const bool letter = i % 2 == 0;
        keys.push_back(timeMs([&] {
            QKeyEvent press(
                QEvent::KeyPress, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier, letter ? u"a"_s : QString());
            QKeyEvent release(QEvent::KeyRelease, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                letter ? u"a"_s : QString());
            QApplication::sendEvent(editor, &press);
            QApplication::sendEvent(editor, &release);
            editor->viewport()->repaint();
        }));
    }
    printFigure("a keystroke in the opened script", stats(keys), "ms", 16.0, "<= 16 ms",
        editor->document()->blockCount() == bytes.count('\n') + 1);
}

// A new modification time makes every archive new to the reader.
void touchAll(const QStringList &archives)
{
    static time_t stamp = 1'000'000'000;
    ++stamp;
    for (const QString &archive : archives) {
        const utimbuf times { stamp, stamp };
        utime(QFile::encodeName(archive).constData(), &times);
    }
}

// Reads of a game folder: how long each took, and whether every one read it all.
struct Reads {
    std::vector<double> ms;
    bool whole = true;
    void time(const QString &folder, GameFolder::Detail detail,
        const std::function<bool(const GameFolder::Contents &)> &readAll)
    {
        ms.push_back(timeMs([&] { whole = readAll(GameFolder::read(folder, detail)) && whole; }));
    }
};

// A server folder of 40 archives holding 60 maps of about 10 MB each, read
// as the window reads it: the names first, then the maps' spawn points.
void benchGameFolder(int runs)
{
    printHeader("Game folder (40 archives, 60 maps of 10 MB)");
    QTemporaryDir folder;
    const QByteArray map
        = GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s, u"mp_teamdeathmatch_spawn"_s }), 10'000'000);
    QStringList archives;
    for (int archive = 0, mapNumber = 0; archive < 40; ++archive) {
        QList<GameFiles::Entry> entries;
        for (int k = 0; k < (archive < 20 ? 2 : 1); ++k, ++mapNumber) {
            const QString name = u"mp_bench%1"_s.arg(mapNumber);
            entries << GameFiles::Entry { u"maps/mp/%1.bsp"_s.arg(name), map }
                    << GameFiles::Entry { u"mp/%1.arena"_s.arg(name),
                           "{ map \"" + name.toLatin1() + "\" longname \"Bench " + QByteArray::number(mapNumber)
                               + "\" gametype \"dm tdm\" }\n" };
        }
        for (int k = 0; k < 20; ++k)
            entries << GameFiles::Entry { u"textures/bench/%1.jpg"_s.arg(k), QByteArray(20'000, char(k)) };
        archives << folder.filePath(u"zz_bench%1.pk3"_s.arg(archive, 2, 10, QChar(u'0')));
        if (!GameFiles::writeArchive(archives.constLast(), entries, 6)) {
            std::printf("  cannot write %s\n", qPrintable(archives.constLast()));
            return;
        }
    }
    auto maps = [](bool spawns) {
        return [spawns](const GameFolder::Contents &contents) {
            return contents.mapCount() == 60 + 16 && contents.notes.isEmpty()
                && std::all_of(contents.maps.begin(), contents.maps.end(), [spawns](const GameFolder::Map &map) {
                       return map.origin == GameFolder::Origin::Stock
                           || (map.longName.startsWith(u"Bench"_s) && bool(map.gametypes) == spawns);
                   });
        };
    };
    Reads names, spawns, again;
    for (int i = 0; i < std::max(3, runs / 4); ++i) {
        touchAll(archives);
        names.time(folder.path(), GameFolder::Detail::Names, maps(false));
        touchAll(archives);
        spawns.time(folder.path(), GameFolder::Detail::Spawns, maps(true));
        again.time(folder.path(), GameFolder::Detail::Spawns, maps(true));
    }
    printFigure("names and long names of the 60 maps", stats(names.ms), "ms", 50.0, "<= 50 ms", names.whole);
    printFigure(
        "gametypes of the 60 maps, from their spawn points", stats(spawns.ms), "ms", 2000.0, "<= 2 s", spawns.whole);
    printFigure("the same folder again, unchanged", stats(again.ms), "ms", 5.0, "<= 5 ms", again.whole);

    // While the window reads the spawn points, the user chooses another folder, or quits.
    QTemporaryDir other;
    std::vector<double> switched, quit;
    bool switchedWhole = true;
    for (int i = 0; i < std::max(3, runs / 4); ++i) {
        for (bool quitting : { false, true }) {
            touchAll(archives);
            auto reader = std::make_unique<GameFolderReader>();
            std::vector<GameFolderReader::Contents> read;
            QObject::connect(reader.get(), &GameFolderReader::folderRead, reader.get(),
                [&read](const GameFolderReader::Contents &contents) { read.push_back(contents); });
            reader->read({ folder.path() });
            while (read.empty())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const long long until = nowNs() + 50'000'000; // well into the spawn points
            while (nowNs() < until)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (quitting) {
                quit.push_back(timeMs([&] { reader.reset(); }));
                continue;
            }
            switched.push_back(timeMs([&] {
                reader->read({ other.path() });
                while (read.size() < 2)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }));
            switchedWhole = switchedWhole && read[1]->folder == other.path();
        }
    }
    printFigure("another folder chosen meanwhile: its maps' names shown", stats(switched), "ms", 100.0, "<= 100 ms",
        switchedWhole);
    printFigure("quitting meanwhile: the reading ended", stats(quit), "ms", 100.0, "<= 100 ms");
}

// A mod's game script of about 16 KB: code that reads a hundred variables by name, strings of other kinds, comments.
QByteArray benchGameScript(int file)
{
    QByteArray text
        = "// Bench mod, script " + QByteArray::number(file) + "\n#include maps\\mp\\_utility;\n\nmain()\n{\n";
    for (int k = 0; k < 100; ++k) {
        const QByteArray n = QByteArray::number(k);
        text += "\tlevel.v" + n + " = getCvarInt(\"scr_mod" + QByteArray::number(file % 40) + "_setting" + n
            + "\");\n\tif(level.v" + n + " > 0) // only when the admin asks for it\n\t\tthread doSomething" + n
            + "(level.v" + n + ", \"A message for the players, number " + n + "\");\n\t/* a note on " + n
            + " */ wait 0.05;\n";
    }
    return text + "}\n";
}

// A server whose 40 archives hold 2,000 game scripts and 200 scripts exec may run: how long their names take to
// read, with the maps' names, and again when nothing changed; then a keystroke in a script that execs 20 of them.
void benchServer(int runs)
{
    printHeader("The whole server (40 archives: 2,000 .gsc, 200 .cfg)");
    QTemporaryDir folder;
    QStringList archives;
    qint64 scriptBytes = 0;
    for (int archive = 0, file = 0; archive < 40; ++archive) {
        QList<GameFiles::Entry> entries;
        for (int k = 0; k < 50; ++k, ++file) {
            entries << GameFiles::Entry { u"maps/mp/gametypes/bench%1.gsc"_s.arg(file), benchGameScript(file) };
            scriptBytes += entries.constLast().bytes.size();
        }
        for (int k = 0; k < 5; ++k) {
            QByteArray config;
            for (int v = 0; v < 60; ++v)
                config += "set scr_mod" + QByteArray::number(archive) + "_setting" + QByteArray::number(v) + " \""
                    + QByteArray::number(v) + "\"\r\n";
            entries << GameFiles::Entry { u"cfg/a%1_%2.cfg"_s.arg(archive).arg(k), config };
        }
        archives << folder.filePath(u"zz_mod%1.pk3"_s.arg(archive, 2, 10, QChar(u'0')));
        if (!GameFiles::writeArchive(archives.constLast(), entries, 6)) {
            std::printf("  cannot write %s\n", qPrintable(archives.constLast()));
            return;
        }
    }
    auto scripts = [](const GameFolder::Contents &contents) {
        return contents.notes.isEmpty() && contents.scripts && contents.scripts->variables()
            && contents.scripts->find(u"cfg/a39_4.cfg"_s)
            && contents.scripts->variables()->verdict(u"scr_mod39_setting99"_s) == VariableUse::Verdict::Read;
    };
    Reads names, again;
    for (int i = 0; i < std::max(3, runs / 4); ++i) {
        touchAll(archives);
        names.time(folder.path(), GameFolder::Detail::Names, scripts);
        again.time(folder.path(), GameFolder::Detail::Names, scripts);
    }
    printFigure("the names of " + std::to_string(scriptBytes >> 20) + " MB of .gsc, and the .cfg files",
        stats(names.ms), "ms", 500.0, "<= 500 ms", names.whole);
    printFigure("the same folder again, unchanged", stats(again.ms), "ms", 5.0, "<= 5 ms", again.whole);

    // The script: the window's own, with 20 execs of the folder's scripts among 600 lines of a mod's settings.
    Window w;
    w.finish();
    settle();
    QByteArray script = editorLines(w.form).join(u'\n').toLatin1() + '\n';
    for (int k = 0; k < 600; ++k) {
        script += "set scr_mod" + QByteArray::number(k % 40) + "_setting" + QByteArray::number(k % 100) + " \"1\"\n";
        if (k % 30 == 0)
            script += "exec cfg/a" + QByteArray::number(k / 30) + "_1\n";
    }
    const QString path = QDir(folder.path()).filePath(u"server.cfg"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return;
    file.close();
    w.clear();
    w.form.openScript(path);
    QPlainTextEdit *editor = w.form.editor();
    auto *page = w.form.findChild<EditorPage *>();
    const int execLine = int(script.left(script.indexOf("exec cfg/a10_1")).count('\n'));
    QTextCursor cursor(editor->document()->findBlockByNumber(execLine));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setFocus();
    editor->setTextCursor(cursor);
    editor->centerCursor();
    for (int waited = 0; waited < 200 && !page->note().startsWith(u"exec cfg/a10_1"_s); ++waited) {
        QThread::msleep(10);
        settle();
    }
    const bool followed = page->note().startsWith(u"exec cfg/a10_1"_s);
    // A letter and a backspace by turns at the end of an exec's name: each finds another script, or none.
    auto keystroke = [&](bool letter) {
        QKeyEvent press(
            QEvent::KeyPress, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier, letter ? u"a"_s : QString());
        QKeyEvent release(
            QEvent::KeyRelease, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier, letter ? u"a"_s : QString());
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
        editor->viewport()->repaint();
    };
    std::vector<double> keys;
    for (int i = 0; i < runs * 2; ++i)
        keys.push_back(timeMs([&] { keystroke(i % 2 == 0); }));
    printFigure("a keystroke on an exec line, its scripts followed", stats(keys), "ms", 16.0, "<= 16 ms", followed);

    // The Problems list open: a keystroke costs what it did, and the list catches up once typing pauses.
    w.form.findChild<QAction *>(u"Problems1"_s)->trigger();
    auto *problems = w.form.findChild<ProblemsView *>();
    w.form.activateWindow();
    editor->setFocus();
    std::vector<double> listedKeys, lists;
    for (int i = 0; i < runs * 2; ++i) {
        listedKeys.push_back(timeMs([&] { keystroke(i % 2 == 0); }));
        lists.push_back(timeMs([&] { problems->refresh(); }));
    }
    const auto *list = problems->findChild<QAbstractItemView *>(u"ProblemsList"_s);
    printFigure(
        "the same with the Problems list open", stats(listedKeys), "ms", 16.0, "<= 16 ms", problems->isVisible());
    printFigure("the Problems list read again, 20 exec'd scripts", stats(lists), "ms", 100.0, "<= 100 ms",
        list->model()->rowCount() > 0);
}

// `tallyforge --check script`: its seconds and its peak resident MiB, in a process of its own.
std::pair<double, double> checkRun(const QString &script)
{
    const std::string program = TALLYFORGE_EXECUTABLE;
    const QByteArray path = QFile::encodeName(script);
    std::vector<char *> argv { const_cast<char *>(program.c_str()), const_cast<char *>("--check"),
        const_cast<char *>(path.constData()), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const long long start = nowNs();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    // A child started so shares this process's memory until it runs the program, and the kernel's peak for it
    // would count this process's too: the program's own peak is read as it runs, as late as it can be.
    double peakMb = 0;
    int status = 0;
    const QString statusFile = u"/proc/%1/status"_s.arg(pid);
    while (spawned == 0 && waitpid(pid, &status, WNOHANG) == 0) {
        QFile file(statusFile);
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : file.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    peakMb = std::max(peakMb, line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0);
            }
        }
        usleep(500);
    }
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return { -1, -1 };
    return { double(nowNs() - start) / 1e9, peakMb };
}

// Servers made to multiply what exec makes the reader do, beside a typical one: --check on each, in seconds and
// MiB, and a keystroke in the editor on the script's exec line.
void benchHostileServers(int runs)
{
    printHeader("Hostile servers: --check, and a keystroke beside it");
    QTemporaryDir root;
    auto write = [&](const QString &path, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile file(root.filePath(path));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    auto repeated = [](const QByteArray &line, int times) {
        QByteArray text;
        for (int k = 0; k < times; ++k)
            text += line;
        return text;
    };
    struct Case {
        const char *name;
        QString script;
    };
    const QList<Case> cases = {
        // The window's own script and a mod's settings, execing 20 small scripts of its folder.
        { "typical: the window's script, 20 execs of 60 lines", u"typical/main/server.cfg"_s },
        // a.cfg is exec b x 2,000, b.cfg exec m x 2,000, and m.cfg is missing.
        { "a.cfg exec b x 2,000, b.cfg exec m x 2,000, no m.cfg", u"wide/main/server.cfg"_s },
        { "the same through one more script of exec a x 3", u"wider/main/server.cfg"_s },
        // Small enough that every exec fits the command buffer: a million execs run, each finding nothing.
        { "a.cfg exec b x 1,000, b.cfg exec m x 1,000: all fit", u"fitting/main/server.cfg"_s },
        // w0.cfg execs w1.cfg twice, and so on 40 deep: the read reaches its budget.
        { "a chain of 40 that doubles at every step", u"doubling/main/server.cfg"_s },
        // Each exec runs 700 settings: the read reaches its budget with every command indexed.
        { "exec x x 1,000, x.cfg 700 settings", u"rerun/main/server.cfg"_s },
    };
    QByteArray typical = "set sv_hostname \"Bench\"\n";
    for (int k = 0; k < 600; ++k) {
        typical += "set scr_mod" + QByteArray::number(k % 40) + "_setting" + QByteArray::number(k % 100) + " \"1\"\n";
        if (k % 30 == 0) {
            typical += "exec cfg/a" + QByteArray::number(k / 30) + "\n";
            QByteArray config;
            for (int v = 0; v < 60; ++v)
                config
                    += "set scr_mod" + QByteArray::number(k % 40) + "_setting" + QByteArray::number(v) + " \"2\"\r\n";
            write(u"typical/main/cfg/a%1.cfg"_s.arg(k / 30), config);
        }
    }
    bool written = write(u"typical/main/server.cfg"_s, typical) && write(u"wide/main/server.cfg"_s, "exec a\n")
        && write(u"wide/main/a.cfg"_s, repeated("exec b\n", 2000))
        && write(u"wide/main/b.cfg"_s, repeated("exec m\n", 2000)) && write(u"wider/main/server.cfg"_s, "exec x\n")
        && write(u"wider/main/x.cfg"_s, repeated("exec a\n", 3))
        && write(u"wider/main/a.cfg"_s, repeated("exec b\n", 2000))
        && write(u"wider/main/b.cfg"_s, repeated("exec m\n", 2000)) && write(u"fitting/main/server.cfg"_s, "exec a\n")
        && write(u"fitting/main/a.cfg"_s, repeated("exec b\n", 1000))
        && write(u"fitting/main/b.cfg"_s, repeated("exec m\n", 1000));
    written = write(u"doubling/main/server.cfg"_s, "exec w0\nset scr_w 2\n") && written;
    for (int k = 0; k < 40; ++k) {
        const QByteArray next = "exec w" + QByteArray::number(k + 1) + "\n";
        written = write(u"doubling/main/w%1.cfg"_s.arg(k), next + next + "set scr_w 1\n") && written;
    }
    written = write(u"rerun/main/server.cfg"_s, repeated("exec x\n", 1000))
        && write(u"rerun/main/x.cfg"_s, repeated("set sv_fps 20\n", 700)) && written;
    for (const QString &folder : { u"typical"_s, u"wide"_s, u"wider"_s, u"fitting"_s, u"doubling"_s, u"rerun"_s })
        written = QDir().mkpath(root.filePath(folder + u"/main/maps/mp"_s)) && written;
    if (!written) {
        std::printf("  cannot write the folders\n");
        return;
    }
    for (const Case &c : cases) {
        std::vector<double> seconds, mib;
        for (int i = 0; i < std::max(3, runs / 8); ++i) {
            const auto [s, m] = checkRun(root.filePath(c.script));
            seconds.push_back(s);
            mib.push_back(m);
        }
        const bool ran = *std::min_element(seconds.begin(), seconds.end()) >= 0;
        printFigure(std::string("--check, ") + c.name, stats(seconds), "s", 1.0, "<= 1 s", ran);
        printFigure("  its peak resident memory", stats(mib), "MB", 400.0, "<= 400 MiB", ran);

        // A letter and a backspace by turns at the end of the script's exec line, with the folder read.
        Window w;
        w.form.openScript(root.filePath(c.script));
        QPlainTextEdit *editor = w.form.editor();
        auto *page = w.form.findChild<EditorPage *>();
        const QString text = editor->toPlainText();
        const int execLine = int(text.left(text.indexOf(u"exec "_s)).count(u'\n'));
        QTextCursor cursor(editor->document()->findBlockByNumber(execLine));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor->setFocus();
        editor->setTextCursor(cursor);
        for (int waited = 0; waited < 500 && page->note().isEmpty(); ++waited) {
            QThread::msleep(10);
            settle();
        }
        const bool followed = !page->note().isEmpty();
        std::vector<double> keys;
        for (int i = 0; i < runs * 2; ++i) {
            const bool letter = i % 2 == 0;
            keys.push_back(timeMs([&] {
                QKeyEvent press(QEvent::KeyPress, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                    letter ? u"a"_s : QString());
                QKeyEvent release(QEvent::KeyRelease, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                    letter ? u"a"_s : QString());
                QApplication::sendEvent(editor, &press);
                QApplication::sendEvent(editor, &release);
                editor->viewport()->repaint();
            }));
        }
        printFigure("  a keystroke on its exec line", stats(keys), "ms", 16.0, "<= 16 ms", followed);
    }
}

// How long `commands` remote console packets take at the least, as the pacer lets them go one after another.
double pacedMs(int commands)
{
    Pacer pacer;
    qint64 at = 0;
    for (int k = 0; k < commands; ++k) {
        at = pacer.nextAt(Pacer::Packet::Command, at);
        pacer.sent(Pacer::Packet::Command, at);
    }
    return double(at);
}

// The least the limits allow for `commands` packets: 500 ms apart for the game; 10 at once, then one a second,
// for the newer servers.
double floorMs(int commands)
{
    return std::max(500.0 * (commands - 1), 1000.0 * std::max(0, commands - Pacer::burst));
}

// A real dedicated server of the engine family (Debian's openarena-server), headless on a free local port: reading
// what it holds of each variable of a 100-setting script, and sending it 20 changes.
void benchRunning(int runs)
{
    printHeader("The running server (a real dedicated server on this machine)");
    const QString dedicated = u"/usr/games/openarena-server"_s;
    if (!QFileInfo::exists(dedicated)) {
        std::printf("  openarena-server is not installed (scripts/setup --tests installs it): skipped\n");
        return;
    }
    QTemporaryDir home;
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort();
    probe.close();
    QProcess server;
    server.setStandardOutputFile(QProcess::nullDevice());
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(dedicated,
        { u"+set"_s, u"dedicated"_s, u"1"_s, u"+set"_s, u"net_ip"_s, u"127.0.0.1"_s, u"+set"_s, u"net_port"_s,
            QString::number(port), u"+set"_s, u"fs_homepath"_s, home.path(), u"+set"_s, u"rconPassword"_s, u"bench"_s,
            u"+map"_s, u"oa_dm1"_s });
    RunningServer running({ u"127.0.0.1"_s, port });
    running.setPassword(u"bench"_s);
    std::optional<RunningServer::Failure> failure;
    auto wait = [&](const std::function<void()> &start) {
        QEventLoop loop;
        failure.reset();
        QObject::connect(&running, &RunningServer::failed, &loop, [&](RunningServer::Failure why) {
            failure = why;
            loop.quit();
        });
        QObject::connect(&running, &RunningServer::statusRead, &loop, &QEventLoop::quit);
        QObject::connect(&running, &RunningServer::heldRead, &loop, &QEventLoop::quit);
        QObject::connect(&running, &RunningServer::sendingDone, &loop, &QEventLoop::quit);
        start();
        loop.exec();
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        wait([&] { running.readStatus(); });
        if (!failure)
            break;
    }
    // 80 variables the server holds as the script sets them, from its own listing, and 20 of the script's own.
    ReplyReader::Listing listing;
    {
        QEventLoop loop;
        running.link()->ask({ ServerLink::Ask::Command, u"cvarlist"_s, ServerLink::Whole::Listing },
            [&](const ServerLink::Answer &answer) {
                listing = ReplyReader::listingOf(answer.text);
                loop.quit();
            });
        loop.exec();
    }
    QList<HeldValues::Setting> script;
    for (auto it = listing.byName.cbegin(); it != listing.byName.cend() && script.size() < 80; ++it) {
        if (!HeldValues::isPassword(it.key()))
            script << HeldValues::Setting { it.key(), it->value, u"set"_s };
    }
    if (script.size() < 80) {
        std::printf("  the server listed %d variables: skipped\n", int(script.size()));
        return;
    }
    // Both servers' limits start afresh, as for someone who reads the server now and then.
    auto rest = [] {
        QEventLoop loop;
        QTimer::singleShot(int(Pacer::burst * (Pacer::refill + Pacer::frameMargin)), &loop, &QEventLoop::quit);
        loop.exec();
    };

    std::vector<double> reads, sends;
    int readCommands = 0, sendCommands = 0;
    bool readWhole = true, sendWhole = true;
    for (int run = 0; run < std::max(2, runs / 15); ++run) {
        QList<HeldValues::Setting> changes;
        for (int k = 0; k < 20; ++k)
            changes << HeldValues::Setting { u"tf_change%1"_s.arg(k), u"value%1"_s.arg(run), u"set"_s };
        QList<HeldValues::Setting> hundred = script + changes;
        int before = running.link()->packetsSent();
        HeldValues::HeldByName held;
        auto keep = QObject::connect(
            &running, &RunningServer::heldRead, &running, [&](const HeldValues::HeldByName &read) { held = read; });
        rest();
        reads.push_back(timeMs([&] { wait([&] { running.readHeld(hundred); }); }));
        QObject::disconnect(keep);
        readCommands = running.link()->packetsSent() - before;
        readWhole = readWhole && !failure && held.size() == 100 && HeldValues::differences(hundred, held).size() == 20;

        before = running.link()->packetsSent();
        QList<RunningServer::Sent> sent;
        keep = QObject::connect(&running, &RunningServer::sendingDone, &running,
            [&](const QList<RunningServer::Sent> &done) { sent = done; });
        rest();
        sends.push_back(timeMs([&] { wait([&] { running.send(changes); }); }));
        QObject::disconnect(keep);
        sendCommands = running.link()->packetsSent() - before;
        sendWhole = sendWhole && !failure && sent.size() == 20
            && std::all_of(sent.cbegin(), sent.cend(),
                [](const RunningServer::Sent &one) { return one.outcome == RunningServer::Outcome::Taken; });
    }
    server.terminate();
    server.waitForFinished(5000);

    printFigure("read 100 settings: " + std::to_string(readCommands) + " command(s), cvarlist first", stats(reads),
        "ms", pacedMs(readCommands) + 1000.0, "<= paced + 1 s", readWhole);
    printFigure("  the same by name alone, 100 commands, as paced", stats({ pacedMs(100) }), "ms", std::nullopt,
        std::to_string(int(floorMs(100))) + " ms floor");
    printFigure("send 20 changes and read them back: " + std::to_string(sendCommands) + " commands", stats(sends), "ms",
        pacedMs(sendCommands) + 1000.0, "<= paced + 1 s", sendWhole);
    printFigure("  the limits' own floor for those commands", stats({ floorMs(sendCommands) }), "ms", std::nullopt, "");
}

void writeBenchFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The worst game scripts a stranger can lay into a folder, beside the typical server above: each --check must end
// within a second and 400 MiB.
void benchHostileGameScripts(int runs)
{
    printHeader("Hostile game scripts (--check, its own process)");
    struct Folder {
        const char *name;
        std::function<void(const QDir &main)> make;
    };
    const Folder folders[] = {
        { "a .gsc reading 60,000 names; the script sets 2,000 others",
            [](const QDir &main) {
                QByteArray reads = "main()\n{\n";
                for (int k = 0; k < 60'000; ++k)
                    reads += "\tv = getcvar(\"scr_read_setting" + QByteArray::number(k) + "\");\n";
                writeBenchFile(main.filePath(u"maps/mp/gametypes/_reads.gsc"_s), reads + "}\n");
                QByteArray script;
                for (int k = 0; k < 2'000; ++k)
                    script += "set scr_other_value" + QByteArray::number(k) + " 1\n";
                writeBenchFile(main.filePath(u"server.cfg"_s), script);
            } },
        { "80 loose .gsc of 65,000 distinct names each (46 MB)",
            [](const QDir &main) {
                for (int file = 0; file < 80; ++file) {
                    QByteArray names;
                    for (int k = 0; k < 65'000; ++k)
                        names += "\"n" + QByteArray::number(file) + "_" + QByteArray::number(k) + "\"\n";
                    writeBenchFile(main.filePath(u"maps/mp/many/m%1.gsc"_s.arg(file)), names);
                }
                writeBenchFile(main.filePath(u"server.cfg"_s), "set sv_hostname x\n");
            } },
    };
    for (const Folder &folder : folders) {
        QTemporaryDir server;
        const QDir main(server.filePath(u"main"_s));
        folder.make(main);
        std::vector<double> ms, mib;
        bool ended = true;
        for (int i = 0; i < std::max(3, runs / 8); ++i) {
            const auto [seconds, peakMiB] = checkRun(main.filePath(u"server.cfg"_s));
            ended = ended && seconds >= 0;
            ms.push_back(seconds * 1000);
            mib.push_back(peakMiB);
        }
        printFigure(folder.name, stats(ms), "ms", 1000.0, "<= 1 s", ended);
        printFigure("  its peak resident memory", stats(mib), "MiB", 400.0, "<= 400 MiB", ended);
    }
}

// A real server's folder: what the reader makes of each map, and how long it takes.
void readRealFolder(const QString &path)
{
    printHeader(qPrintable(u"Game folder %1"_s.arg(path)));
    GameFolder::Contents contents;
    const double ms = timeMs([&] { contents = GameFolder::read(path); });
    for (const GameFolder::Map &map : std::as_const(contents.maps)) {
        if (map.origin == GameFolder::Origin::Stock)
            continue;
        std::printf("  %-24s %-28s %s\n", qPrintable(map.name), qPrintable(map.file),
            map.gametypes ? qPrintable(u"runs "_s + map.gametypes->join(u' ')) : "gametypes unknown");
    }
    for (const GameFolder::Note &note : std::as_const(contents.notes))
        std::printf("  note: %s: %s\n", qPrintable(note.file), qPrintable(describe(note.trouble)));
    printFigure(qPrintable(contents.summary().left(58)), stats({ ms }), "ms", std::nullopt, "");
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 31;
    int startupRuns = 15;
    std::string only; // one of startup, pass, append, save, open, gamefolder, server, hostile, running: for profiling one case
    QString realFolder;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--startup-runs") == 0)
            startupRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[i + 1];
        else if (std::strcmp(argv[i], "--game-folder") == 0)
            realFolder = QString::fromLocal8Bit(argv[i + 1]);
    }
    auto wanted = [&](const char *section) { return only.empty() || only == section; };

    QApplication app(argc, argv);
    Appearance::setUpApplication();
    std::printf("Tallyforge benchmarks on \"%s\": median, min and max of %d runs unless said otherwise\n",
        qPrintable(QGuiApplication::platformName()), runs);
    if (wanted("startup"))
        benchStartup(startupRuns);
    if (wanted("pass"))
        benchPasses(runs);
    if (wanted("append"))
        benchAppends(runs);
    if (wanted("save"))
        benchSave(runs);
    if (wanted("open"))
        benchOpen(runs);
    if (wanted("gamefolder"))
        benchGameFolder(runs);
    if (wanted("server"))
        benchServer(runs);
    if (wanted("hostile")) {
        benchHostileServers(runs);
        benchHostileGameScripts(runs);
    }
    if (wanted("running"))
        benchRunning(runs);
    if (!realFolder.isEmpty())
        readRealFolder(realFolder);
    std::printf("\n%d of %d goals met\n", goalsChecked - goalsMissed, goalsChecked);
    return goalsMissed ? 1 : 0;
}
