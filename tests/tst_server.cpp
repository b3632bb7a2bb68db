// The whole server: the scripts exec runs, followed as the game runs them,
// and the variables nothing on the server reads. The server here is a few
// scripts held in memory and looked up as the game's search would; the
// folder itself, with real archives, is tst_gamefolder's.

#include "app/execscriptview.h"
#include "app/scriptcheck.h"
#include "formtest.h"
#include "gamefiles.h"
#include "gamefolder/gamefolder.h"
#include "gamefolder/gscreader.h"
#include "gamefolder/serverscripts.h"
#include "script/gametypes.h"
#include "script/execname.h"
#include "script/scriptreader.h"
#include "script/variableuse.h"
#include "testmain.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <limits>
#include <sys/resource.h>

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
    void searchOrder();
    void execFollowed_data();
    void execFollowed();
    void execSentences();
    void hostileExecChains();
    void editsReadAsNew();
    void unreadVariables_data();
    void unreadVariables();
    void modReads_data();
    void modReads();
    void wholeServer();
    void everyMarkWithinReach();
    void oneFileOneScript();
    void withoutLibZip();
    void keptInSearchOrder();
    void hostileFolder();
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

// What exec and the gametypes find among a mod folder and the game folder, each with archives and loose files.
void ServerTest::searchOrder()
{
    using Config = ServerScripts::Config;
    using GameScript = ServerScripts::GameScript;
    const QString mod = u"/srv/mymod"_s, game = u"/srv/main"_s;
    auto configs = [](const QStringList &paths) {
        QList<Config> list;
        for (const QString &path : paths)
            list << Config { path, 1, QByteArray("x") };
        return list;
    };
    auto gameScripts = [](const QStringList &paths) {
        QList<GameScript> list;
        for (const QString &path : paths)
            list << GameScript { path, {} };
        return list;
    };
    const ServerScripts scripts(
        {
            { mod, u"zz_mod.pk3"_s, false, configs({ u"admin/mod.cfg"_s }),
                gameScripts({ u"maps/mp/gametypes/zom.gsc"_s }) },
            { mod, {}, false, configs({ u"Loose.cfg"_s }), gameScripts({ u"maps/mp/gametypes/loosegt.gsc"_s }) },
            { game, u"zz_main.pk3"_s, false, configs({ u"ADMIN/MOD.CFG"_s, u"other.cfg"_s }),
                gameScripts({ u"maps/mp/gametypes/ZOM.gsc"_s, u"maps/mp/gametypes/tdm.gsc"_s }) },
            { game, u"aa.pk3"_s, false, configs({ u"mainonly.cfg"_s, u"other.cfg"_s }),
                gameScripts({ u"maps/mp/gametypes/ctfx.gsc"_s, u"maps/mp/gametypes/LooseGT.gsc"_s }) },
            { game, {}, false, configs({ u"loose.cfg"_s, u"other.cfg"_s }) },
        },
        {}, { u"tdm"_s });
    QStringList found;
    for (const QString &path : { u"admin/mod.cfg"_s, u"Admin/Mod.cfg"_s, u"Loose.cfg"_s, u"loose.cfg"_s, u"LOOSE.cfg"_s,
             u"other.cfg"_s, u"mainonly.cfg"_s }) {
        const std::optional<ScriptReader::ExecScript> script = scripts.find(path);
        found << path + u" "_s + (script ? script->file : u"-"_s);
    }
    for (const QString &word : { u"zom"_s, u"ctfx"_s, u"loosegt"_s, u"tdm"_s }) {
        const ServerScripts::Gametype *gametype = scripts.gametype(word);
        found << word + u" "_s + (gametype ? gametype->folder + u' ' + gametype->archive : u"-"_s);
    }
    QCOMPARE(found,
        QStringList({
            u"admin/mod.cfg /srv/mymod/zz_mod.pk3:admin/mod.cfg"_s, // the mod folder first
            u"Admin/Mod.cfg /srv/mymod/zz_mod.pk3:admin/mod.cfg"_s, // in an archive, any letter case
            u"Loose.cfg /srv/mymod/Loose.cfg"_s,
            u"loose.cfg /srv/main/loose.cfg"_s, // a loose file by its exact name only
            u"LOOSE.cfg -"_s,
            u"other.cfg /srv/main/zz_main.pk3:other.cfg"_s, // the first archive searched, before the loose files
            u"mainonly.cfg /srv/main/aa.pk3:mainonly.cfg"_s,
            u"zom /srv/mymod zz_mod.pk3"_s, // the first .gsc of a path in the search
            u"ctfx /srv/main aa.pk3"_s,
            u"loosegt /srv/mymod "_s, // a loose one before a later archive's
            u"tdm -"_s, // the game's own
        }));
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
    QTest::newRow("a script the start-up scripts run too: marked as the script runs it")
        << QStringList { u"|autoexec_mp.cfg=exec a"_s, u"|a.cfg=set scr_x 1"_s } << u"exec a\nset scr_x 2"_s
        << QStringList { u"server.cfg:1: note"_s, u"a.cfg:1: again set scr_x 1"_s } << scriptName;
    // 8,000 bytes fit alone, not ahead of 9,000 still waiting in the command buffer.
    const QString padding = QStringList(10, u"// "_s + QString(897, u'x')).join(u'\n');
    QTest::newRow("a nested exec behind what still waits")
        << QStringList { u"|a.cfg=exec b\n"_s + padding + u"\nexec b"_s, u"|b.cfg=*8000"_s } << u"exec a"_s
        << QStringList { u"server.cfg:1: toolarge exec a"_s, u"server.cfg:1: note"_s, u"a.cfg:1: toolarge exec b"_s,
               u"a.cfg:12: note"_s }
        << scriptName;
    QTest::newRow("an exec of the script read behind its own lines")
        << QStringList { u"|b.cfg=*8000"_s } << u"exec b\n"_s + padding + u"\nexec b"_s
        << QStringList { u"server.cfg:1: toolarge exec b"_s, u"server.cfg:12: note"_s } << scriptName;
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
    // The same server as the fuzzer over whole servers takes it: the script, then each file after "=PATH".
    QByteArray seed = script.toLatin1();
    for (const QString &file : files) {
        const QString text = file.section(u'=', 1);
        const QString name = file.section(u'=', 0, 0);
        seed += "\n=" + (name.startsWith(u'|') ? name.mid(1) : QString(name).replace(u'|', u':')).toLatin1();
        seed += '\n' + (text.startsWith(u'*') ? QByteArray(text.mid(1).toInt(), 'x') : text.toLatin1());
    }
    TestRunner::keepFuzzSeed(u"server", seed);
    auto server = serverOf(files);
    server->scriptKey = itself;
    QCOMPARE(readOnServer(script, server), found);
    // Without a game folder exec may do anything: nothing is followed, so no exec is marked or noted, and no map
    // takes its gametype from another script.
    const QStringList lines = script.split(u'\n');
    const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(lines, {});
    for (const ConsoleReader::Reading &reading : readings) {
        QVERIFY(reading.notes.isEmpty());
        for (const ConsoleReader::Mark &mark : reading.marks)
            QVERIFY(mark.problem != Problem::ExecMissing && mark.problem != Problem::ExecTooLarge
                && mark.problem != Problem::ExecLoop);
        for (const ConsoleReader::MapWord &word : reading.maps)
            QVERIFY(word.gametypeScript.isEmpty());
    }
}

// The sentences of what exec finds and what it does not.
void ServerTest::execSentences()
{
    const auto server = serverOf(
        { u"zz_admin.pk3|admin/mod.cfg=exec admin/more\nset scr_x 1"_s, u"zz_admin.pk3|admin/more.cfg=exec admin/mod"_s,
            u"|one.cfg=set scr_y 2"_s, u"|big.cfg=*17184"_s, u"|two.cfg=exec nothere"_s });
    const QStringList lines = { u"set scr_y 1"_s, u"exec one"_s, u"exec big"_s, u"exec admin/mod"_s, u"exec ../x"_s,
        u"exec missing"_s, u"exec two"_s, u"set scr_x 2"_s };
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
            u"The game runs none of big.cfg, which is 17,184 bytes: exec takes 16,383."_s,
            u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 2 lines"_s,
            u"An exec loop, admin/mod.cfg \u2192 admin/more.cfg "
            "\u2192 admin/mod.cfg: the game runs it round until its command buffer overflows (\"Cbuf_InsertText "
            "overflowed\")."_s,
            u"The game opens no script whose name holds \"..\", says \"couldn't exec ../x\" and runs nothing."_s,
            u"The game finds no missing.cfg, says \"couldn't exec missing\" and runs nothing."_s,
            u"exec two: two.cfg, a loose file in main, 1 line"_s,
            u"two.cfg execs nothere: the game finds no nothere.cfg, says \"couldn't exec nothere\" and runs nothing."_s,
        }));
    const ConsoleReader::Reading inMod = reader.readReached(1, 1);
    QCOMPARE(inMod.marks.size(), 1);
    QCOMPARE(inMod.marks[0].sentence, u"Line 8 of server.cfg sets scr_x again; the game keeps \"2\"."_s);
}

// A chain 1,000 scripts deep, and one that doubles at every step: each stops where it must and says so there,
// once, and what the read could not decide is not marked.
void ServerTest::hostileExecChains()
{
    QStringList files;
    for (int k = 0; k < 1000; ++k)
        files << u"|d%1.cfg=set scr_x %1\nexec d%2"_s.arg(k).arg(k + 1);
    for (int k = 0; k < 40; ++k)
        files << u"|w%1.cfg=exec w%2\nexec w%2\nset scr_w 1"_s.arg(k).arg(k + 1);
    ScriptReader reader;
    reader.readOn(serverOf(files, std::make_shared<const VariableUse>(QList<NamePattern>(), QList<NamePattern>(), QStringList(), QStringList())));
    const QStringList lines = { u"exec d0"_s, u"exec w0"_s, u"set scr_x 2"_s, u"set scr_nobody 1"_s };
    reader.replaceLines(0, 0, lines);
    const QList<ScriptReader::ExecScript> reached = reader.reachedScripts();
    QStringList said;
    for (const ScriptReader::Unfollowed &unfollowed : reader.unfollowed()) {
        said << u"%1:%2 %3"_s.arg(unfollowed.script < 0 ? scriptName : reached[unfollowed.script].file)
                    .arg(unfollowed.line + 1)
                    .arg(unfollowed.sentence.section(u':', 0, 0));
    }
    QCOMPARE(said.size(), 2);
    QCOMPARE(said[0], u"d63.cfg:2 Tallyforge follows exec no more than 64 scripts deep"_s);
    QVERIFY2(said[1].startsWith(u"w"_s)
            && said[1].endsWith(u" Tallyforge follows exec through no more than 200,000 commands in one read, and "
                                "stopped here"_s),
        qPrintable(said[1]));
    // Past what is followed, anything may read scr_x, and run scr_nobody with vstr: neither is marked.
    for (qsizetype k = 2; k < lines.size(); ++k)
        QVERIFY2(reader.read(k, lines[k]).marks.isEmpty(), qPrintable(lines[k]));
}

// The editor's reader after a long series of edits gives every line what a fresh read of the same text gives it.
void ServerTest::editsReadAsNew()
{
    const auto server = serverOf({ u"|a.cfg=set scr_x 3\nset g_gametype tdm"_s, u"|b.cfg=exec a\nset scr_y 1"_s,
                                     u"|big.cfg=*8000"_s, u"|loop.cfg=exec b\nexec loop"_s },
        std::make_shared<const VariableUse>(QList<NamePattern> { { { { NamePattern::Kind::Literal, u"scr_x"_s } } } },
            QList<NamePattern>(), QStringList(), QStringList { u"mp_b"_s }));
    const QStringList pool = { u"set scr_x 1"_s, u"exec a"_s, u"exec b"_s, u"set g_gametype sd"_s, u"map mp_b"_s,
        u"exec big"_s, u"set scr_y 2; exec a"_s, u"exec nothere"_s, u"vstr scr_z"_s, u"set scr_z 1"_s, u"exec loop"_s,
        u"// "_s + QString(5000, u'x'), u"// "_s + QString(9000, u'x'), u"// short"_s };
    auto described = [](const QStringList &lines, auto readingOf) {
        QStringList all;
        for (qsizetype k = 0; k < lines.size(); ++k) {
            const ConsoleReader::Reading reading = readingOf(k);
            for (const ConsoleReader::Mark &mark : reading.marks)
                all << u"%1:%2+%3 %4"_s.arg(k).arg(mark.span.start).arg(mark.span.length).arg(mark.sentence);
            for (const ConsoleReader::Note &note : reading.notes)
                all << u"%1:%2 note %3"_s.arg(k).arg(note.span.start).arg(note.sentence);
            for (const ConsoleReader::MapWord &word : reading.maps)
                all << u"%1: map %2 %3"_s.arg(k).arg(word.name, word.gametype);
        }
        return all;
    };
    ScriptReader reader;
    reader.readOn(server);
    QStringList lines;
    quint32 state = 40;
    auto next = [&state](quint32 below) { return (state = state * 1103515245u + 12345u) / 65536u % below; };
    for (int edit = 0; edit < 300; ++edit) {
        const qsizetype first = next(quint32(lines.size()) + 1);
        // Mostly one line for another, as typing does; else lines come and go.
        const bool typing = edit % 3 != 0 && first < lines.size();
        const qsizetype count = typing ? 1 : next(quint32(std::min<qsizetype>(3, lines.size() - first)) + 1);
        QStringList added;
        for (qsizetype k = typing ? 1 : next(4); k > 0; --k)
            added << pool[next(quint32(pool.size()))];
        reader.replaceLines(first, count, added);
        lines.remove(first, count);
        for (qsizetype k = 0; k < added.size(); ++k)
            lines.insert(first + k, added[k]);
        const QList<ConsoleReader::Reading> fresh = ScriptReader::readAll(lines, {}, server);
        QCOMPARE(described(lines, [&](qsizetype k) { return reader.read(k, lines[k]); }),
            described(lines, [&](qsizetype k) { return fresh[k]; }));
    }
}

namespace {

// A pattern as the tests write it: literal text, with {number}, {word}, {gametype} and {map} for the parts
// only the server or the game knows.
NamePattern patternOf(const QString &text)
{
    using Kind = NamePattern::Kind;
    static const QHash<QString, Kind> kinds { { u"number"_s, Kind::Number }, { u"word"_s, Kind::Word },
        { u"gametype"_s, Kind::Gametype }, { u"map"_s, Kind::Map } };
    NamePattern pattern;
    for (const QString &piece : text.split(u'{')) {
        const qsizetype close = piece.indexOf(u'}');
        if (close > 0)
            pattern.parts.append({ kinds.value(piece.left(close)) });
        if (close + 1 < piece.size())
            pattern.parts.append({ Kind::Literal, piece.mid(close + 1).toLower() });
    }
    return pattern;
}

} // namespace

void ServerTest::unreadVariables_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("modReads"); // what the server's .gsc scripts read, as patternOf() takes it
    QTest::addColumn<QString>("mark"); // what follows the mark's fixed sentence; "-" for no mark
    const QStringList mod = { u"scr_x_vote_time"_s, u"scr_x_recover_time"_s, u"scr_x_welcome{number}"_s,
        u"scr_x_msg_{gametype}"_s, u"scr_{gametype}_timelimit_{map}"_s };
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
    QTest::newRow("a gametype and a map") << u"set scr_tdm_timelimit_mp_harbor 20"_s << mod << u"-"_s;
    QTest::newRow("a number added") << u"set scr_x_welcome12 \"Bye\""_s << mod << u"-"_s;
    QTest::newRow("a map no one has") << u"set scr_tdm_timelimit_mp_nowhere 20"_s << mod << QString();
    QTest::newRow("the first piece alone") << u"set scr_x_welcome \"Hi\""_s << mod << QString();
    QTest::newRow("a name the stock scripts only write")
        << u"set scr_allow_vote 0"_s << mod << u" The game's own scripts only set it."_s;
    QTest::newRow("which a mod reads") << u"set scr_allow_vote 0"_s << (mod + QStringList { u"scr_allow_vote"_s })
                                       << u"-"_s;
    QTest::newRow("sets: a tag for browsers") << u"sets scr_nonsense 1"_s << mod << u"-"_s;
    QTest::newRow("run by vstr") << u"set d1 \"map mp_harbor; set nextmap vstr d2\"; set d2 x; vstr d1"_s << mod
                                 << u"-"_s;
}

void ServerTest::unreadVariables()
{
    QFETCH(QString, line);
    QFETCH(QStringList, modReads);
    QFETCH(QString, mark);
    QList<NamePattern> reads;
    for (const QString &read : std::as_const(modReads))
        reads << patternOf(read);
    const auto variables = std::make_shared<const VariableUse>(reads, QList<NamePattern>(),
        Gametypes::words() + QStringList { u"zom"_s }, QStringList { u"mp_harbor"_s, u"mp_bocage"_s });
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

// Each way a mod reads a variable, by the smallest script that shows it: a setting it reads is not marked,
// and a fault beside it still is.
void ServerTest::modReads_data()
{
    QTest::addColumn<QStringList>("gameScripts"); // "PATH=TEXT"
    QTest::addColumn<QString>("script"); // the server's
    QTest::addColumn<QStringList>("marked"); // the names marked, with "(set)" where the mod only sets it
    QTest::addColumn<int>("unfollowed"); // game scripts not followed whole
    const QString joinVar = u"admin/utils.gsc=joinVar(prefix, name, type)\n{\n"
                            "\tif (getsubstr(prefix, prefix.size - 1) != \"_\")\n\t\tprefix += \"_\";\n"
                            "\tif (type == \"int\")\n\t\treturn getcvarint(prefix + name);\n"
                            "\treturn getcvar(prefix + name);\n}\n"_s;
    const QString caller = u"maps/mp/gametypes/_rules.gsc=#include admin\\utils;\n"
                           "init()\n{\n\tlevel.swap = admin\\utils::joinVar(\"scr\", \"swapsides\", \"int\");\n"
                           "\tlevel.shot = joinVar(\"scr_\", \"oneshot\");\n}\n"_s;
    QTest::newRow("a helper joins a prefix and a name: read")
        << QStringList { joinVar, caller } << u"set scr_swapsides 1\nset scr_oneshot 1"_s << QStringList() << 0;
    QTest::newRow("a helper joins a prefix and a name: a typo")
        << QStringList { joinVar, caller } << u"set scr_swapside 1\nset scr_one_shot 1"_s
        << QStringList { u"scr_swapside"_s, u"scr_one_shot"_s } << 0;

    const QString options = u"x/opt.gsc=init()\n{\n\tlevel.gt = tolower(getcvar(\"g_gametype\"));\n"
                            "\tlevel.map = getcvar(\"mapname\");\n\tlevel.drops = optVar(\"scr\", \"nodrops\", 3);\n}\n"
                            "optVar(prefix, name, bits)\n{\n\tif (bits & 1) {\n"
                            "\t\tv = getcvar(prefix + \"_\" + level.gt + \"_\" + name);\n"
                            "\t\tif (v != \"\") return v;\n\t}\n"
                            "\tif (bits & 2) {\n\t\tv = getcvar(prefix + \"_\" + name + \"_\" + level.map);\n"
                            "\t\tif (v != \"\") return v;\n\t}\n\treturn getcvar(prefix + \"_\" + name);\n}\n"_s;
    QTest::newRow("option bits: a gametype or a map: read")
        << QStringList { options } << u"set scr_sd_nodrops 1\nset scr_nodrops_mp_harbor 1\nset scr_nodrops 0"_s
        << QStringList() << 0;
    QTest::newRow("option bits: no such gametype or map")
        << QStringList { options } << u"set scr_zz_nodrops 1\nset scr_nodrops_mp_nowhere 1"_s
        << QStringList { u"scr_zz_nodrops"_s, u"scr_nodrops_mp_nowhere"_s } << 0;

    const QString groups = u"x/groups.gsc=users()\n{\n\tgroups = [];\n\tgroups[groups.size] = \"admin\";\n"
                           "\tgroups[groups.size] = \"mod\";\n\tfor (i = 0; i < groups.size; i++) {\n"
                           "\t\tgroup = groups[i];\n\t\tlevel.users[group] = getcvar(\"scr_x_users_\" + group);\n"
                           "\t}\n}\n"_s;
    QTest::newRow("a loop over literals: read")
        << QStringList { groups } << u"set scr_x_users_admin a\nset scr_x_users_mod b"_s << QStringList() << 0;
    QTest::newRow("a loop over literals: none of them")
        << QStringList { groups } << u"set scr_x_users_guest c"_s << QStringList { u"scr_x_users_guest"_s } << 0;

    const QString cycle = u"x/cycle.gsc=cycle()\n{\n\tfor (i = 1; getcvar(\"cycle_\" + i) != \"\"; i++)\n"
                          "\t\twait .5;\n\tmsg = varOr(\"scr_x_welcome\" + i, \"Hi\");\n}\n"
                          "varOr(name, fallback)\n{\n\tif (getcvar(name) == \"\")\n\t\treturn fallback;\n"
                          "\treturn getcvar(name);\n}\n"_s;
    QTest::newRow("a counter, and a whole name given to a helper: read")
        << QStringList { cycle } << u"set cycle_1 a\nset cycle_12 b\nset scr_x_welcome2 Hi"_s << QStringList() << 0;
    QTest::newRow("a counter: the first piece alone is not read")
        << QStringList { cycle } << u"set cycle_ a\nset cycle_x b\nset scr_x_welcome Hi"_s
        << QStringList { u"cycle_"_s, u"cycle_x"_s, u"scr_x_welcome"_s } << 0;

    const QString fromValues = u"x/values.gsc=show()\n{\n\tlist = strtok(getcvar(\"scr_x_show\"), \" \");\n"
                               "\tfor (i = 0; i < list.size; i++)\n\t\tiprintln(getcvar(getsubstr(list[i], 1)));\n"
                               "\tgroups = strtok(getcvar(\"scr_x_groups\"), \";\");\n"
                               "\tfor (i = 0; i < groups.size; i++)\n"
                               "\t\tlevel.pw[i] = getcvar(\"scr_x_pw_\" + groups[i]);\n}\n"_s;
    QTest::newRow("names from values: read")
        << QStringList { fromValues }
        << u"set scr_x_show \"&sv_x_motd &scr_x_rules\"\nset scr_x_rules \"Be nice\"\n"
           "set scr_x_groups \"admin;mod\"\nset scr_x_pw_admin a\nset scr_x_pw_mod b"_s
        << QStringList() << 0;
    QTest::newRow("names from values: a name no value holds")
        << QStringList { fromValues } << u"set scr_x_show \"&scr_x_rules\"\nset scr_x_news 1\nset scr_x_pw_guest c"_s
        << QStringList { u"scr_x_news"_s, u"scr_x_pw_guest"_s } << 0;

    const QString writes = u"x/state.gsc=main()\n{\n\tsetcvar(\"scr_x_state\", \"1\");\n"
                           "\tsetcvar(\"scr_x_round\", 1);\n\tr = getcvarint(\"scr_x_round\");\n}\n"_s;
    QTest::newRow("written and read") << QStringList { writes } << u"set scr_x_round 3"_s << QStringList() << 0;
    QTest::newRow("only written") << QStringList { writes } << u"set scr_x_state 1"_s
                                  << QStringList { u"scr_x_state (set)"_s } << 0;

    const QString broken = u"x/broken.gsc=main()\n{\n\tx = getcvar(\"scr_x_odd\" + ;\n}\n"_s;
    const QString pointer = u"x/pointer.gsc=main()\n{\n\t[[level.reader]](\"scr_x_cb\");\n"
                            "\tself [[level.hook]](self, 3);\n}\n"_s;
    QTest::newRow("not followed: what it could build is not marked")
        << QStringList { broken, pointer } << u"set scr_x_odd_thing 1\nset scr_x_cb_more 1"_s << QStringList() << 2;
    QTest::newRow("not followed: a name it could not build")
        << QStringList { broken, pointer } << u"set scr_y 1"_s << QStringList { u"scr_y"_s } << 2;
}

void ServerTest::modReads()
{
    QFETCH(QStringList, gameScripts);
    QFETCH(QString, script);
    QFETCH(QStringList, marked);
    QFETCH(int, unfollowed);
    ServerScripts::Place place { u"/server/main"_s };
    for (const QString &file : std::as_const(gameScripts)) {
        const QByteArray text = file.section(u'=', 1).toLatin1();
        TestRunner::keepFuzzSeed(u"gscreader", text);
        // Whole, and a byte at a time as an archive might give it: the same.
        GscReader whole, bytes;
        whole.read(text);
        for (const char c : text)
            bytes.read(QByteArrayView(&c, 1));
        place.gameScripts.append({ file.section(u'=', 0, 0), whole.finish() });
        QVERIFY(bytes.finish() == place.gameScripts.constLast().script);
    }
    const ServerScripts scripts({ place }, { u"mp_harbor"_s }, Gametypes::words());
    QCOMPARE(scripts.unfollowed().size(), unfollowed);
    QVERIFY(scripts.variables());
    const QStringList lines = script.split(u'\n');
    const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(lines, {}, serverOf({}, scripts.variables()));
    QStringList found;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        for (const ConsoleReader::Mark &mark : readings[k].marks) {
            QCOMPARE(mark.problem, Problem::NothingReads);
            found << lines[k].section(u' ', 1, 1)
                    + (mark.sentence.endsWith(u"The server's game scripts only set it."_s) ? u" (set)"_s : QString());
        }
    }
    QCOMPARE(found, marked);
}

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

// A server's folder as the game searches it, with real archives: --check and
// the editor follow exec into the script the search finds first, know the
// mod's gametype, and mark what nothing reads; the game's own archives'
// scripts stand for the stock scripts, whose names are the project's table.
void ServerTest::wholeServer()
{
    QTemporaryDir server;
    const QDir main(server.filePath(u"main"_s));
    QVERIFY(main.mkpath(u"."_s));
    const QByteArray harbor
        = GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s, u"mp_teamdeathmatch_spawn"_s }));
    QVERIFY(GameFiles::writeArchive(main.filePath(u"pak0.pk3"_s),
        { { u"maps/mp/mp_harbor.bsp"_s, harbor },
            { u"maps/mp/gametypes/tdm.gsc"_s, "main() { x = getcvar(\"scr_from_stock\"); }" } }));
    QVERIFY(GameFiles::writeArchive(main.filePath(u"zz_admin.pk3"_s),
        { { u"admin/mod.cfg"_s, "set scr_x_vote_time 45\r\nset scr_x_votetime 20\r\n" },
            { u"maps/mp/gametypes/_admin.gsc"_s, "main() { t = getcvarint(\"scr_x_vote_time\"); }" } }));
    // Searched after zz_admin.pk3, and the loose file after both: neither runs.
    QVERIFY(GameFiles::writeArchive(main.filePath(u"aa_admin.pk3"_s), { { u"ADMIN/MOD.CFG"_s, "set scr_aa 1" } }));
    writeFile(main.filePath(u"admin/mod.cfg"_s), "set scr_loose 1\n");
    QVERIFY(GameFiles::writeArchive(
        main.filePath(u"zz_zombies.pk3"_s), { { u"maps/mp/gametypes/zom.gsc"_s, "main() {}" } }));
    writeFile(main.filePath(u"extra.cfg"_s), "exec server\n");
    const QByteArray script = "set g_allow_vote 1\n"
                              "set scr_from_stock 1\n"
                              "set scr_x_vote_time 30\n"
                              "exec admin/mod\n"
                              "set g_gametype zom\n"
                              "set sv_mapRotation \"gametype zom map mp_harbor gametype ctf map mp_harbor\"\n"
                              "exec extra\n";
    writeFile(main.filePath(u"server.cfg"_s), script);

    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(server.path()));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const ScriptCheck::ExitCode code = ScriptCheck::run({ u"main/server.cfg"_s }, outStream, errStream);
    // Named twice, and reached from another named script too, a mark is said once.
    QString again, againErr;
    QTextStream againStream(&again), againErrStream(&againErr);
    ScriptCheck::run({ u"main/server.cfg"_s, u"main/extra.cfg"_s, u"main/server.cfg"_s }, againStream, againErrStream);
    QVERIFY(QDir::setCurrent(workingFolder));
    QCOMPARE(again.split(u'\n').filter(u"admin/mod.cfg:2:1: "_s).size(), 1);
    QCOMPARE(again.split(u'\n').filter(u"main/server.cfg:1:1: "_s).size(), 1);
    const QString loop
        = u"An exec loop, server.cfg \u2192 extra.cfg \u2192 server.cfg: the game runs it round until its "
          "command buffer overflows (\"Cbuf_InsertText overflowed\")."_s;
    QCOMPARE(out.split(u'\n'),
        QStringList({
            u"main/server.cfg:1:1: Nothing on this server reads g_allow_vote: the game keeps it, and nothing uses it. "
            "The server reads g_allowvote."_s,
            u"main/server.cfg:2:1: Nothing on this server reads scr_from_stock: the game keeps it, and nothing uses it."_s,
            u"main/server.cfg:3:1: Line 1 of admin/mod.cfg sets scr_x_vote_time again; the game keeps \"45\"."_s,
            u"main/server.cfg:6:57: No script on this server provides the gametype ctf: the game says \"g_gametype ctf "
            "is not a valid gametype, defaulting to dm\" and plays dm."_s,
            u"main/server.cfg:7:1: "_s + loop,
            u"main/zz_admin.pk3:admin/mod.cfg:2:1: Nothing on this server reads scr_x_votetime: the game keeps it, and "
            "nothing uses it. The server reads scr_x_vote_time."_s,
            u"main/extra.cfg:1:1: "_s + loop,
            QString(),
        }));
    QCOMPARE(code, ScriptCheck::Marked);
    QVERIFY2(err.count(u'\n') == 1, qPrintable(err)); // the folder read, and nothing it could not read

    // The editor reads the folder's scripts with its maps, off the GUI thread, and says what each exec finds.
    TForm1 form;
    FormTest::showWindow(form);
    QVERIFY(form.openScript(main.filePath(u"server.cfg"_s)));
    auto *page = form.findChild<EditorPage *>();
    auto noteOn = [&](int line, int column) {
        QTextCursor cursor(form.editor()->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        form.editor()->setTextCursor(cursor);
        return page->note();
    };
    QTRY_COMPARE(noteOn(3, 2), u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 2 lines, 1 mark"_s);
    // A key of the user's own ends Open's result in the status bar: the exec's note takes its place.
    QTest::keyClick(form.editor(), Qt::Key_End);
    QCOMPARE(form.statusBar()->currentMessage(), u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 2 lines, 1 mark"_s);
    QCOMPARE(noteOn(4, 16), u"zom, from zz_zombies.pk3"_s);
    QCOMPARE(noteOn(6, 3), loop);
    QVERIFY(noteOn(0, 3).startsWith(u"Nothing on this server reads g_allow_vote"_s));
    // Typing the near name the mark suggests takes the mark away.
    QTextCursor cursor(form.editor()->document()->findBlockByNumber(0));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 11);
    cursor.deleteChar();
    form.editor()->setTextCursor(cursor);
    QCOMPARE(page->note(), QString());
}

// The marks of a script and of the script it execs, reached from the keyboard
// in a shown window: the exec line counts the exec'd script's marks, F8 and
// Shift+F8 step through the editor's, the Problems list holds all of them in
// the order the game runs them and follows typing, Enter goes to a mark in the
// editor or in the exec'd script opened read-only, and saving the script
// elsewhere keeps it checked against the folder.
void ServerTest::everyMarkWithinReach()
{
    QTemporaryDir server;
    const QDir main(server.filePath(u"main"_s));
    QVERIFY(main.mkpath(u"."_s));
    QVERIFY(GameFiles::writeArchive(main.filePath(u"zz_admin.pk3"_s),
        { { u"admin/mod.cfg"_s, "set sv_maxclients 4\nset sv_maxclients 8\nmap mp_nowhere\n" } }));
    writeFile(main.filePath(u"server.cfg"_s), "exec admin/mod\nset sv_hostname a\nset sv_hostname b\nmap mp_gone\n");
    TForm1 form;
    FormTest::showWindow(form);
    QVERIFY(form.openScript(main.filePath(u"server.cfg"_s)));
    auto *page = form.findChild<EditorPage *>();
    QPlainTextEdit *editor = form.editor();
    auto at
        = [editor] { return std::pair(editor->textCursor().blockNumber(), editor->textCursor().positionInBlock()); };
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    QTRY_COMPARE(page->note(), u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 3 lines, 2 marks"_s);

    for (const auto &[key, modifiers, line, column] :
        { std::tuple { Qt::Key_F8, Qt::NoModifier, 1, 0 }, { Qt::Key_F8, Qt::NoModifier, 3, 4 },
            { Qt::Key_F8, Qt::NoModifier, 1, 0 }, { Qt::Key_F8, Qt::ShiftModifier, 3, 4 } }) {
        QTest::keyClick(editor, key, modifiers);
        QCOMPARE(at(), std::pair(line, column));
    }

    QTest::keyClick(editor, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    QTreeView *list = nullptr;
    QTRY_VERIFY((list = form.findChild<QTreeView *>(u"ProblemsList"_s)) && list->hasFocus());
    auto rows = [list] {
        QStringList read;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            read << list->model()->index(row, 0).data().toString() + u':'
                    + list->model()->index(row, 1).data().toString() + u' '
                    + list->model()->index(row, 2).data().toString().section(u':', 0, 0);
        }
        return read;
    };
    const QStringList marked {
        u"admin/mod.cfg (zz_admin.pk3):1 Line 2 sets sv_maxclients again; the game keeps \"8\"."_s,
        u"admin/mod.cfg (zz_admin.pk3):3 The game folder has no map mp_nowhere"_s,
        u"server.cfg:2 Line 3 sets sv_hostname again; the game keeps \"b\"."_s,
        u"server.cfg:4 The game folder has no map mp_gone"_s
    };
    QCOMPARE(rows(), marked);

    // Enter on a mark of the exec'd script opens it, read-only, at the mark's line.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    auto *view = form.findChild<ExecScriptView *>();
    QTRY_VERIFY(view && view->isVisible());
    QCOMPARE(view->place(),
        u"admin/mod.cfg in zz_admin.pk3 in main, as an exec of the script runs it, read-only: 3 lines, 2 marks."_s);
    auto *text = view->findChild<QPlainTextEdit *>();
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->textCursor().block().text(), u"map mp_nowhere"_s);
    QVERIFY(
        view->findChild<QLabel *>(u"ExecScriptMark"_s)->text().startsWith(u"The game folder has no map mp_nowhere"_s));
    view->close();

    // Enter on a mark of the script goes there in the editor.
    list->window()->activateWindow();
    QTRY_VERIFY(list->window()->isActiveWindow());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(at(), std::pair(1, 0));
    // The list follows typing: a comment takes the mark of the line it makes pointless away.
    QTest::keyClick(editor, Qt::Key_Down);
    QTest::keyClicks(editor, u"//"_s);
    QTRY_COMPARE(rows(), QStringList({ marked[0], marked[1], marked[3] }));

    // F12 on the exec line opens the script it runs.
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_F12);
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(view->findChild<QPlainTextEdit *>()->textCursor().blockNumber(), 0);
    view->close();

    // Saved where no game folder is, the script is still checked against the one it was.
    QTemporaryDir elsewhere;
    QVERIFY(form.saveTo(elsewhere.filePath(u"copy.cfg"_s)));
    QCOMPARE(form.statusBar()->currentMessage(),
        u"Saved %1."_s.arg(QDir::toNativeSeparators(elsewhere.filePath(u"copy.cfg"_s))));
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    QTRY_COMPARE(page->note(), u"exec admin/mod: admin/mod.cfg from zz_admin.pk3, 3 lines, 2 marks"_s);
    QVERIFY(form.statusBar()->findChild<QLabel *>(u"gameFolderNote"_s)->isVisible());
    // Opened there, it is not, and the status bar says so.
    QVERIFY(form.openScript(elsewhere.filePath(u"copy.cfg"_s)));
    QVERIFY2(form.statusBar()->currentMessage().endsWith(
                 u"The script is no longer checked against a game folder: %1 stands in none; File > Game Folder "
                 "chooses one."_s.arg(QDir::toNativeSeparators(elsewhere.path()))),
        qPrintable(form.statusBar()->currentMessage()));
}

// A folder named through a link, and a script that is a link to another: each file is one script.
void ServerTest::oneFileOneScript()
{
    QTemporaryDir root;
    const QDir main(root.filePath(u"real/main"_s));
    QVERIFY(main.mkpath(u"maps/mp"_s));
    writeFile(main.filePath(u"server.cfg"_s), "exec one\nexec two\nexec a\n");
    writeFile(main.filePath(u"a.cfg"_s), "exec server\n");
    writeFile(main.filePath(u"one.cfg"_s), "set sv_hostname one\n");
    QVERIFY(QFile::link(u"one.cfg"_s, main.filePath(u"two.cfg"_s)));
    QVERIFY(QFile::link(main.path(), root.filePath(u"link"_s)));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ScriptCheck::run({ main.filePath(u"server.cfg"_s) }, outStream, errStream, { root.filePath(u"link"_s) });
    // one.cfg's line runs twice, and the second run stands; the loop goes through the script itself.
    const QString loop = u"An exec loop, server.cfg \u2192 a.cfg \u2192 server.cfg"_s;
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(main.filePath(u"server.cfg:3:1: "_s) + loop), qPrintable(out));
    QVERIFY2(lines[1].contains(u"a.cfg:1:1: "_s + loop), qPrintable(out));
}

// Without libzip no archive is read: --check says so, naming the library, marks nothing the archives could
// decide, and exits as for a file it cannot read.
void ServerTest::withoutLibZip()
{
    QTemporaryDir root;
    const QDir main(root.filePath(u"main"_s));
    QVERIFY(main.mkpath(u"."_s));
    QVERIFY(GameFiles::writeArchive(main.filePath(u"pak0.pk3"_s),
        { { u"maps/mp/mp_harbor.bsp"_s, GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s })) },
            { u"admin/mod.cfg"_s, "set scr_x 1\n" } }));
    writeFile(main.filePath(u"server.cfg"_s), "exec admin/mod\nset scr_nobody 1\nmap mp_harbor\n");
    // A file of the library's name that is none, found first.
    QVERIFY(QDir(root.path()).mkpath(u"lib"_s));
    const QString library = QStringLiteral(TALLYFORGE_LIBZIP_SONAME);
    writeFile(root.filePath(u"lib/"_s + library), "not a library");
    QProcess check;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LD_LIBRARY_PATH"_s, root.filePath(u"lib"_s));
    check.setProcessEnvironment(environment);
    check.start(QStringLiteral(TALLYFORGE_EXECUTABLE), { u"--check"_s, main.filePath(u"server.cfg"_s) });
    QVERIFY(check.waitForFinished(30'000));
    const QString err = QString::fromLocal8Bit(check.readAllStandardError());
    QCOMPARE(QString::fromLocal8Bit(check.readAllStandardOutput()), QString());
    QVERIFY2(
        err.contains(u"pak0.pk3: left unread: libzip cannot be loaded"_s) && err.contains(library), qPrintable(err));
    QCOMPARE(check.exitCode(), int(ScriptCheck::Unreadable));
}

// Two archives whose scripts together hold more text than a folder keeps: the one searched first keeps all of its
// own, the other loses its last, every time the folder is read.
void ServerTest::keptInSearchOrder()
{
    QTemporaryDir main;
    const QByteArray padding = "// " + QByteArray(15'990, 'x') + "\n";
    const int perArchive = 2100; // 2 x 2,100 x 16 KB: past 64 MiB
    for (const QString &archive : { u"aa"_s, u"zz"_s }) {
        QList<GameFiles::Entry> entries;
        for (int k = 0; k < perArchive; ++k)
            entries << GameFiles::Entry { u"%1/c%2.cfg"_s.arg(archive).arg(k),
                "set scr_k " + QByteArray::number(k) + "\n" + padding };
        QVERIFY(GameFiles::writeArchive(main.filePath(archive + u".pk3"_s), entries));
    }
    QStringList firstKept;
    for (int read = 0; read < 3; ++read) {
        const GameFolder::Contents contents = GameFolder::read(main.path(), GameFolder::Detail::Names);
        QStringList kept, notes;
        for (const QString &archive : { u"zz"_s, u"aa"_s }) {
            int count = 0;
            for (int k = 0; k < perArchive; ++k)
                count += contents.scripts->find(u"%1/c%2.cfg"_s.arg(archive).arg(k))->kept;
            kept << u"%1 %2"_s.arg(archive).arg(count);
        }
        for (const GameFolder::Note &note : contents.notes)
            notes << note.file + u": "_s + describe(note.trouble).section(u':', 0, 0);
        QCOMPARE(kept.constFirst(), u"zz %1"_s.arg(perArchive));
        QVERIFY2(kept.constLast() != u"aa %1"_s.arg(perArchive), qPrintable(kept.join(u", "_s)));
        QCOMPARE(notes.size(), 1);
        QVERIFY2(notes[0].startsWith(u"aa.pk3: aa/c"_s), qPrintable(notes[0]));
        if (read == 0)
            firstKept = kept;
        QCOMPARE(kept, firstKept);
    }
}

// A game script of 100 MB with more names than are kept, more game scripts
// than the folder keeps the names of, binary noise, a script too large for
// exec and a chain of a thousand: read within bounds of time and memory, each
// said where it stands.
void ServerTest::hostileFolder()
{
    QTemporaryDir server;
    const QDir main(server.path());
    QByteArray names;
    for (int k = 0; names.size() < (2 << 20); ++k)
        names += "\"scr_n" + QByteArray::number(k) + "\" ";
    // One script of 100 MB, and more whose longest names are more than the folder keeps in all.
    QList<GameFiles::Entry> entries { { u"maps/mp/gametypes/many.gsc"_s, names, (100 << 20) - names.size() } };
    QByteArray longNames;
    for (int k = 0; k < GscLexer::mostStrings; ++k)
        longNames += "\"scr_" + QByteArray::number(k).rightJustified(60, '0') + "\"\n";
    for (int k = 0; k < 17; ++k)
        entries << GameFiles::Entry { u"more/m%1.gsc"_s.arg(k), longNames };
    QVERIFY(GameFiles::writeArchive(main.filePath(u"zz_noise.pk3"_s), entries));
    QByteArray noise(64 << 10, Qt::Uninitialized);
    quint32 state = 7;
    for (char &c : noise)
        c = char((state = state * 1103515245u + 12345u) >> 24);
    writeFile(main.filePath(u"noise.cfg"_s), noise.left(16000));
    writeFile(main.filePath(u"noise.gsc"_s), noise);
    QFile huge(main.filePath(u"huge.cfg"_s));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(100 << 20));
    huge.close();
    for (int k = 0; k < 1000; ++k)
        writeFile(main.filePath(u"chain/d%1.cfg"_s.arg(k)), "exec chain/d" + QByteArray::number(k + 1) + "\n");
    writeFile(main.filePath(u"server.cfg"_s), "exec chain/d0\nexec huge\nexec noise\nset scr_nobody_reads 1\n");

    QElapsedTimer clock;
    clock.start();
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ScriptCheck::run({ main.filePath(u"server.cfg"_s) }, outStream, errStream);
    const qint64 ms = clock.elapsed();
    QVERIFY2(
        out.contains(u"server.cfg:2:1: The game runs none of huge.cfg, which is 104,857,600 bytes"_s), qPrintable(out));
    QVERIFY2(err.contains(u"maps/mp/gametypes/many.gsc: it holds over 65536 names"_s), qPrintable(err));
    QVERIFY2(err.contains(u"follows exec no more than 64 scripts deep"_s), qPrintable(err));
    QVERIFY2(err.contains(u"the folder's scripts hold over 64 MiB of text and names"_s), qPrintable(err));
    // With a script's names not all read, nothing is said of what the server reads.
    QVERIFY2(!out.contains(u"scr_nobody_reads"_s), qPrintable(out));
    QVERIFY2(ms < 20'000, qPrintable(u"%1 ms"_s.arg(ms)));
    QVERIFY2(GameFiles::peakResidentMiB() < GameFiles::mostResidentMiB,
        qPrintable(u"%1 MiB"_s.arg(GameFiles::peakResidentMiB())));
}

TALLYFORGE_TEST_MAIN(ServerTest)
#include "tst_server.moc"
