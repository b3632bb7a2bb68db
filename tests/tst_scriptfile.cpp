// Reading a script file: its lines and every byte of it, and each kind of
// input that is not a script, with real files, a real FIFO and device, and a
// child process that runs as nobody. Then `tallyforge --check`, run as the
// real program with no display.

#include "app/cfgfile.h"
#include "script/scriptfile.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    TestRunner::keepFuzzSeed(u"script", bytes);
}

// `count` bytes of lines, each ended by CR LF.
QByteArray linesOf(qint64 count)
{
    QByteArray bytes;
    while (bytes.size() < count)
        bytes += "set sv_hostname \"line " + QByteArray::number(bytes.size()) + "\"\r\n";
    bytes.truncate(count - 2);
    return bytes + "\r\n";
}

// Loads `path` in a child process that runs as nobody:nogroup; returns its error.
QString loadAsNobody(const QString &path)
{
    const passwd *nobody = getpwnam("nobody");
    const group *nogroup = getgrnam("nogroup");
    if (!nobody || !nogroup)
        return u"<no account nobody:nogroup>"_s;
    // The child runs from a copy that nobody may execute, wherever the build is.
    QTemporaryDir place;
    ::chmod(QFile::encodeName(place.path()).constData(), 0755);
    const QString executable = place.filePath(u"loader"_s);
    QFile::copy(QCoreApplication::applicationFilePath(), executable);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nogroup->gr_gid;
    child.setChildProcessModifier([uid, gid] {
        if (setgroups(1, &gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            _exit(3);
    });
    child.start(executable, { TestRunner::current(), u"--load-child"_s, path });
    if (!child.waitForFinished(30000))
        return u"<child did not finish>"_s;
    return QString::fromUtf8(child.readAllStandardOutput());
}

int loadChild(const char *path)
{
    const ScriptFile::Loaded loaded = ScriptFile::load(QString::fromLocal8Bit(path));
    std::fputs(loaded.ok() ? "read" : loaded.error.toUtf8().constData(), stdout);
    return 0;
}

} // namespace

class ScriptFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsLines_data();
    void readsLines();
    void savesBackEveryByte();
    void refusesWhatIsNotAScript_data();
    void refusesWhatIsNotAScript();
    void checksFromTheCommandLine_data();
    void checksFromTheCommandLine();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void ScriptFileTest::readsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("no final break") << QByteArray("a") << QStringList { u"a"_s };
    QTest::newRow("only a break") << QByteArray("\r\n") << QStringList { QString() };
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList { u"a"_s, u"b"_s };
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList { u"a"_s, u"b"_s };
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList { u"a"_s, u"b"_s };
    QTest::newRow("mixed, blank lines kept")
        << QByteArray("a\r\n\n\r\rb\n\rc") << QStringList { u"a"_s, {}, {}, {}, u"b"_s, {}, u"c"_s };
    QTest::newRow("Windows-1252") << QByteArray("caf\xe9 \x80 \x9f\xff")
                                  << QStringList { u"caf\u00e9 \u20ac \u0178\u00ff"_s };
    const QByteArray largest = linesOf(ScriptFile::largestBytes);
    QTest::newRow("1 MiB, the largest") << largest << QString::fromLatin1(largest.chopped(2)).split(u"\r\n"_s);
}

void ScriptFileTest::readsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    writeFile(path(u"lines.cfg"_s), bytes);
    const ScriptFile::Loaded loaded = ScriptFile::load(path(u"lines.cfg"_s));
    QCOMPARE(loaded.error, QString());
    QCOMPARE(loaded.lines, lines);
    QCOMPARE(loaded.endsWithLineBreak(), bytes.endsWith('\n') || bytes.endsWith('\r'));
}

// Read and saved straight back, a file gives every byte as it was but its
// line breaks, the five Windows-1252 leaves undefined too.
void ScriptFileTest::savesBackEveryByte()
{
    QByteArray bytes, saved;
    const char *breaks[] = { "\r\n", "\n", "\r" };
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n')
            continue;
        bytes += char(byte);
        saved += char(byte);
        if (byte % 16 == 0) {
            bytes += breaks[byte / 16 % 3];
            saved += "\r\n";
        }
    }
    writeFile(path(u"bytes.cfg"_s), bytes);
    const ScriptFile::Loaded loaded = ScriptFile::load(path(u"bytes.cfg"_s));
    QCOMPARE(loaded.error, QString());
    const QString text = loaded.lines.join(u'\n') + (loaded.endsWithLineBreak() ? u"\n"_s : QString());
    QCOMPARE(CfgFile::encode(text), saved);
}

void ScriptFileTest::refusesWhatIsNotAScript_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("asNobody");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << path(u"missing.cfg"_s) << false << u"No such file or directory"_s;
    QDir(m_dir.path()).mkdir(u"folder.cfg"_s);
    QTest::newRow("folder") << path(u"folder.cfg"_s) << false << u"It is a folder"_s;
    ::mkfifo(QFile::encodeName(path(u"fifo.cfg"_s)).constData(), 0644);
    QTest::newRow("FIFO") << path(u"fifo.cfg"_s) << false << u"It is a pipe, not a file"_s;
    QTest::newRow("endless device") << u"/dev/zero"_s << false << u"It is a device, not a file"_s;
    writeFile(path(u"nul.cfg"_s), QByteArray("set a \"1\"\r\nset\0 b\r\n", 19));
    QTest::newRow("NUL") << path(u"nul.cfg"_s) << false << u"Line 2 holds a NUL byte: it is not a text file"_s;
    writeFile(path(u"nulfirst.cfg"_s), QByteArray("a\r\0", 3));
    QTest::newRow("NUL opening a line") << path(u"nulfirst.cfg"_s) << false
                                        << u"Line 2 holds a NUL byte: it is not a text file"_s;
    writeFile(path(u"large.cfg"_s), linesOf(ScriptFile::largestBytes + 1));
    QTest::newRow("1 MiB and a byte") << path(u"large.cfg"_s) << false
                                      << u"It is larger than 1,048,576 bytes, the most a script may have here; "
                                         "one exec takes 16,383"_s;
    // A server's script may belong to its own account and be closed to others.
    const QString closed = path(u"closed/servercfg.cfg"_s);
    QDir(m_dir.path()).mkdir(u"closed"_s);
    ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(path(u"closed"_s)).constData(), 0755);
    writeFile(closed, "set a \"1\"\r\n");
    ::chmod(QFile::encodeName(closed).constData(), 0600);
    QTest::newRow("another account's file") << closed << true << u"Permission denied"_s;
}

void ScriptFileTest::refusesWhatIsNotAScript()
{
    QFETCH(QString, file);
    QFETCH(bool, asNobody);
    QFETCH(QString, reason);
    const QString expected = u"Cannot open file \"%1\". %2."_s.arg(file, reason);
    if (!asNobody) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        QCOMPARE(loaded.error, expected);
        QVERIFY(loaded.lines.isEmpty());
    } else if (geteuid() != 0) {
        QSKIP("needs root to drop to the account nobody");
    } else {
        QCOMPARE(loadAsNobody(file), expected);
    }
}

void ScriptFileTest::checksFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // up to the usage, when there is one

    QFile::copy(QStringLiteral(TESTDATA_DIR "/default.cfg"), path(u"clean.cfg"_s));
    writeFile(path(u"marked.cfg"_s),
        "// R\xe9glages; du serveur\r\n"
        "set sv_hostname \"Caf\xe9 ^1\x80\" ; kick all\n"
        "set g_allowvote \"yes\"\r"
        "set g_allowvote \"1\"\r\n");
    const QString marks = u"marked.cfg:1:12: The rest of this line runs as a command of its own: du serveur\n"
                          "marked.cfg:2:28: The rest of this line runs as a command of its own: kick all\n"
                          "marked.cfg:3:1: Line 4 sets g_allowvote again; the game keeps \"1\".\n"
                          "marked.cfg:3:18: Not one of the values the page writes here: 1 or 0\n"_s;
    // One exec takes 16,383 bytes as they lie on the disk: with LF ends this
    // script fits, with CR LF ends it is refused from line 513 on; at 16,373
    // bytes only a +map_rotate after +exec leaves it no room.
    QByteArray large;
    for (int line = 0; large.size() < 16000; ++line)
        large += "set line_" + QByteArray::number(line).rightJustified(5, '0') + " \"a server name\"\n";
    writeFile(path(u"lf.cfg"_s), large);
    writeFile(path(u"tight.cfg"_s), large + "//" + QByteArray(16373 - 2 - large.size(), '-'));
    writeFile(path(u"crlf.cfg"_s), large.replace("\n", "\r\n"));
    const QString usage = u"tallyforge: %1\n\n"_s;
    // Names no page writes: whether anything reads them only the server's folder tells.
    const QString unchecked
        = u"tallyforge: The variables of %1 were not checked: it stands in no game folder; --game-folder DIR checks "
          "them.\n"_s;

    QTest::newRow("clean") << QStringList { u"--check"_s, u"clean.cfg"_s } << 0 << QString() << QString();
    writeFile(path(u"execs.cfg"_s), "exec admin/mod\nset scr_x_vote_tme 30\nset g_allowvote 1\n");
    QTest::newRow("outside a game folder, what went unchecked")
        << QStringList { u"--check"_s, u"execs.cfg"_s } << 0 << QString()
        << u"tallyforge: The exec'd scripts and variables of execs.cfg were not checked: it stands in no game "
           "folder; --game-folder DIR checks them.\n"_s;
    QTest::newRow("marked, columns in characters")
        << QStringList { u"--check"_s, u"marked.cfg"_s } << 1 << marks << QString();
    QTest::newRow("over one exec") << QStringList { u"--check"_s, u"lf.cfg"_s, u"crlf.cfg"_s } << 1
                                   << u"crlf.cfg:513:1: The game's exec runs none of this script: it is 16,544 "
                                      "bytes, and exec takes 16,383 less what follows +exec.\n"_s
                                   << unchecked.arg(u"lf.cfg"_s) + unchecked.arg(u"crlf.cfg"_s);
    QTest::newRow("no room for +map_rotate")
        << QStringList { u"--check"_s, u"tight.cfg"_s } << 1
        << u"tight.cfg:518:346: A +map_rotate after +exec leaves no room for this script: it is 16,373 bytes, and "
           "exec then takes 16,372.\n"_s
        << unchecked.arg(u"tight.cfg"_s);
    QTest::newRow("unreadable, the rest still checked")
        << QStringList { u"--check"_s, u"missing.cfg"_s, u"marked.cfg"_s } << 2 << marks
        << u"tallyforge: Cannot open file \"%1\". No such file or directory.\n"_s.arg(path(u"missing.cfg"_s));
    QTest::newRow("bad option") << QStringList { u"--chek"_s, u"clean.cfg"_s } << 3 << QString()
                                << usage.arg(u"Unknown option 'chek'."_s);
    QTest::newRow("nothing to check") << QStringList { u"--check"_s } << 3 << QString()
                                      << usage.arg(u"--check needs at least one FILE."_s);
    QTest::newRow("version") << QStringList { u"--version"_s } << 0 << u"tallyforge 1.0\n"_s << QString();
    QTest::newRow("help, its usage line")
        << QStringList { u"--help"_s } << 0 << u"Usage: tallyforge [options] [FILE...]\n"_s << QString();
    QTest::newRow("a file to open needs the window")
        << QStringList { u"clean.cfg"_s } << 1 << QString()
        << u"tallyforge: no display found (DISPLAY is not set); start it from a desktop session.\n"_s;
}

void ScriptFileTest::checksFromTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &display : { u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s })
        environment.remove(display);
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_dir.path());
    program.start(QStringLiteral(TALLYFORGE_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(30000));
    const QString printed = QString::fromUtf8(program.readAllStandardOutput());
    const QString complaint = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(arguments.contains(u"--help"_s) ? printed.left(out.size()) : printed, out);
    QCOMPARE(complaint.left(complaint.indexOf(u"Usage: "_s)), err);
    // The program was started by its full path; the usage names it as it is installed.
    QCOMPARE(complaint.contains(u"\nUsage: tallyforge [options] [FILE...]\n"_s), exitCode == 3);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
}

int runScriptFileTest(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--load-child") == 0)
        return loadChild(argv[2]);
    QCoreApplication app(argc, argv);
    ScriptFileTest test;
    return QTest::qExec(&test, argc, argv);
}

TALLYFORGE_TEST_RUN(runScriptFileTest)

#include "tst_scriptfile.moc"
