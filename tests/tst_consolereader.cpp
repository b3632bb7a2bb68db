#include "app/scripthighlighter.h"
#include "formtest.h"
#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/linebreaks.h"
#include "script/scriptreader.h"
#include "testmain.h"

#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextLayout>

using namespace Qt::StringLiterals;
using namespace FormTest;
using ConsoleReader::Problem;

namespace {

QString problemName(Problem problem)
{
    switch (problem) {
    case Problem::SecondCommand: return u"second"_s;
    case Problem::Cut: return u"cut"_s;
    case Problem::NothingSet: return u"nothing"_s;
    case Problem::InvalidName: return u"invalid"_s;
    case Problem::OtherName: return u"name"_s;
    case Problem::OtherValue: return u"value"_s;
    case Problem::InfoRefused: return u"refused"_s;
    case Problem::PastExecLimit: return u"exec"_s;
    case Problem::NumberRead: return u"number"_s;
    case Problem::Clamped: return u"clamp"_s;
    case Problem::DefaultUsed: return u"default"_s;
    case Problem::NotAChoice: return u"choice"_s;
    case Problem::MissingWord: return u"missing"_s;
    case Problem::UnknownGametype: return u"gametype"_s;
    case Problem::UnnamedMap: return u"mapname"_s;
    case Problem::StrayWord: return u"stray"_s;
    case Problem::GluedKeyword: return u"glued"_s;
    case Problem::SetAgain: return u"again"_s;
    case Problem::CommandLineOnly: return u"cmdline"_s;
    case Problem::MapMissing: return u"nomap"_s;
    case Problem::MapWithoutSpawns: return u"nospawns"_s;
    case Problem::MapWithoutRadios: return u"noradios"_s;
    case Problem::MapCaseOnly: return u"mapcase"_s;
    case Problem::ExecMissing: return u"nofile"_s;
    case Problem::ExecTooLarge: return u"toolarge"_s;
    case Problem::ExecLoop: return u"loop"_s;
    case Problem::NothingReads: return u"unread"_s;
    case Problem::GametypeMissing: return u"nogametype"_s;
    case Problem::ServerHoldsOtherwise: return u"server"_s;
    }
    return {};
}

// Each mark as "<problem>:<the marked text>", long texts by their ends.
QStringList describeMarks(const ConsoleReader::Reading &reading, const QString &text)
{
    QStringList marks;
    for (const ConsoleReader::Mark &mark : reading.marks) {
        const QString marked = text.mid(mark.span.start, mark.span.length);
        marks << problemName(mark.problem) + u':'
                + (marked.size() > 40 ? marked.left(20) + u"..."_s + marked.right(16) : marked);
    }
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
const QString rotationLine = u"set sv_mapRotation \""_s; // 20 characters before the rotation
const QString filler = u"gametype sd map mp_carentan "_s.repeated(40);

} // namespace

class ConsoleReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marks_data();
    void marks();
    void colourRuns_data();
    void colourRuns();
    void windowLinesCarryNoMark_data();
    void windowLinesCarryNoMark();
    void setAgain_data();
    void setAgain();
    void setAgainFollowsTheEditor();
    void scriptSize_data();
    void scriptSize();
    void highlighterFormats();
    void codeColoursLegible_data();
    void codeColoursLegible();
    void themeChangeRecolours();
    void spansStayInsideTheLine();
    void statusBarFollowsTextCursor();
    void fieldsShowTheGamesReading_data();
    void fieldsShowTheGamesReading();
    void finishMarksTrapsAndSavesUnchanged();
    void scriptTooLongForExec();
};

// One row or more per rule of the console; "sentence" is the sentence of the
// last mark, when the row pins it.
void ConsoleReaderTest::marks_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("sentence");
    const QString second = u"The rest of this line runs as a command of its own: "_s;
    const QString value = u"The game sets the value to: "_s;
    const QString cut = u"The game cuts the command at 1,023 characters and drops this one."_s;

    // A command ends at a line end, or at a ";" after an even number of quotes, comments or not.
    QTest::newRow("comment line runs what follows a semicolon")
        << u"//Server Options; quit"_s << QStringList { u"second:; quit"_s } << second + u"quit"_s;
    QTest::newRow("comment after a value runs what follows a semicolon")
        << u"set g_log \"x\" // note; quit"_s << QStringList { u"second:; quit"_s } << second + u"quit"_s;
    QTest::newRow("semicolon after the value")
        << u"set g_log \"games.log\"; map mp_depot"_s << QStringList { u"second:; map mp_depot"_s }
        << second + u"map mp_depot"_s;
    QTest::newRow("semicolon in a later command is not the first value")
        << u"set g_log \"x\"; say \"a; b\""_s << QStringList { u"second:; say \"a; b\""_s }
        << second + u"say \"a; b\""_s;
    QStringList words { u"say"_s, u"\"a b\""_s };
    for (int k = 1; k <= 40; ++k)
        words << u"w%1"_s.arg(k);
    const QString spoken = words.join(u' ');
    QTest::newRow("long second command shown by its ends")
        << u"set g_log x;  "_s + spoken + u"  \"\" "_s
        << QStringList { u"second:;  say \"a b\" w1 w2 w...w38 w39 w40  \"\" "_s }
        << second + spoken.left(50) + u'\u2026' + spoken.right(20);
    QTest::newRow("semicolon inside quotes") << u"set g_log \"a;b.log\""_s << QStringList() << QString();
    QTest::newRow("odd quote count keeps a semicolon") << u"  // say \"hi; there"_s << QStringList() << QString();
    QTest::newRow("empty command after a semicolon")
        << u"set sv_fps \"20\";  // frames"_s << QStringList() << QString();
    QTest::newRow("inner quotes make the semicolon count")
        << u"set sv_hostname \"a\"b;c\""_s << QStringList { u"second:;c\""_s, u"value:\"a\""_s } << value + u"a b"_s;
    QTest::newRow("each line of a block on its own")
        << u"set a \"1\"\u2028set b x\"y\""_s << QStringList { u"value:x\"y\""_s } << value + u"x y"_s;

    // The 1,023-character cut: the 1,024th is dropped, the rest is a command of its own.
    QTest::newRow("1,023 characters") << rotationLine + filler.left(1002) + u'"' << QStringList() << QString();
    QTest::newRow("1,024 characters drop the closing quote") << rotationLine + filler.left(1003)
            + u'"' << QStringList { u"cut:\""_s } << cut + u" The rest of this line runs nothing."_s;
    QTest::newRow("rotation past the cut runs a map")
        << rotationLine + filler.left(1003) + u" map mp_brecourt\""_s
        << QStringList { u"cut: map mp_brecourt\""_s, u"value:\"gametype sd map mp_...map mp_brecourt\""_s }
        << value + filler.left(50) + u'\u2026' + filler.mid(983, 20);
    QTest::newRow("a cut restarts the quote count")
        << rotationLine + filler.left(1003) + u" x;quit\""_s
        << QStringList { u"cut: x"_s, u"second:;quit\""_s, u"value:\"gametype sd map mp_...sd map mp_care x"_s }
        << QString();
    QTest::newRow("words past the cut are not the rotation's")
        << rotationLine + filler.left(1003) + u" echo hi\""_s
        << QStringList { u"cut: echo hi\""_s, u"value:\"gametype sd map mp_...mp_care echo hi\""_s } << QString();

    // Words: blanks are bytes up to 32 and from 128 outside quotes; comments; quotes without escape.
    QTest::newRow("accented letter is a blank outside quotes")
        << u"set sv_hostname Caf\u00e9 Bar"_s << QStringList { u"value:Caf\u00e9 Bar"_s } << value + u"Caf Bar"_s;
    QTest::newRow("accented letter kept inside quotes")
        << u"set sv_hostname \"Caf\u00e9\""_s << QStringList() << QString();
    QTest::newRow("tab between bare words")
        << u"set g_log a\tb"_s << QStringList { u"value:a\tb"_s } << value + u"a b"_s;
    QTest::newRow("comment after a complete command") << u"set sv_fps \"20\" // frames"_s << QStringList() << QString();
    QTest::newRow("double slash ends a bare word")
        << u"set sv_hostname http://x"_s << QStringList { u"value:http://x"_s } << value + u"http:"_s;
    QTest::newRow("double slash kept inside quotes")
        << u"sets .Website \"http://example.org\""_s << QStringList() << QString();
    QTest::newRow("block comment between words")
        << u"set g_log /* old */ \"x\""_s << QStringList { u"value:/* old */ \"x\""_s } << value + u"x"_s;
    QTest::newRow("unclosed quote runs to the end") << u"set g_log \"abc"_s << QStringList() << QString();
    QTest::newRow("a quote starts a word")
        << u"set g_log x\"y\""_s << QStringList { u"value:x\"y\""_s } << value + u"x y"_s;

    // set: three words or more; the value is the words after the name joined by single blanks.
    QTest::newRow("set without a value") << u"set sv_hostname"_s << QStringList { u"nothing:set sv_hostname"_s }
                                         << u"Nothing is set: set needs a name and a value"_s;
    QTest::newRow("seta without a value") << u"Seta sv_fps"_s << QStringList { u"nothing:Seta sv_fps"_s }
                                          << u"Nothing is set: seta needs a name and a value"_s;
    QTest::newRow("inner quotes in a value")
        << u"set sv_hostname \"My \"Cool\" Server\""_s << QStringList { u"value:\"My \"Cool\" Server\""_s }
        << value + u"My  Cool  Server"_s;
    QTest::newRow("runs of blanks shrink")
        << u"set g_log a   b"_s << QStringList { u"value:a   b"_s } << value + u"a b"_s;
    QTest::newRow("empty value") << u"set rconpassword \"\""_s << QStringList() << QString();
    QTest::newRow("commands are case-insensitive")
        << u"  SET Sv_HostName \"a\"b\""_s << QStringList { u"value:\"a\"b\""_s }
        << value + u"a b "_s; // the last quote opens an empty word
    QTest::newRow("name holding a backslash") << u"set a\\b \"x\""_s << QStringList { u"invalid:a\\b"_s }
                                              << u"Nothing is set: a variable name cannot hold \\, \" or ;"_s;
    QTest::newRow("name holding a semicolon") << u"set \"a;b\" \"x\""_s << QStringList { u"invalid:\"a;b\""_s }
                                              << u"Nothing is set: a variable name cannot hold \\, \" or ;"_s;

    // sets: exactly three words; the server info refuses \ ; " in a key or value.
    QTest::newRow("sets with inner quotes")
        << u"sets .Admin1 \"My \"Cool\" Admin\""_s << QStringList { u"nothing:\"My \"Cool\" Admin\""_s }
        << u"Nothing is set: sets takes exactly one value"_s;
    QTest::newRow("sets with two values") << u"sets .Admin \"a\" b"_s << QStringList { u"nothing:\"a\""_s }
                                          << u"Nothing is set: sets takes exactly one value"_s;
    const QString leftOut
        = u"The game sets %1, but leaves it out of the server info: a value there cannot hold \\, ; or \""_s;
    QTest::newRow("backslash in an info value")
        << u"sets .Admin \"a\\b\""_s << QStringList { u"refused:\"a\\b\""_s } << leftOut.arg(u".Admin"_s);
    QTest::newRow("semicolon in an info value")
        << u"sets .Location \"Here; there\""_s << QStringList { u"refused:\"Here; there\""_s }
        << leftOut.arg(u".Location"_s);
    QTest::newRow("server name is server info")
        << u"set sv_hostname \"a;b\""_s << QStringList { u"refused:\"a;b\""_s } << leftOut.arg(u"sv_hostname"_s);
    QTest::newRow("seta server name is server info")
        << u"seta sv_hostname \"a;b\""_s << QStringList { u"refused:\"a;b\""_s } << leftOut.arg(u"sv_hostname"_s);
    QTest::newRow("seta in capitals, message of the day")
        << u"SETA scr_motd \"C:\\games\""_s << QStringList { u"refused:\"C:\\games\""_s } << leftOut.arg(u"scr_motd"_s);
    QTest::newRow("message of the day is server info")
        << u"set scr_motd \"C:\\games\""_s << QStringList { u"refused:\"C:\\games\""_s } << leftOut.arg(u"scr_motd"_s);

    // Values of the pages' variables, read as the game reads them; others are left alone.
    const QString readsAs = u"The game reads this as %1."_s;
    QTest::newRow("number read up to its first other character")
        << u"set sv_maxclients \"2O\""_s << QStringList { u"number:2O"_s } << readsAs.arg(2);
    QTest::newRow("seta number read up to its first other character")
        << u"seta sv_maxclients \"2O\""_s << QStringList { u"number:2O"_s } << readsAs.arg(2);
    QTest::newRow("number without digits")
        << u"set scr_re_scorelimit abc"_s << QStringList { u"number:abc"_s } << readsAs.arg(0);
    QTest::newRow("empty number") << u"set sv_fps \"\""_s << QStringList { u"number:\"\""_s } << readsAs.arg(0);
    QTest::newRow("decimal number") << u"SET SV_MAXPING \"2.5\""_s << QStringList { u"number:2.5"_s } << readsAs.arg(2);
    QTest::newRow("number saturates") << u"set net_port \"99999999999\""_s << QStringList { u"number:99999999999"_s }
                                      << readsAs.arg(2147483647);
    QTest::newRow("lowest number") << u"set sv_minping \"-2147483648\""_s << QStringList() << QString();
    QTest::newRow("blanks and a sign read as they look")
        << u"set sv_maxclients \" +20 \""_s << QStringList() << QString();
    QTest::newRow("whole number from a decimal")
        << u"set scr_teambalance \"1.5\""_s << QStringList { u"number:1.5"_s } << readsAs.arg(1);
    // Time limits, round lengths and grace periods are decimals, as C's atof reads them.
    QTest::newRow("decimal") << u"set scr_dm_timelimit \"7.5\""_s << QStringList() << QString();
    QTest::newRow("decimal forms")
        << u"set scr_hq_timelimit \" -.5e+2 \"; set scr_re_roundlength 5.; set scr_sd_graceperiod +1E1"_s
        << QStringList { u"second:; set scr_re_roundlength 5."_s, u"second:; set scr_sd_graceperiod +1E1"_s }
        << QString();
    QTest::newRow("decimal with a unit") << u"set scr_sd_roundlength \"2.5min\""_s << QStringList { u"number:2.5min"_s }
                                         << readsAs.arg(u"2.5"_s);
    QTest::newRow("exponent without digits")
        << u"set scr_tdm_timelimit \"3e-\""_s << QStringList { u"number:3e-"_s } << readsAs.arg(3);
    QTest::newRow("decimal without digits")
        << u"set scr_re_graceperiod \".\""_s << QStringList { u"number:."_s } << readsAs.arg(0);
    QTest::newRow("no hexadecimal") << u"set scr_bel_timelimit 0x1A"_s << QStringList { u"number:0x1A"_s }
                                    << readsAs.arg(0);
    QTest::newRow("blank is not empty") << u"set scr_re_roundlength \" \""_s << QStringList { u"number: "_s }
                                        << readsAs.arg(0);
    // Above its clamp the gametype script uses the clamp; below it nothing changes.
    const QString longestTime = u"The game uses 1440, the longest time limit it allows."_s;
    QTest::newRow("time limit at its clamp") << u"set scr_dm_timelimit \"1440\""_s << QStringList() << QString();
    QTest::newRow("time limit past its clamp")
        << u"set scr_dm_timelimit \"1440.5\""_s << QStringList { u"clamp:1440.5"_s } << longestTime;
    QTest::newRow("time limit too large for a double")
        << u"set scr_sd_timelimit 1e999"_s << QStringList { u"clamp:1e999"_s } << longestTime;
    QTest::newRow("negative time limit") << u"set scr_tdm_timelimit \"-5\""_s << QStringList() << QString();
    QTest::newRow("round length at its clamp") << u"set scr_re_roundlength \"10\""_s << QStringList() << QString();
    QTest::newRow("round length past its clamp")
        << u"set scr_sd_roundlength \"10.01\""_s << QStringList { u"clamp:10.01"_s }
        << u"The game uses 10, the longest round it allows."_s;
    QTest::newRow("grace period at its clamp") << u"set scr_sd_graceperiod \"60\""_s << QStringList() << QString();
    QTest::newRow("grace period read past its clamp")
        << u"set scr_re_graceperiod \"61s\""_s << QStringList { u"clamp:61s"_s }
        << u"The game reads this as 61 and uses 60, the longest grace period it allows."_s;
    // An empty gametype value gives the gametype script's default, the page's start value.
    QTest::newRow("empty round length") << u"set scr_sd_roundlength \"\""_s << QStringList { u"default:\"\""_s }
                                        << u"The game uses 4, its default for an empty value."_s;
    QTest::newRow("empty alive point time") << u"set scr_bel_alivepointtime \"\""_s << QStringList { u"default:\"\""_s }
                                            << u"The game uses 10, its default for an empty value."_s;
    QTest::newRow("second command read as the first")
        << u"set sv_hostname \"x\"; sets .Admin \"a\\b\""_s
        << QStringList { u"second:; sets .Admin \"a\\b\""_s, u"refused:\"a\\b\""_s } << leftOut.arg(u".Admin"_s);
    QTest::newRow("second command's number")
        << u"set g_log x;set scr_hq_timelimit 2000 // long"_s
        << QStringList { u"second:;set scr_hq_timelimit 2000 // long"_s, u"clamp:2000"_s } << longestTime;
    QTest::newRow("gametype of a mod as the default gametype")
        << u"set g_gametype \"zom\""_s << QStringList { u"gametype:zom"_s }
        << u"Not one of the game's gametypes (dm, tdm, sd, re, bel, hq); only a mod can add it."_s;
    QTest::newRow("not a gametype of the page")
        << u"set g_gametype \"dm x\""_s << QStringList { u"choice:dm x"_s }
        << u"Not one of the values the page writes here: dm, tdm, sd, re, bel or hq"_s;
    QTest::newRow("not a value of a weapon box") << u"set scr_allow_fg42 \"yes\""_s << QStringList { u"choice:yes"_s }
                                                 << u"Not one of the values the page writes here: 1 or 0"_s;
    QTest::newRow("value box") << u"set sv_wwwDownload 2"_s << QStringList { u"choice:2"_s }
                               << u"Not one of the values the page writes here: 1 or 0"_s;
    QTest::newRow("vote box") << u"set g_allowvotekick \"1\""_s << QStringList() << QString();
    QTest::newRow("text setting") << u"set g_log \"42abc\""_s << QStringList() << QString();
    QTest::newRow("variable of no page") << u"set scr_ctf_scorelimit abc"_s << QStringList() << QString();
    QTest::newRow("info line") << u"sets sv_maxclients \"2O\""_s << QStringList() << QString();

    // The rotation: "gametype <word>" and "map <name>" pairs.
    QTest::newRow("rotation") << u"set sv_mapRotation \"gametype dm map mp_bocage map mp_depot  GAMETYPE Sd Map x\""_s
                              << QStringList() << QString();
    QTest::newRow("gametype of a mod") << u"set sv_mapRotation \"gametype ctf map mp_bocage\""_s
                                       << QStringList { u"gametype:ctf"_s }
                                       << u"Not one of the game's gametypes (dm, tdm, sd, re, bel, hq); only a mod "
                                          "can add it."_s;
    QTest::newRow("keyword without its word")
        << u"set sv_mapRotation \"gametype map mp_bocage gametype dm map\""_s
        << QStringList { u"missing:gametype"_s, u"missing:map"_s }
        << u"No map follows: the rotation needs one after map, such as mp_bocage."_s;
    QTest::newRow("map mp_ left unnamed")
        << u"set sv_mapRotation \"gametype dm map mp_  map mp_x\""_s << QStringList { u"mapname:mp_"_s }
        << u"The map has no name: mp_ needs the rest of it, as in mp_bocage."_s;
    QTest::newRow("stray word") << u"set sv_mapRotation \"gametype dm mp_bocage\""_s
                                << QStringList { u"stray:mp_bocage"_s }
                                << u"The rotation takes gametype or map here; the game does not know what to do "
                                   "with mp_bocage"_s;
    QTest::newRow("keyword glued to the word before")
        << u"set sv_mapRotation \"gametype sdMAP mp_carentan map mp_harbormap mp_dawnville map mp_x\""_s
        << QStringList { u"gametype:sdMAP"_s, u"stray:mp_carentan"_s, u"glued:MAP"_s, u"stray:mp_dawnville"_s,
               u"glued:map"_s }
        << u"A blank seems to be missing before map: the game reads mp_harbormap as one word."_s;
    const QString longWord = u"a"_s + QString(898, u'b') + u'c';
    QTest::newRow("long stray word shown by its ends")
        << u"set sv_mapRotation \"map mp_x %1\""_s.arg(longWord)
        << QStringList { u"stray:abbbbbbbbbbbbbbbbbbb...bbbbbbbbbbbbbbbc"_s }
        << u"The rotation takes gametype or map here; the game does not know what to do with "_s + longWord.left(50)
            + u'\u2026' + longWord.right(20);
}

void ConsoleReaderTest::marks()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QFETCH(QString, sentence);
    const ConsoleReader::Reading reading = ConsoleReader::read(line, PageList::valueCatalogue());
    QCOMPARE(describeMarks(reading, line), expected);
    if (!sentence.isEmpty())
        QCOMPARE(reading.marks.constLast().sentence, sentence);
}

void ConsoleReaderTest::colourRuns_data()
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
    QTest::newRow("seta runs as set") << u"seta sv_hostname \"Hi ^1red\""_s << QStringList { u"#ff0000:^1red"_s };
    QTest::newRow("caret before a code") << u"set sv_hostname \"^^2x\""_s << QStringList { u"#00ff00:^2x"_s };
    QTest::newRow("caret without digit") << u"set sv_hostname \"a^b^\""_s << QStringList();
    QTest::newRow("code at the very end") << u"set sv_hostname \"a^3\""_s << QStringList { u"#ffff00:^3"_s };
    QTest::newRow("bare value") << u"set sv_hostname ^5Bare Name"_s << QStringList { u"#00ffff:^5Bare Name"_s };
    QTest::newRow("other variables keep their text") << u"set g_log \"^1x\""_s << QStringList();
    QTest::newRow("info lines keep their text") << u"sets .Admin \"^1x\""_s << QStringList();
    QTest::newRow("comments keep their text") << u"//set sv_hostname \"^1x\""_s << QStringList();
}

void ConsoleReaderTest::colourRuns()
{
    QFETCH(QString, line);
    QFETCH(QStringList, runs);
    QStringList found;
    for (const ConsoleReader::ColourRun &run : ConsoleReader::read(line).colours)
        found << ConsoleReader::codeColour(run.colour).name() + u':' + line.mid(run.span.start, run.span.length);
    QCOMPARE(found, runs);
}

void ConsoleReaderTest::windowLinesCarryNoMark_data()
{
    QTest::addColumn<bool>("everyBox");
    QTest::addColumn<bool>("otherButtons");
    QTest::newRow("default script") << false << false;
    QTest::newRow("every box ticked") << true << false;
    QTest::newRow("every box ticked, the other radio buttons") << true << true;
}

// Every value the pages write at their start values reads as it looks, and
// every variable they write is in the catalogue.
void ConsoleReaderTest::windowLinesCarryNoMark()
{
    QFETCH(bool, everyBox);
    QFETCH(bool, otherButtons);
    TForm1 form;
    if (everyBox) {
        for (QCheckBox *box : form.findChildren<QCheckBox *>())
            box->setChecked(true);
    }
    if (otherButtons) {
        for (QRadioButton *button : form.findChildren<QRadioButton *>()) {
            if (!button->isChecked())
                button->setChecked(true);
        }
    }
    const QStringList lines = finish(form);
    if (!everyBox)
        QCOMPARE(lines, goldenLines());
    const ValueCatalogue values = PageList::valueCatalogue();
    for (const QString &line : lines) {
        QVERIFY2(ConsoleReader::read(line, values).marks.isEmpty(), qPrintable(line));
        if (line.startsWith(u"set "_s))
            QVERIFY2(values.find(line.section(u' ', 1, 1)), qPrintable(line));
    }
}

// The size as saved, with CR LF line ends, and the first character past one exec.
void ConsoleReaderTest::setAgain_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected"); // "<line>: <marked text>: <sentence>", lines from 1

    QTest::newRow("set again") << QStringList {
        u"set sv_maxclients 8"_s, u"set sv_fps 20"_s, u"seta SV_MAXCLIENTS \"16\""_s
    } << QStringList { u"1: set sv_maxclients 8: Line 3 sets sv_maxclients again; the game keeps \"16\"."_s };
    QTest::newRow("three times, the last value kept")
        << QStringList { u"set a 1"_s, u"set a 2"_s, u"sets a 3"_s }
        << QStringList { u"1: set a 1: Line 2 sets a again; the game keeps \"3\"."_s,
               u"2: set a 2: Line 3 sets a again; the game keeps \"3\"."_s };
    QTest::newRow("across an exec") << QStringList { u"set a 1"_s, u"exec mod.cfg"_s, u"set a 2"_s } << QStringList {};
    QTest::newRow("across a toggle of it")
        << QStringList { u"set a 1"_s, u"toggle a"_s, u"set a 2"_s } << QStringList {};
    QTest::newRow("across a toggle of another") << QStringList { u"set a 1"_s, u"toggle b"_s,
        u"set a 2"_s } << QStringList { u"1: set a 1: Line 3 sets a again; the game keeps \"2\"."_s };
    QTest::newRow("an exec after it on its line")
        << QStringList { u"set a 1; exec x"_s, u"set a 2"_s } << QStringList {};
    QTest::newRow("a vstr before it on the later line")
        << QStringList { u"set a 1"_s, u"vstr go; set a 2"_s } << QStringList {};
    QTest::newRow("after a ; of its own") << QStringList { u"set b 0; set a 1  ;"_s,
        u"echo hi; set a 2"_s } << QStringList { u"1: set a 1: Line 2 sets a again; the game keeps \"2\"."_s };
    QTest::newRow("twice on one line") << QStringList { u"set a 1; set a 2"_s } << QStringList {};
    QTest::newRow("nothing set the second time") << QStringList { u"set a 1"_s, u"set a"_s } << QStringList {};
}

// Marks that need the lines after them, in --check and in the editor alike.
void ConsoleReaderTest::setAgain()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(lines, PageList::valueCatalogue());
    QStringList found;
    for (qsizetype line = 0; line < lines.size(); ++line) {
        for (const ConsoleReader::Mark &mark : readings[line].marks) {
            if (mark.problem == Problem::SetAgain)
                found << u"%1: %2: %3"_s.arg(line + 1).arg(
                    lines[line].mid(mark.span.start, mark.span.length), mark.sentence);
        }
    }
    QCOMPARE(found, expected);

    QTextDocument document;
    ScriptHighlighter highlighter(&document, paletteWithBase(Qt::white));
    document.setPlainText(lines.join(u'\n'));
    for (qsizetype line = 0; line < lines.size(); ++line) {
        const ConsoleReader::Reading reading = highlighter.readingOf(document.findBlockByNumber(int(line)));
        QCOMPARE(describeMarks(reading, lines[line]), describeMarks(readings[line], lines[line]));
    }
}

// Typing anywhere moves the marks of the lines it concerns; a line a page
// writes is marked when a kept line sets its variable again.
void ConsoleReaderTest::setAgainFollowsTheEditor()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"kept.cfg"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("set g_gametype \"ctf\"\n");
    file.close();
    TForm1 form;
    showWindow(form);
    QVERIFY(form.openScript(file.fileName()));
    click(form, "btnClear");
    control<QCheckBox>(form, "chkGametype")->setChecked(true);
    control<QRadioButton>(form, "gt1")->setChecked(true);
    const QStringList lines = finish(form);
    QTextDocument *document = form.editor()->document();
    auto waved = [&](int line) {
        const QList<QTextLayout::FormatRange> ranges = document->findBlockByNumber(line).layout()->formats();
        return std::any_of(ranges.cbegin(), ranges.cend(),
            [](const auto &range) { return range.format.underlineStyle() == QTextCharFormat::WaveUnderline; });
    };
    const int page = int(lines.indexOf(u"set g_gametype \"dm\""_s));
    QVERIFY(page >= 0);
    QVERIFY(waved(page));
    form.editor()->setTextCursor(QTextCursor(document->findBlockByNumber(page)));
    QCOMPARE(form.statusBar()->currentMessage(),
        u"Line %1 sets g_gametype again; the game keeps \"ctf\"."_s.arg(lines.size()));

    // An exec typed between them, then taken away again.
    QTextCursor cursor(document->findBlockByNumber(page));
    cursor.movePosition(QTextCursor::EndOfBlock);
    form.editor()->setTextCursor(cursor);
    QTest::keyClick(form.editor(), Qt::Key_Return);
    QTest::keyClicks(form.editor(), u"exec mod.cfg"_s);
    QTRY_VERIFY(!waved(page));
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(form.editor(), Qt::Key_Backspace);
    QTRY_VERIFY(waved(page));
}

// What one exec takes: 16,383 bytes with nothing after +exec on the server's
// command line, 11 fewer with +map_rotate after it; the size as saved (CR LF)
// or as a file holds it, and the first character past the limit.
void ConsoleReaderTest::scriptSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<qsizetype>("firstPast");
    QTest::addColumn<QString>("sentence");
    const QString line = u"set g_log \"games_mp.log\"\n"_s; // 26 bytes saved, 25 as it is
    auto saved = [&line](qsizetype bytes) { return line.repeated(bytes / 26) + QString(bytes % 26, u'x'); };
    const QString noRoom = u"A +map_rotate after +exec leaves no room for this script: it is %1 bytes, and exec then "
                           "takes 16,372."_s;
    const QString refused
        = u"The game's exec runs none of this script: it is %1 bytes, and exec takes 16,383 less what follows +exec."_s;

    QTest::newRow("16,372 bytes") << saved(16372) << true << qsizetype(-1) << QString();
    QTest::newRow("16,373 bytes") << saved(16373) << true << saved(16372).size() << noRoom.arg(u"16,373"_s);
    QTest::newRow("16,383 bytes") << saved(16383) << true << saved(16372).size() << noRoom.arg(u"16,383"_s);
    QTest::newRow("16,384 bytes") << saved(16384) << true << saved(16383).size() << refused.arg(u"16,384"_s);
    QTest::newRow("only the last line break past 16,383")
        << saved(16382) + u'\n' << true << saved(16382).size() << refused.arg(u"16,384"_s);
    QTest::newRow("CR LF past the limit is two bytes")
        << saved(16383) + u"y\r\nz"_s << true << saved(16383).size() << refused.arg(u"16,387"_s);
    QTest::newRow("every kind of line break is two bytes") << u"a\r\nb\rc\nd\u2028e\u2029"_s + QString(16383 - 15, u'x')
            + u'y' << true << qsizetype(11 + 16383 - 15) << refused.arg(u"16,384"_s);
    QTest::newRow("a file's LF is one byte")
        << line.repeated(654) + QString(22, u'x') << false << qsizetype(-1) << QString();
    QTest::newRow("a file's CR LF is two bytes") << QString(line).replace(u"\n"_s, u"\r\n"_s).repeated(630) + u"xxxx"_s
                                                 << false << qsizetype(16383) << refused.arg(u"16,384"_s);
}

void ConsoleReaderTest::scriptSize()
{
    QFETCH(QString, text);
    QFETCH(bool, saved);
    QFETCH(qsizetype, firstPast);
    QFETCH(QString, sentence);
    const ExecSize::Size size = ExecSize::measure(text, saved ? ExecSize::Breaks::Saved : ExecSize::Breaks::AsTheyAre);
    QCOMPARE(size.bytes, saved ? LineBreaks::withCrLf(text).size() : text.size());
    QCOMPARE(size.firstPast, firstPast);
    QCOMPARE(size.sentence(), sentence);
}

void ConsoleReaderTest::highlighterFormats()
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

    // the wavy line covers exactly the value the game reads otherwise
    const int cutFrom = int(cut.text().indexOf(u'"'));
    for (int i = 0; i < cut.text().size(); ++i) {
        const bool marked = i >= cutFrom;
        QCOMPARE(formatAt(cut, i).underlineStyle() == QTextCharFormat::WaveUnderline, marked);
    }
    QCOMPARE(formatAt(cut, cutFrom + 1).foreground().color(), value); // marks keep the colours under them

    const QTextCharFormat white = formatAt(colours, 14);
    QCOMPARE(white.foreground().color(), QColor(Qt::white));
    QVERIFY(white.hasProperty(QTextFormat::BackgroundBrush));
    QCOMPARE(formatAt(colours, 24).foreground().color(), QColor(Qt::yellow));
    QVERIFY(!formatAt(colours, 13).hasProperty(QTextFormat::BackgroundBrush)); // the opening quote

    QCOMPARE(document.toPlainText().count(u'\n'), 3);
}

void ConsoleReaderTest::codeColoursLegible_data()
{
    QTest::addColumn<QColor>("base");
    QTest::newRow("white editor") << QColor(Qt::white);
    QTest::newRow("dark editor") << QColor(0x23, 0x26, 0x29);
    QTest::newRow("black editor") << QColor(Qt::black);
    QTest::newRow("yellowish editor") << QColor(0xff, 0xff, 0xe0);
}

void ConsoleReaderTest::codeColoursLegible()
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
        QCOMPARE(format.foreground().color(), ConsoleReader::codeColour(digit));
        const QColor background = format.hasProperty(QTextFormat::BackgroundBrush) ? format.background().color() : base;
        const double contrast = ScriptHighlighter::contrast(format.foreground().color(), background);
        QVERIFY2(contrast >= 3.0, qPrintable(u"^%1: %2"_s.arg(digit).arg(contrast)));
    }
}

void ConsoleReaderTest::themeChangeRecolours()
{
    EditorPage page;
    page.setPalette(paletteWithBase(Qt::white));
    page.editor()->setPlainText(u"set sv_hostname \"^0Black\""_s);
    QCoreApplication::processEvents();
    const QTextBlock block = page.editor()->document()->firstBlock();
    QVERIFY(!formatAt(block, 18).hasProperty(QTextFormat::BackgroundBrush));

    page.setPalette(paletteWithBase(QColor(0x23, 0x26, 0x29)));
    const QTextCharFormat onDark = formatAt(block, 18);
    QCOMPARE(onDark.foreground().color(), QColor(Qt::black));
    QVERIFY(ScriptHighlighter::contrast(Qt::black, onDark.background().color()) >= 3.0);
}

// Whatever is typed, every span lies within the text, so no format lands
// on the wrong line.
void ConsoleReaderTest::spansStayInsideTheLine()
{
    const QString tricky[] = {
        u"  SETS .a\\;\"b \"c;d\" // e \"f"_s,
        u"set sv_hostname \"^1a\"^;\"\u2028set scr_motd ^9 ;//\r\n"_s,
        u"set\tscr_motd\t\"x\"\"\"\";;"_s,
    };
    for (const QString &text : tricky) {
        for (qsizetype length = 0; length <= text.size(); ++length) {
            const QString line = text.left(length);
            const ConsoleReader::Reading reading = ConsoleReader::read(line);
            QList<ConsoleReader::Span> spans = reading.comments + reading.commandWords + reading.names + reading.quoted;
            for (const ConsoleReader::Mark &mark : reading.marks)
                spans << mark.span;
            for (const ConsoleReader::ColourRun &run : reading.colours)
                spans << run.span;
            for (const ConsoleReader::Span &span : std::as_const(spans))
                QVERIFY2(span.start >= 0 && span.length >= 0 && span.end() <= line.size(), qPrintable(line));
        }
    }
}

// The status bar names the mark of the word at the text cursor, whatever else its line marks, and takes it
// back after a hint.
void ConsoleReaderTest::statusBarFollowsTextCursor()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    finish(form);
    QStatusBar *bar = form.statusBar();
    form.editor()->setPlainText(u"set g_log \"a\"\nset sv_hostname \"My \"Cool\" Server\"\n"
                                "set sv_mapRotation \"gametype ctf map mp_ foo\""_s);
    const QString cutNote = u"The game sets the value to: My  Cool  Server"_s;
    const struct {
        int line;
        QString word; // the cursor stands in its middle
        QString note; // the start of it
    } words[] = {
        { 1, u"Cool"_s, cutNote },
        { 1, u"set"_s, QString() },
        { 2, u"ctf"_s, u"Not one of the game's gametypes"_s },
        { 2, u"map"_s, QString() },
        { 2, u"mp_"_s, u"The map has no name"_s },
        { 2, u"foo"_s, u"The rotation takes gametype or map here; the game does not know what to do with foo"_s },
        { 0, u"g_log"_s, QString() },
    };
    for (const auto &word : words) {
        const QTextBlock block = form.editor()->document()->findBlockByNumber(word.line);
        QTextCursor cursor(block);
        const qsizetype at = block.text().indexOf(QRegularExpression(u"\\b"_s + word.word + u"\\b"_s));
        cursor.setPosition(block.position() + int(at) + 1);
        form.editor()->setTextCursor(cursor);
        QVERIFY2(word.note.isEmpty() ? bar->currentMessage().isEmpty() : bar->currentMessage().startsWith(word.note),
            qPrintable(word.word + u": "_s + bar->currentMessage()));
    }

    QTextCursor cursor(form.editor()->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    form.editor()->setTextCursor(cursor);
    QCOMPARE(bar->currentMessage(), cutNote);
    bar->showMessage(u"a hint"_s); // the pointer passes over a control
    QCOMPARE(bar->currentMessage(), u"a hint"_s);
    bar->clearMessage(); // and leaves it
    QCOMPARE(bar->currentMessage(), cutNote);
    click(form, "btnClear");
    QCOMPARE(control<EditorPage>(form, "tabEditor")->note(), QString());
    QCOMPARE(bar->currentMessage(), QString());
}

void ConsoleReaderTest::fieldsShowTheGamesReading_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("sentence"); // none while the field reads as it looks
    QTest::addColumn<bool>("underlined");
    QTest::newRow("max players with a letter O")
        << u"edMaxplayers"_s << u"2O"_s << u"set sv_maxclients \"2O\""_s << u"The game reads this as 2."_s << true;
    QTest::newRow("max players") << u"edMaxplayers"_s << u"24"_s << u"set sv_maxclients \"24\""_s << QString() << false;
    QTest::newRow("time limit with a unit") << u"edDm2"_s << u"2.5min"_s << u"set scr_dm_timelimit \"2.5min\""_s
                                            << u"The game reads this as 2.5."_s << true;
    QTest::newRow("round length past its clamp") << u"edSd4"_s << u"12"_s << u"set scr_sd_roundlength \"12\""_s
                                                 << u"The game uses 10, the longest round it allows."_s << true;
    QTest::newRow("empty round length, no text to underline")
        << u"edSd4"_s << QString() << u"set scr_sd_roundlength \"\""_s
        << u"The game uses 4, its default for an empty value."_s << false;
    QTest::newRow("password that ends its command")
        << u"edRcon"_s << u"a\";quit"_s << u"set rconpassword \"a\";quit\""_s
        << u"The rest of this line runs as a command of its own: quit"_s << true;
}

// Typed into a page's field, a value shows how the game reads it, in the field and in the status bar, while the
// field has the focus or the pointer; the text and the line written stay as typed.
void ConsoleReaderTest::fieldsShowTheGamesReading()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(QString, sentence);
    QFETCH(bool, underlined);
    QCursor::setPos(0, 0); // the window opens away from the pointer
    TForm1 form;
    showWindow(form);
    auto *edit = control<QLineEdit>(form, field);
    auto *pages = control<QTabWidget>(form, "PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->widget(i)->isAncestorOf(edit))
            pages->setCurrentIndex(i);
    }
    QStatusBar *bar = form.statusBar();
    const QString told = sentence.isEmpty() ? QString() : edit->statusTip() + u' ' + sentence;

    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    QCOMPARE(bar->currentMessage(), told);
    QCOMPARE(edit->accessibleDescription(), sentence.isEmpty() ? edit->statusTip() : told);
    QCOMPARE(underlinePixels(edit) > 0, underlined);
    bar->showMessage(u"a hint"_s); // the pointer passes over another control
    bar->clearMessage(); // and leaves it
    QCOMPARE(bar->currentMessage(), told);
    control<QWidget>(form, "chkSlashes")->setFocus();
    QCOMPARE(bar->currentMessage(), QString());

    QTest::mouseMove(edit);
    QCOMPARE(bar->currentMessage(), sentence.isEmpty() ? edit->statusTip() : told);
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, u"1"_s); // mended, it reads as it looks again
    QCOMPARE(bar->currentMessage(), edit->statusTip());
    QCOMPARE(underlinePixels(edit), 0);

    edit->setText(typed);
    QVERIFY(finish(form).contains(line));
    QCOMPARE(edit->text(), typed);
}

void ConsoleReaderTest::finishMarksTrapsAndSavesUnchanged()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    control<QLineEdit>(form, "edServername")->setText(u"Joe\"s Server"_s);
    control<QLineEdit>(form, "edMotd")->setText(u"Welcome; have fun"_s);
    control<QLineEdit>(form, "edRotation")->setText(longRotation);
    control<QLineEdit>(form, "edMaxplayers")->setText(u"2O"_s);
    const QStringList lines = finish(form);

    const struct {
        QString line;
        QString note;
    } traps[] = {
        { u"set sv_hostname \"Joe\"s Server\""_s, u"The game sets the value to: Joe s Server"_s },
        { u"set scr_motd \"Welcome; have fun\""_s,
            u"The game sets scr_motd, but leaves it out of the server info: a value there cannot hold \\, ; or \""_s },
        { u"set sv_maxclients \"2O\""_s, u"The game reads this as 2."_s },
        { u"set sv_mapRotation \""_s + longRotation + u'"',
            u"The game cuts the command at 1,023 characters and drops this one. The rest of this line runs as a "
            "command of its own: mp_bocage gametype dm map"_s },
    };
    int marked = 0;
    for (const QString &line : lines)
        marked += ConsoleReader::read(line, PageList::valueCatalogue()).marks.isEmpty() ? 0 : 1;
    QCOMPARE(marked, 4);
    for (const auto &trap : traps) {
        const int number = int(lines.indexOf(trap.line));
        QVERIFY2(number >= 0, qPrintable(trap.line));
        const QTextBlock block = form.editor()->document()->findBlockByNumber(number);
        QVERIFY(std::any_of(block.layout()->formats().cbegin(), block.layout()->formats().cend(),
            [](const auto &range) { return range.format.underlineStyle() == QTextCharFormat::WaveUnderline; }));
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock); // on the value, which each mark takes in
        form.editor()->setTextCursor(cursor);
        QCOMPARE(form.statusBar()->currentMessage().left(trap.note.size()), trap.note);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(u"servercfg.cfg"_s);
    QVERIFY(form.saveTo(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), (lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1());
}

// A script too long for one exec is told on the status bar and marked from
// the first character past the limit, and saved all the same.
void ConsoleReaderTest::scriptTooLongForExec()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    finish(form);
    const QString line = u"set g_log \"games_mp.log\""_s; // 26 bytes with CR LF
    const QString sentence = u"The game's exec runs none of this script: it is 16,406 bytes, and exec takes 16,383 "
                             "less what follows +exec."_s;
    form.editor()->selectAll();
    form.editor()->insertPlainText((line + u'\n').repeated(630) + u"//"_s + QString(22, u'-') + u'\n');
    QTRY_COMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(), sentence);
    QVERIFY(form.statusBar()->findChild<QLabel *>(u"sizeNote"_s)->isVisible());

    const QStringList lines = editorLines(form);
    const QByteArray saved = (lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1();
    QCOMPARE(saved.size(), 16406);
    // The first line with a byte past 16,383 carries the mark from that byte on.
    qsizetype bytes = 0;
    int number = 0;
    while (bytes + lines[number].size() + 2 <= 16383)
        bytes += lines[number++].size() + 2;
    const QTextBlock past = form.editor()->document()->findBlockByNumber(number);
    for (int i = 0; i < past.text().size(); ++i) {
        const bool marked = i >= 16383 - bytes;
        QCOMPARE(formatAt(past, i).underlineStyle() == QTextCharFormat::WaveUnderline, marked);
    }
    form.editor()->setTextCursor(QTextCursor(past));
    QCOMPARE(control<EditorPage>(form, "tabEditor")->note(), sentence);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"long.cfg"_s);
    QVERIFY(form.saveTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);

    // A line separator within a line is two bytes as well; a change before the mark moves it.
    auto markStart = [](const QTextBlock &block) {
        for (int i = 0; i < block.length(); ++i) {
            if (formatAt(block, i).underlineStyle() == QTextCharFormat::WaveUnderline)
                return i;
        }
        return -1;
    };
    QTest::keyClick(form.editor(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(form.editor(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(form.editor()->document()->blockCount(), lines.size() + 1);
    QCOMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(), QString(sentence).replace(u"16,406"_s, u"16,408"_s));
    QCOMPARE(markStart(past), 16383 - bytes - 2);
    QTest::keyClick(form.editor(), Qt::Key_Backspace);
    QTest::keyClick(form.editor(), Qt::Key_Space);
    QCOMPARE(markStart(past), 16383 - bytes - 1);
    QTest::keyClick(form.editor(), Qt::Key_Backspace);
    QCOMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(), sentence);
    QCOMPARE(markStart(past), 16383 - bytes);

    // Down to 16,384 bytes, still refused; at 16,383 only a following
    // +map_rotate leaves no room, marked from 16,372 bytes; at 16,372 it fits.
    auto erase = [&form](int characters) {
        for (int i = 0; i < characters; ++i)
            QTest::keyClick(form.editor(), Qt::Key_Backspace);
    };
    QTest::keyClick(form.editor(), Qt::Key_End, Qt::ControlModifier);
    erase(21);
    QCOMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(), QString(sentence).replace(u"16,406"_s, u"16,384"_s));
    QCOMPARE(markStart(past), 16383 - bytes);
    erase(1);
    QCOMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(),
        u"A +map_rotate after +exec leaves no room for this script: it is 16,383 bytes, and exec then takes 16,372."_s);
    QCOMPARE(markStart(past), -1);
    QCOMPARE(markStart(past.previous()), 16372 - (bytes - past.previous().length() - 1));
    erase(11);
    QCOMPARE(control<EditorPage>(form, "tabEditor")->sizeNote(), QString());
    QCOMPARE(markStart(past.previous()), -1);
}

TALLYFORGE_TEST_MAIN(ConsoleReaderTest)
#include "tst_consolereader.moc"
