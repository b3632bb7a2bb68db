#include "testmain.h"
#include "app/scripthighlighter.h"
#include "script/scriptlint.h"
#include "formtest.h"

#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextLayout>

using namespace Qt::StringLiterals;
using namespace FormTest;
using ScriptLint::Problem;

namespace {

QString problemName(Problem problem)
{
    switch (problem) {
    case Problem::CutValue: return u"cut"_s;
    case Problem::TooLong: return u"long"_s;
    case Problem::CommandBreak: return u"break"_s;
    case Problem::CommentStart: return u"comment"_s;
    case Problem::InfoRefused: return u"refused"_s;
    }
    return {};
}

// Each mark as "<problem>:<the marked text>", so a row shows what is marked.
QStringList describeMarks(const QString &text)
{
    QStringList marks;
    for (const ScriptLint::Mark &mark : ScriptLint::read(text).marks)
        marks << problemName(mark.problem) + u':' + text.mid(mark.span.start, mark.span.length);
    return marks;
}

QTextCharFormat formatAt(const QTextBlock &block, int position)
{
    const QList<QTextLayout::FormatRange> ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange &range : ranges) {
        if (range.start <= position && position < range.start + range.length)
            return range.format;
    }
    return {};
}

QPalette paletteWithBase(const QColor &base)
{
    QPalette palette;
    palette.setColor(QPalette::Base, base);
    return palette;
}

const QString longRotation = u"gametype dm map mp_bocage "_s.repeated(58).left(1500);

} // namespace

class ScriptLintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marks_data();
    void marks();
    void lineLength_data();
    void lineLength();
    void colourRuns_data();
    void colourRuns();
    void defaultScriptHasNoMark();
    void highlighterFormats();
    void codeColoursLegible_data();
    void codeColoursLegible();
    void themeChangeRecolours();
    void spansStayInsideTheLine();
    void statusBarFollowsTextCursor();
    void finishMarksTrapsAndSavesUnchanged();
};

void ScriptLintTest::marks_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain value") << u"set sv_hostname \"BravenmarkHost\""_s << QStringList();
    QTest::newRow("empty value") << u"set rconpassword \"\""_s << QStringList();
    QTest::newRow("heading") << u"//Server Information"_s << QStringList();
    QTest::newRow("indented heading with quote") << u"  // say \"hi; there"_s << QStringList();
    QTest::newRow("double slash inside quotes") << u"sets .Website \"http://example.org\""_s << QStringList();
    QTest::newRow("semicolon inside quotes of a game value") << u"set g_log \"a;b.log\""_s << QStringList();
    QTest::newRow("chained commands are not set lines") << u"map_rotate; map mp_depot // next"_s << QStringList();
    QTest::newRow("trailing semicolon changes nothing") << u"set sv_fps \"20\";  "_s << QStringList();

    QTest::newRow("inner quotes in server name")
        << u"set sv_hostname \"My \"Cool\" Server\""_s << QStringList { u"cut:\"Cool\" Server\""_s };
    QTest::newRow("one inner quote") << u"set scr_motd \"Joe\"s place\""_s << QStringList { u"cut:\"s place\""_s };
    QTest::newRow("two quoted words") << u"set g_log \"a\" \"b\""_s << QStringList { u"cut:\" \"b\""_s };
    QTest::newRow("inner quote in info value") << u"sets .Admin \"a\"b\""_s << QStringList { u"cut:\"b\""_s };
    QTest::newRow("commands are case-insensitive") << u"  SET Sv_HostName \"a\"b\""_s << QStringList { u"cut:\"b\""_s };

    QTest::newRow("semicolon after the value")
        << u"set g_log \"games.log\"; quit"_s << QStringList { u"break:; quit"_s };
    QTest::newRow("semicolon in a bare value") << u"set g_log games;quit"_s << QStringList { u"break:;quit"_s };
    QTest::newRow("comment after the value")
        << u"set sv_fps \"20\" // frames"_s << QStringList { u"comment:// frames"_s };
    QTest::newRow("double slash in a bare value") << u"set sv_hostname http://x"_s << QStringList { u"comment://x"_s };
    QTest::newRow("semicolon then comment")
        << u"set a \"1\"; b // c"_s << QStringList { u"break:; b "_s, u"comment:// c"_s };

    QTest::newRow("backslash in info value") << u"sets .Admin \"a\\b\""_s << QStringList { u"refused:a\\b"_s };
    QTest::newRow("semicolon in info value")
        << u"sets .Location \"Here; there\""_s << QStringList { u"refused:Here; there"_s };
    QTest::newRow("backslash in info key") << u"sets .Ad\\min \"x\""_s << QStringList { u"refused:.Ad\\min"_s };
    QTest::newRow("semicolon in server name") << u"set sv_hostname \"a;b\""_s << QStringList { u"refused:a;b"_s };
    QTest::newRow("semicolon in message of the day")
        << u"set scr_motd \"Welcome; enjoy\""_s << QStringList { u"refused:Welcome; enjoy"_s };
    QTest::newRow("backslash in message of the day")
        << u"set scr_motd \"C:\\games\""_s << QStringList { u"refused:C:\\games"_s };
    QTest::newRow("quote and semicolon in server name")
        << u"set sv_hostname \"a\"b;c\""_s << QStringList { u"cut:\"b;c\""_s, u"break:;c\""_s, u"refused:a\"b;c"_s };

    QTest::newRow("each line of a block on its own")
        << u"set a \"1\"\u2028set b \"x\"y\""_s << QStringList { u"cut:\"y\""_s };
}

void ScriptLintTest::marks()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QCOMPARE(describeMarks(line), expected);
    for (const ScriptLint::Mark &mark : ScriptLint::read(line).marks)
        QVERIFY2(mark.sentence.endsWith(u'.') && !mark.sentence.contains(u'\n'), qPrintable(mark.sentence));
}

void ScriptLintTest::lineLength_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qsizetype>("markFrom"); // -1: clean

    QTest::newRow("1,023 bytes") << QString(1023, u'x') << qsizetype(-1);
    QTest::newRow("1,024 bytes") << QString(1024, u'x') << qsizetype(1023);
    // One byte each in the saved file, two in UTF-8.
    QTest::newRow("1,023 accented letters") << QString(1023, u'\u00e9') << qsizetype(-1);
    QTest::newRow("1,024 accented letters") << QString(1024, u'\u00e9') << qsizetype(1023);
    QTest::newRow("long comment") << u"//"_s + QString(1100, u'-') << qsizetype(1023);
    const QString rotation = u"set sv_mapRotation \""_s + longRotation + u'"';
    QTest::newRow("1,500-character rotation") << rotation << qsizetype(1023);
}

void ScriptLintTest::lineLength()
{
    QFETCH(QString, line);
    QFETCH(qsizetype, markFrom);
    const ScriptLint::Reading reading = ScriptLint::read(line);
    if (markFrom < 0) {
        QVERIFY(reading.marks.isEmpty());
        return;
    }
    QCOMPARE(reading.marks.size(), 1);
    QCOMPARE(reading.marks[0].problem, Problem::TooLong);
    QCOMPARE(reading.marks[0].span, (ScriptLint::Span { markFrom, line.size() - markFrom }));
}

void ScriptLintTest::colourRuns_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("runs"); // "<colour>:<text>"

    const char *names[] = { "black", "red", "green", "yellow", "blue", "cyan", "magenta", "white", "black", "red" };
    const QColor expected[]
        = { Qt::black, Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::cyan, Qt::magenta, Qt::white, Qt::black, Qt::red };
    for (int digit = 0; digit <= 9; ++digit) {
        const QString code = u"^"_s + QString::number(digit);
        QTest::addRow("%s is %s", qPrintable(code), names[digit]) << u"set sv_hostname \"%1Name\""_s.arg(
            code) << QStringList { expected[digit].name() + u':' + code + u"Name"_s };
    }
    QTest::newRow("runs end at the next code")
        << u"set scr_motd \"Hi ^1red^4blue\""_s << QStringList { u"#ff0000:^1red"_s, u"#0000ff:^4blue"_s };
    QTest::newRow("caret before a code") << u"set sv_hostname \"^^2x\""_s << QStringList { u"#00ff00:^2x"_s };
    QTest::newRow("caret without digit") << u"set sv_hostname \"a^b^\""_s << QStringList();
    QTest::newRow("code at the very end") << u"set sv_hostname \"a^3\""_s << QStringList { u"#ffff00:^3"_s };
    QTest::newRow("bare value") << u"set sv_hostname ^5Bare Name"_s << QStringList { u"#00ffff:^5Bare Name"_s };
    QTest::newRow("other variables keep their text") << u"set g_log \"^1x\""_s << QStringList();
    QTest::newRow("info lines keep their text") << u"sets .Admin \"^1x\""_s << QStringList();
    QTest::newRow("comments keep their text") << u"//set sv_hostname \"^1x\""_s << QStringList();
}

void ScriptLintTest::colourRuns()
{
    QFETCH(QString, line);
    QFETCH(QStringList, runs);
    QStringList found;
    for (const ScriptLint::ColourRun &run : ScriptLint::read(line).colours)
        found << ScriptLint::codeColour(run.colour).name() + u':' + line.mid(run.span.start, run.span.length);
    QCOMPARE(found, runs);
}

void ScriptLintTest::defaultScriptHasNoMark()
{
    for (const QString &line : goldenLines())
        QVERIFY2(ScriptLint::read(line).marks.isEmpty(), qPrintable(line));
}

void ScriptLintTest::highlighterFormats()
{
    QTextDocument document;
    ScriptHighlighter highlighter(&document, paletteWithBase(Qt::white));
    document.setPlainText(u"//Server Options\n"
                          "set sv_hostname \"My \"Cool\" Server\"\n"
                          "set scr_motd \"^7White ^3Yellow\"\n"
                          "set sv_fps \"20\""_s);
    highlighter.rehighlight(); // a new highlighter colours on the next turn of the event loop
    const QTextBlock comment = document.findBlockByNumber(0);
    const QTextBlock cut = document.findBlockByNumber(1);
    const QTextBlock colours = document.findBlockByNumber(2);
    const QTextBlock plain = document.findBlockByNumber(3);

    QVERIFY(formatAt(comment, 0).fontItalic());
    QVERIFY(formatAt(comment, 0).hasProperty(QTextFormat::ForegroundBrush));

    // command, name and quoted value each in a colour of its own
    const QColor command = formatAt(plain, 0).foreground().color();
    const QColor name = formatAt(plain, 4).foreground().color();
    const QColor value = formatAt(plain, 11).foreground().color();
    QVERIFY(command != name && name != value && value != command);
    QCOMPARE(formatAt(plain, 12).foreground().color(), value);
    QCOMPARE(formatAt(plain, 3).underlineStyle(), QTextCharFormat::NoUnderline);

    // the wavy line covers exactly the stretch the game cuts off
    const int cutFrom = int(cut.text().indexOf(u"\"Cool"));
    for (int i = 0; i < cut.text().size(); ++i) {
        const bool marked = i >= cutFrom;
        QCOMPARE(formatAt(cut, i).underlineStyle() == QTextCharFormat::WaveUnderline, marked);
    }
    QCOMPARE(formatAt(cut, cutFrom + 7).foreground().color(), value); // marks keep the colours under them

    const QTextCharFormat white = formatAt(colours, 14);
    QCOMPARE(white.foreground().color(), QColor(Qt::white));
    QVERIFY(white.hasProperty(QTextFormat::BackgroundBrush));
    QCOMPARE(formatAt(colours, 24).foreground().color(), QColor(Qt::yellow));
    QVERIFY(!formatAt(colours, 13).hasProperty(QTextFormat::BackgroundBrush)); // the opening quote

    QCOMPARE(document.toPlainText().count(u'\n'), 3);
}

void ScriptLintTest::codeColoursLegible_data()
{
    QTest::addColumn<QColor>("base");
    QTest::newRow("white editor") << QColor(Qt::white);
    QTest::newRow("dark editor") << QColor(0x23, 0x26, 0x29);
    QTest::newRow("black editor") << QColor(Qt::black);
    QTest::newRow("yellowish editor") << QColor(0xff, 0xff, 0xe0);
}

void ScriptLintTest::codeColoursLegible()
{
    QFETCH(QColor, base);
    QTextDocument document;
    ScriptHighlighter highlighter(&document, paletteWithBase(base));
    QString value;
    for (int digit = 0; digit <= 9; ++digit)
        value += u"^%1ab"_s.arg(digit);
    document.setPlainText(u"set sv_hostname \""_s + value + u'"');
    highlighter.rehighlight();
    const QTextBlock block = document.firstBlock();
    const int valueStart = int(block.text().indexOf(u'^'));
    for (int digit = 0; digit <= 9; ++digit) {
        const QTextCharFormat format = formatAt(block, valueStart + 4 * digit + 2);
        QCOMPARE(format.foreground().color(), ScriptLint::codeColour(digit));
        const QColor background = format.hasProperty(QTextFormat::BackgroundBrush) ? format.background().color() : base;
        const double contrast = ScriptHighlighter::contrast(format.foreground().color(), background);
        QVERIFY2(contrast >= 3.0, qPrintable(u"^%1: %2"_s.arg(digit).arg(contrast)));
    }
}

void ScriptLintTest::themeChangeRecolours()
{
    EditorPage page;
    page.setPalette(paletteWithBase(Qt::white));
    page.editor->setPlainText(u"set sv_hostname \"^0Black\""_s);
    QCoreApplication::processEvents();
    const QTextBlock block = page.editor->document()->firstBlock();
    QVERIFY(!formatAt(block, 18).hasProperty(QTextFormat::BackgroundBrush));

    page.setPalette(paletteWithBase(QColor(0x23, 0x26, 0x29)));
    const QTextCharFormat onDark = formatAt(block, 18);
    QCOMPARE(onDark.foreground().color(), QColor(Qt::black));
    QVERIFY(ScriptHighlighter::contrast(Qt::black, onDark.background().color()) >= 3.0);
}

// Whatever is typed, every span lies within the text, so no format lands
// on the wrong line.
void ScriptLintTest::spansStayInsideTheLine()
{
    const QString tricky[] = {
        u"  SETS .a\\;\"b \"c;d\" // e \"f"_s,
        u"set sv_hostname \"^1a\"^;\"\u2028set scr_motd ^9 ;//\r\n"_s,
        u"set\tscr_motd\t\"x\"\"\"\";;"_s,
    };
    for (const QString &text : tricky) {
        for (qsizetype length = 0; length <= text.size(); ++length) {
            const QString line = text.left(length);
            const ScriptLint::Reading reading = ScriptLint::read(line);
            QList<ScriptLint::Span> spans = reading.comments + reading.commandWords + reading.names + reading.quoted;
            for (const ScriptLint::Mark &mark : reading.marks)
                spans << mark.span;
            for (const ScriptLint::ColourRun &run : reading.colours)
                spans << run.span;
            for (const ScriptLint::Span &span : std::as_const(spans))
                QVERIFY2(span.start >= 0 && span.length >= 0 && span.end() <= line.size(), qPrintable(line));
        }
    }
}

void ScriptLintTest::statusBarFollowsTextCursor()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    finish(form);
    QStatusBar *bar = form.statusBar();
    form.editor->setPlainText(u"set g_log \"a\"\nset sv_hostname \"My \"Cool\" Server\"\nset sv_fps \"20\""_s);
    QTextCursor cursor(form.editor->document()->findBlockByNumber(1));
    const QString cutNote = u"The server name will end at its second double quote, and the game reads the rest as "
                            "separate words."_s;

    form.editor->setTextCursor(cursor);
    QCOMPARE(bar->currentMessage(), cutNote);

    bar->showMessage(u"a hint"_s); // the pointer passes over a control
    QCOMPARE(bar->currentMessage(), u"a hint"_s);
    bar->clearMessage(); // and leaves it
    QCOMPARE(bar->currentMessage(), cutNote);

    cursor.movePosition(QTextCursor::NextBlock);
    form.editor->setTextCursor(cursor);
    QCOMPARE(bar->currentMessage(), QString());

    cursor.movePosition(QTextCursor::PreviousBlock);
    form.editor->setTextCursor(cursor);
    QCOMPARE(bar->currentMessage(), cutNote);
    click(form, "btnClear");
    QCOMPARE(form.tabEditor->note(), QString());
    QCOMPARE(bar->currentMessage(), QString());
}

void ScriptLintTest::finishMarksTrapsAndSavesUnchanged()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    control<QLineEdit>(form, "edServername")->setText(u"Joe\"s Server"_s);
    control<QLineEdit>(form, "edMotd")->setText(u"Welcome; have fun"_s);
    control<QLineEdit>(form, "edRotation")->setText(longRotation);
    const QStringList lines = finish(form);

    const struct {
        QString line;
        QString note;
    } traps[] = {
        { u"set sv_hostname \"Joe\"s Server\""_s,
            u"The server name will end at its second double quote, and the game reads the rest as separate words."_s },
        { u"set scr_motd \"Welcome; have fun\""_s,
            u"The server-info string refuses a value holding \\ or ;, so players will not see this message of the day."_s },
        { u"set sv_mapRotation \""_s + longRotation + u'"',
            u"The game keeps only the first 1,023 bytes of a line and silently drops the marked rest (498 characters)."_s },
    };
    int marked = 0;
    for (const QString &line : lines)
        marked += ScriptLint::read(line).marks.isEmpty() ? 0 : 1;
    QCOMPARE(marked, 3);
    for (const auto &trap : traps) {
        const int number = int(lines.indexOf(trap.line));
        QVERIFY2(number >= 0, qPrintable(trap.line));
        const QTextBlock block = form.editor->document()->findBlockByNumber(number);
        QVERIFY(std::any_of(block.layout()->formats().cbegin(), block.layout()->formats().cend(),
            [](const auto &range) { return range.format.underlineStyle() == QTextCharFormat::WaveUnderline; }));
        form.editor->setTextCursor(QTextCursor(block));
        QCOMPARE(form.statusBar()->currentMessage(), trap.note);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(u"servercfg.cfg"_s);
    QVERIFY(form.saveTo(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), (lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1());
}

TALLYFORGE_TEST_MAIN(ScriptLintTest)
#include "tst_scriptlint.moc"
