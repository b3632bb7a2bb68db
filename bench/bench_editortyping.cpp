// Typing into a 10,000-line script in the real editor page: how long one
// keystroke takes with the script colouring and the line notes at work.
// Not a test; run it by hand: QT_QPA_PLATFORM=offscreen ./bench_editortyping

#include "app/appearance.h"
#include "app/editorpage.h"
#include "gamefolder/gamefolder.h"
#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/valuecatalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Figures {
    double loadMs;
    double meanMs, medianMs, p99Ms, maxMs;
};

// Loads `script` into `editor`, then types into the line `line`: a letter and
// a backspace by turns, so the line keeps its length.
Figures typeInto(QPlainTextEdit *editor, const QString &script, int line, int keystrokes)
{
    QElapsedTimer timer;
    timer.start();
    editor->setPlainText(script);
    QCoreApplication::processEvents();
    Figures figures {};
    figures.loadMs = timer.nsecsElapsed() / 1e6;

    editor->setFocus();
    QTextCursor cursor(editor->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::Left);
    editor->setTextCursor(cursor);
    std::vector<double> times;
    times.reserve(keystrokes);
    for (int i = 0; i < keystrokes; ++i) {
        timer.restart();
        if (i % 2)
            QTest::keyClick(editor, Qt::Key_Backspace);
        else
            QTest::keyClick(editor, char('a' + i % 26));
        QCoreApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    double total = 0;
    for (double ms : times)
        total += ms;
    figures.meanMs = total / keystrokes;
    figures.medianMs = times[times.size() / 2];
    figures.p99Ms = times[times.size() * 99 / 100];
    figures.maxMs = times.back();
    return figures;
}

void print(const char *what, const Figures &f)
{
    std::printf("%s: load %.1f ms; keystroke mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n",
        what, f.loadMs, f.meanMs, f.medianMs, f.p99Ms, f.maxMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Appearance::setUpApplication();
    constexpr int lineCount = 10'000;
    constexpr int keystrokes = 2'000;

    const QString lines[] = {
        u"//Server Options"_s,
        u"set sv_hostname \"^1Braven^7mark ^3Host\""_s,
        u"set scr_motd \"Welcome to Bravenmark server.\""_s,
        u"sets .Admin \"somebody\""_s,
        u"set scr_sd_roundlength \"4\""_s,
        u"set sv_hostname \"My \"Cool\" Server\""_s,
        u"set sv_mapRotation \""_s + u"gametype dm map mp_bocage "_s.repeated(60) + u'"',
        u"set g_gametype \"sd\""_s,
        u"map mp_harbor"_s,
    };
    QString script;
    for (int i = 0; i < lineCount; ++i)
        script.append(lines[i % std::size(lines)]).append(u'\n');
    // a marked server name in the middle of the script, and the gametype the next line's map is loaded with
    const int typedLine = lineCount / 2 - (lineCount / 2) % int(std::size(lines)) + 5;
    const int gametypeLine = typedLine + 2;

    QElapsedTimer timer;
    timer.start();
    qsizetype marks = 0;
    constexpr int rounds = 20'000;
    for (int i = 0; i < rounds; ++i)
        marks += ConsoleReader::read(lines[i % std::size(lines)]).marks.size();
    const double readNs = double(timer.nsecsElapsed()) / rounds;

    QWidget window;
    window.resize(780, 600);
    QPlainTextEdit plain(&window);
    plain.setGeometry(0, 0, 761, 265);
    QStatusBar bar(&window);
    bar.setGeometry(0, 580, 780, 19);
    EditorPage page(&window);
    page.move(0, 280);
    page.showNotesIn(&bar);
    page.readValuesBy(PageList::valueCatalogue());
    // A folder whose mp_harbor runs deathmatch only.
    page.checkMapsAgainst(std::make_shared<const GameFolder::Contents>(GameFolder::Contents {
        u"main"_s, { { u"mp_harbor"_s, GameFolder::Origin::Archive, u"x.pk3"_s, {}, QStringList { u"dm"_s } } }, {} }));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    std::printf("%d lines; reading one sample line: %.0f ns on average (%lld marks)\n", lineCount, readNs,
        static_cast<long long>(marks));
    print("plain editor   ", typeInto(&plain, script, typedLine, keystrokes));
    print("script editor  ", typeInto(page.editor(), script, typedLine, keystrokes));
    std::printf("note on the typed line: %s\n", qPrintable(page.note()));
    print("typed gametype ", typeInto(page.editor(), script, gametypeLine, keystrokes));
    return 0;
}
