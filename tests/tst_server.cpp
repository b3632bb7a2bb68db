// The whole server: the scripts exec runs, followed as the game runs them,
// and the variables nothing on the server reads. The server here is a few
// scripts held in memory and looked up as the game's search would; the
// folder itself, with real archives, is tst_gamefolder's.

#include "gamefolder/gscnames.h"
#include "script/execname.h"
#include "script/scriptreader.h"
#include "script/variableuse.h"
#include "testmain.h"

#include <QTest>

using namespace Qt::StringLiterals;
using ConsoleReader::Problem;

namespace {

const QString scriptName = u"server.cfg"_s;

// A server's scripts from lines "ARCHIVE|PATH=TEXT" (an empty ARCHIVE for a
// loose file, whose name must match exactly); a TEXT of "*N" is N bytes too
// large for exec to hold.
std::shared_ptr<ScriptReader::Server> serverOf(
    const QStringList &files, std::shared_ptr<const VariableUse> variables = nullptr)
{
    QHash<QString, ScriptReader::ExecScript> scripts;
    for (const QString &file : files) {
        const qsizetype bar = file.indexOf(u'|');
        const qsizetype equals = file.indexOf(u'=');
        ScriptReader::ExecScript script;
        script.archive = file.left(bar);
        script.path = file.mid(bar + 1, equals - bar - 1);
        script.folder = u"main"_s;
        script.file = script.archive.isEmpty() ? script.path : script.archive + u':' + script.path;
        const QString text = file.mid(equals + 1);
        script.bytes = text.startsWith(u'*') ? text.mid(1).toLongLong() : text.size();
        if (!text.startsWith(u'*'))
            script.lines = text.split(u'\n');
        script.key = script.archive.isEmpty() ? script.path : script.path.toLower();
        scripts.insert(script.key, script);
    }
    auto server = std::make_shared<ScriptReader::Server>();
    server->lookup = [scripts](const QString &path) -> std::optional<ScriptReader::ExecScript> {
        // Archives before loose files; in an archive, any letter case.
        if (const auto inArchive = scripts.constFind(path.toLower());
            inArchive != scripts.cend() && !inArchive->archive.isEmpty())
            return *inArchive;
        if (const auto loose = scripts.constFind(path); loose != scripts.cend() && loose->archive.isEmpty())
            return *loose;
        return std::nullopt;
    };
    server->scriptKey = scriptName;
    server->scriptName = scriptName;
    server->variables = std::move(variables);
    return server;
}

QString problemName(Problem problem)
{
    static const QHash<Problem, QString> names = { { Problem::SetAgain, u"again"_s },
        { Problem::ExecMissing, u"nofile"_s }, { Problem::ExecTooLarge, u"toolarge"_s },
        { Problem::ExecLoop, u"loop"_s }, { Problem::NothingReads, u"unread"_s } };
    return names.value(problem, u"other"_s);
}

// Each mark of a reading as "FILE:LINE: problem marked text", each map word
// that a map command loads with a known gametype as "FILE:LINE: map NAME
// GAMETYPE from SCRIPT:LINE", and each note as "FILE:LINE: note".
void describe(
    const QString &file, qsizetype line, const QString &text, const ConsoleReader::Reading &reading, QStringList &into)
{
    const QString at = u"%1:%2: "_s.arg(file).arg(line + 1);
    for (const ConsoleReader::Mark &mark : reading.marks)
        into << at + problemName(mark.problem) + u' ' + text.mid(mark.span.start, mark.span.length);
    for (const ConsoleReader::MapWord &word : reading.maps) {
        if (!word.inRotation && !word.gametype.isEmpty()) {
            into << at
                    + u"map %1 %2 from %3:%4"_s
                          .arg(word.name, word.gametype, word.gametypeScript.isEmpty() ? file : word.gametypeScript)
                          .arg(word.gametypeLine + 1);
        }
    }
    for (qsizetype k = 0; k < reading.notes.size(); ++k)
        into << at + u"note"_s;
}

// `script` read on `server`, then every script its execs reach.
QStringList readOnServer(const QString &script, std::shared_ptr<const ScriptReader::Server> server)
{
    const QStringList lines = script.split(u'\n');
    ScriptReader reader;
    reader.readOn(server);
    reader.replaceLines(0, 0, lines);
    QStringList found;
    for (qsizetype k = 0; k < lines.size(); ++k)
        describe(scriptName, k, lines[k], reader.read(k, lines[k]), found);
    const QList<ScriptReader::ExecScript> reached = reader.reachedScripts();
    for (qsizetype s = 0; s < reached.size(); ++s) {
        for (qsizetype k = 0; k < reached[s].lines.size(); ++k)
            describe(reached[s].file, k, reached[s].lines[k], reader.readReached(s, k), found);
    }
    return found;
}

} // namespace

class ServerTest : public QObject {
    Q_OBJECT

private slots:
    void execNames_data();
    void execNames();
    void execFollowed_data();
    void execFollowed();
    void execSentences();
    void hostileExecChains();
    void unreadVariables_data();
    void unreadVariables();
    void gscNames_data();
    void gscNames();
};

void ServerTest::execNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("path"); // or the refusal
    QTest::newRow("no extension") << u"admin/mod"_s << u"admin/mod.cfg"_s;
    QTest::newRow("an extension of its own") << u"admin/mod.txt"_s << u"admin/mod.txt"_s;
    QTest::newRow("a dot only in a folder's name") << u"my.admin/mod"_s << u"my.admin/mod.cfg"_s;
    QTest::newRow("a leading slash") << u"/server"_s << u"server.cfg"_s;
    QTest::newRow("one leading backslash only") << u"\\\\server.cfg"_s << u"/server.cfg"_s;
    QTest::newRow("backslashes between folders") << u"admin\\mod"_s << u"admin/mod.cfg"_s;
    QTest::newRow("the folder above") << u"../other/x"_s << u"refused"_s;
    QTest::newRow("a double colon") << u"a::b"_s << u"refused"_s;
    QTest::newRow("no name") << QString() << u"refused"_s;
}

void ServerTest::execNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, path);
    const ExecName::Target target = ExecName::of(typed);
    QCOMPARE(target.refusal == ExecName::Refusal::None ? target.path : u"refused"_s, path);
}

void ServerTest::execFollowed_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("itself"); // what the search finds for the script itself

    const QStringList mod = { u"zz_admin.pk3|admin/mod.cfg=set scr_x 1\nset scr_y 1"_s };
    QTest::newRow("a later line overrides an exec'd script")
        << mod << u"exec admin/mod\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: note"_s, u"zz_admin.pk3:admin/mod.cfg:1: again set scr_x 1"_s } << scriptName;
    QTest::newRow("an exec'd script overrides a line before it, in any letter case")
        << mod << u"set SCR_Y 2\nexec ADMIN/MOD.CFG"_s
        << QStringList { u"server.cfg:1: again set SCR_Y 2"_s, u"server.cfg:2: note"_s } << scriptName;
    QTest::newRow("a command between reads it")
        << QStringList { u"|a.cfg=set scr_x 1\nmap_restart"_s } << u"exec a\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: note"_s } << scriptName;
    QTest::newRow("nothing runs where nothing is found")
        << QStringList() << u"set scr_x 1\nexec nothere\nexec ../up\nexec a::b\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: again set scr_x 1"_s, u"server.cfg:2: nofile exec nothere"_s,
               u"server.cfg:3: nofile exec ../up"_s, u"server.cfg:4: nofile exec a::b"_s }
        << scriptName;
    QTest::newRow("a loose script by its exact name only")
        << QStringList { u"|Admin.cfg=set scr_x 1"_s } << u"exec admin\nexec Admin"_s
        << QStringList { u"server.cfg:1: nofile exec admin"_s, u"server.cfg:2: note"_s } << scriptName;
    QTest::newRow("missing deeper down: marked where it is, and on the exec leading there")
        << QStringList { u"|a.cfg=exec b"_s, u"|b.cfg=exec c"_s } << u"exec a"_s
        << QStringList { u"server.cfg:1: nofile exec a"_s, u"server.cfg:1: note"_s, u"a.cfg:1: note"_s,
               u"b.cfg:1: nofile exec c"_s }
        << scriptName;
    QTest::newRow("the script execs itself")
        << QStringList { u"|server.cfg=set scr_x 1"_s } << u"set scr_x 1\nexec server"_s
        << QStringList { u"server.cfg:2: loop exec server"_s } << scriptName;
    QTest::newRow("a loop through other scripts")
        << QStringList { u"|a.cfg=exec b"_s, u"|b.cfg=set scr_x 1\nexec a"_s } << u"exec a\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: loop exec a"_s, u"server.cfg:1: note"_s, u"a.cfg:1: note"_s,
               u"b.cfg:2: loop exec a"_s }
        << scriptName;
    QTest::newRow("a script too large for exec")
        << QStringList { u"|big.cfg=*16384"_s, u"|fits.cfg=*16383"_s } << u"set scr_x 1\nexec big\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: again set scr_x 1"_s, u"server.cfg:2: toolarge exec big"_s } << scriptName;
    // The first run of a.cfg's line is overridden, the second is not; server.cfg's line is overridden.
    QTest::newRow("a script exec'd twice")
        << QStringList { u"|a.cfg=set scr_x 1"_s } << u"exec a\nset scr_x 2\nexec a"_s
        << QStringList { u"server.cfg:1: note"_s, u"server.cfg:2: again set scr_x 2"_s, u"server.cfg:3: note"_s }
        << scriptName;
    QTest::newRow("a map command takes the gametype an exec'd script sets")
        << QStringList { u"|gt.cfg=set g_gametype sd"_s } << u"exec gt\nmap mp_b"_s
        << QStringList { u"server.cfg:1: note"_s, u"server.cfg:2: map mp_b sd from gt.cfg:1"_s } << scriptName;
    QTest::newRow("so does one in an exec'd script, from another")
        << QStringList { u"|gt.cfg=set g_gametype sd"_s, u"|m.cfg=map mp_a"_s } << u"exec gt\nexec m"_s
        << QStringList { u"server.cfg:1: note"_s, u"server.cfg:2: note"_s, u"m.cfg:1: map mp_a sd from gt.cfg:1"_s }
        << scriptName;
    QTest::newRow("the start-up scripts run first, in their order, and are not marked")
        << QStringList { u"|autoexec_mp.cfg=set g_gametype tdm\nset scr_x 1"_s,
               u"|config_mp.cfg=seta g_gametype dm\nexec nothere"_s }
        << u"set scr_x 2\nmap mp_b"_s << QStringList { u"server.cfg:2: map mp_b tdm from autoexec_mp.cfg:1"_s }
        << scriptName;
    QTest::newRow("the script itself among the start-up scripts: those after it do not run first") << QStringList {
        u"|language.cfg=set g_gametype tdm"_s, u"|config_mp.cfg=map mp_b"_s, u"|autoexec_mp.cfg=set g_gametype sd"_s
    } << u"map mp_b"_s << QStringList { u"server.cfg:1: map mp_b tdm from language.cfg:1"_s } << u"config_mp.cfg"_s;
}

void ServerTest::execFollowed()
{
    QFETCH(QStringList, files);
    QFETCH(QString, script);
    QFETCH(QStringList, found);
    QFETCH(QString, itself);
    auto server = serverOf(files);
    server->scriptKey = itself;
    QCOMPARE(readOnServer(script, server), found);
    // Without a game folder exec may do anything: nothing is followed or marked.
    QStringList alone;
    const QStringList lines = script.split(u'\n');
    const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(lines, {});
    for (qsizetype k = 0; k < lines.size(); ++k)
        describe(scriptName, k, lines[k], readings[k], alone);
    QVERIFY2(std::none_of(alone.cbegin(), alone.cend(),
                 [](const QString &mark) { return mark.contains(u"exec"_s) || mark.contains(u"note"_s); }),
        qPrintable(alone.join(u'\n')));
}

// The sentences of what exec finds and what it does not.
void ServerTest::execSentences()
{
    const auto server = serverOf({ u"zz_admin.pk3|admin/mod.cfg=exec admin/more\nset scr_x 1"_s,
        u"zz_admin.pk3|admin/more.cfg=exec admin/mod"_s, u"|one.cfg=set scr_y 2"_s, u"|big.cfg=*17184"_s });
    const QStringList lines = { u"set scr_y 1"_s, u"exec one"_s, u"exec big"_s, u"exec admin/mod"_s, u"exec ../x"_s,
        u"exec missing"_s, u"set scr_x 2"_s };
    ScriptReader reader;
    reader.readOn(server);
    reader.replaceLines(0, 0, lines);
    QStringList sentences;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const ConsoleReader::Reading reading = reader.read(k, lines[k]);
        for (const ConsoleReader::Note &note : reading.notes)
            sentences << note.sentence;
        for (const ConsoleReader::Mark &mark : reading.marks)
            sentences << mark.sentence;
    }
    QCOMPARE(sentences,
        QStringList({
            u"Line 1 of one.cfg sets scr_y again; the game keeps \"2\"."_s,
            u"exec one: one.cfg, a loose file in main, 1 line"_s,
            u"The game runs none of big.cfg: it is 17,184 bytes, and exec takes 16,383."_s,
            u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 2 lines"_s,
            u"admin/mod.cfg \u2192 admin/more.cfg, exec admin/mod: An exec loop, admin/mod.cfg \u2192 admin/more.cfg "
            "\u2192 admin/mod.cfg: the game runs it round until its command buffer overflows (\"Cbuf_InsertText "
            "overflowed\")."_s,
            u"The game opens no script whose name holds \"..\": it says \"couldn't exec ../x\" and runs nothing."_s,
            u"The game finds no missing.cfg: it says \"couldn't exec missing\" and runs nothing."_s,
        }));
    const ConsoleReader::Reading inMod = reader.readReached(1, 1);
    QCOMPARE(inMod.marks.size(), 1);
    QCOMPARE(inMod.marks[0].sentence, u"Line 7 of server.cfg sets scr_x again; the game keeps \"2\"."_s);
}

// A chain 1,000 scripts deep, and one that doubles at every step: bounded, and said so.
void ServerTest::hostileExecChains()
{
    QStringList files;
    for (int k = 0; k < 1000; ++k)
        files << u"|d%1.cfg=set scr_x %1\nexec d%2"_s.arg(k).arg(k + 1);
    for (int k = 0; k < 40; ++k)
        files << u"|w%1.cfg=exec w%2\nexec w%2\nset scr_w 1"_s.arg(k).arg(k + 1);
    QElapsedTimer clock;
    clock.start();
    ScriptReader reader;
    reader.readOn(serverOf(files));
    reader.replaceLines(0, 0, { u"exec d0"_s, u"exec w0"_s, u"set scr_x 2"_s });
    const ConsoleReader::Reading deep = reader.read(0, u"exec d0"_s);
    QVERIFY(std::any_of(deep.notes.cbegin(), deep.notes.cend(), [](const ConsoleReader::Note &note) {
        return note.sentence.contains(u"follows exec no more than 64 scripts deep"_s);
    }));
    const ConsoleReader::Reading wide = reader.read(1, u"exec w0"_s);
    QVERIFY(std::any_of(wide.notes.cbegin(), wide.notes.cend(), [](const ConsoleReader::Note &note) {
        return note.sentence.contains(u"follows no more than 200,000 commands"_s);
    }));
    QVERIFY(reader.reachedScripts().size() <= ScriptReader::deepestExec + 40);
    QCOMPARE(reader.unfollowed().size(), 3); // the deep chain's last exec, and both of w0's
    // Past what is followed, anything may read scr_x: the setting stands.
    QVERIFY(reader.read(2, u"set scr_x 2"_s).marks.isEmpty());
    QVERIFY2(clock.elapsed() < 5000, qPrintable(u"%1 ms"_s.arg(clock.elapsed())));
}

void ServerTest::unreadVariables_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("modNames"); // the strings of the server's .gsc scripts
    QTest::addColumn<QString>("mark"); // what follows the mark's fixed sentence; "-" for no mark
    const QStringList mod = { u"scr_x_vote_time"_s, u"scr_x_recover_time"_s, u"scr_x_welcome"_s, u"scr_x_msg"_s };
    // Typos a person makes, and the near name the server reads.
    QTest::newRow("an engine name, one _ too many")
        << u"set g_allow_vote 1"_s << mod << u" The server reads g_allowvote."_s;
    QTest::newRow("a mod's name, one _ too few")
        << u"seta scr_x_votetime 30"_s << mod << u" The server reads scr_x_vote_time."_s;
    QTest::newRow("recover time") << u"set scr_x_recovertime 5"_s << mod << u" The server reads scr_x_recover_time."_s;
    QTest::newRow("a letter too many in a numbered name")
        << u"set scr_x_wealcome3 \"Hi\""_s << mod << u" The server reads scr_x_welcome3."_s;
    // Near names that are words of their own: marked, with nothing suggested.
    QTest::newRow("another weapon") << u"set scr_allow_mg42 1"_s << mod << QString();
    QTest::newRow("an old gametype") << u"set scr_hqt_timelimit 30"_s << mod << QString();
    QTest::newRow("a mod's gametype") << u"set scr_dem_timelimit 30"_s << mod << QString();
    // Read, in any letter case or as a name a mod builds.
    QTest::newRow("an engine name in another case") << u"set SV_HOSTNAME x"_s << mod << u"-"_s;
    QTest::newRow("a gametype added") << u"set scr_x_msg_zom 1"_s << mod << u"-"_s;
    QTest::newRow("a map added to a stock name") << u"set scr_tdm_timelimit_mp_harbor 20"_s << mod << u"-"_s;
    QTest::newRow("a number added") << u"set scr_x_welcome12 \"Bye\""_s << mod << u"-"_s;
    QTest::newRow("a map no one has") << u"set scr_tdm_timelimit_mp_nowhere 20"_s << mod << QString();
    QTest::newRow("a name the stock scripts only write")
        << u"set scr_allow_vote 0"_s << mod << u" The game's own scripts only set it."_s;
    QTest::newRow("which a mod names") << u"set scr_allow_vote 0"_s << (mod + QStringList { u"scr_allow_vote"_s })
                                       << u"-"_s;
    QTest::newRow("sets: a tag for browsers") << u"sets scr_nonsense 1"_s << mod << u"-"_s;
    QTest::newRow("run by vstr") << u"set d1 \"map mp_harbor; set nextmap vstr d2\"; set d2 x; vstr d1"_s << mod
                                 << u"-"_s;
}

void ServerTest::unreadVariables()
{
    QFETCH(QString, line);
    QFETCH(QStringList, modNames);
    QFETCH(QString, mark);
    const auto variables = std::make_shared<const VariableUse>(
        modNames, QStringList { u"zom"_s }, QStringList { u"mp_harbor"_s, u"mp_bocage"_s });
    const QList<ConsoleReader::Reading> readings = ScriptReader::readAll({ line }, {}, serverOf({}, variables));
    QStringList marks;
    for (const ConsoleReader::Mark &found : readings[0].marks) {
        if (found.problem != Problem::NothingReads)
            continue;
        const QString name = line.section(u' ', 1, 1);
        const QString fixed = u"Nothing on this server reads %1: the game keeps it, and nothing uses it."_s.arg(name);
        QVERIFY2(found.sentence.startsWith(fixed), qPrintable(found.sentence));
        marks << found.sentence.mid(fixed.size());
    }
    QCOMPARE(marks, mark == u"-" ? QStringList() : QStringList { mark });
    // Without a game folder a mod may read anything.
    const QList<ConsoleReader::Mark> alone = ScriptReader::readAll({ line }, {})[0].marks;
    QVERIFY(std::none_of(alone.cbegin(), alone.cend(),
        [](const ConsoleReader::Mark &mark) { return mark.problem == Problem::NothingReads; }));
}

void ServerTest::gscNames_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("getcvar and its kin") << QByteArray(
        "main()\n{\n\tx = getcvar(\"scr_x_a\");\n\ty = getCvarInt( \"scr_x_b\" );\n"
        "\tz = getcvarfloat(\"Scr_X_C\");\n}\n")
                                         << QStringList { u"Scr_X_C"_s, u"scr_x_a"_s, u"scr_x_b"_s };
    QTest::newRow("a name a string builds on")
        << QByteArray("for(i = 1; i < 9; i++) m = getcvar(\"scr_x_msg\" + i);") << QStringList { u"scr_x_msg"_s };
    QTest::newRow("comments hold none") << QByteArray(
        "// getcvar(\"no_a\")\n/* \"no_b\" */ x = \"yes_c\"; /* \"no_d\"\n*/ y = 4 / 2; \"yes_e\"")
                                        << QStringList { u"yes_c"_s, u"yes_e"_s };
    QTest::newRow("strings no variable could be named") << QByteArray(
        "a = \"two words\"; b = \"quote\\\"d\"; c = \"\"; d = \"12\"; e = \"&LOCALIZED\"; "
        "f = \"ok_1\";") << QStringList { u"ok_1"_s };
    QTest::newRow("a string broken by a line end")
        << QByteArray("a = \"lost\nb = \"found\";") << QStringList { u"found"_s };
    QTest::newRow("64 characters, and 65")
        << QByteArray("\"" + QByteArray(64, 'a') + "\" \"" + QByteArray(65, 'b') + "\"")
        << QStringList { QString(64, u'a') };
}

void ServerTest::gscNames()
{
    QFETCH(QByteArray, script);
    QFETCH(QStringList, names);
    // Whole, and a byte at a time as an archive might give it: the same names.
    for (const qsizetype piece : { script.size(), qsizetype(1) }) {
        GscNames reader;
        for (qsizetype at = 0; at < script.size(); at += piece)
            reader.read(QByteArrayView(script).sliced(at, std::min(piece, script.size() - at)));
        QStringList read;
        for (const QByteArray &name : reader.names())
            read << QString::fromLatin1(name);
        read.sort();
        QCOMPARE(read, names);
    }
}

TALLYFORGE_TEST_MAIN(ServerTest)
#include "tst_server.moc"
