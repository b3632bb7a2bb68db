// A running server beside its script: the real ioquake3 dedicated server Debian ships as
// openarena-server, started once for the whole test on a free local port, and beside it a small model
// of the game's own rules where the game differs from that server (the 500 ms rule, one large reply
// packet, its answer to a variable, a command past its buffer dropped whole).

#include "app/runningserverdialog.h"
#include "app/scripthighlighter.h"
#include "app/servercommands.h"
#include "formtest.h"
#include "liveserver/pacer.h"
#include "liveserver/replyreader.h"
#include "liveserver/runningserver.h"
#include "liveserver/serverlink.h"
#include "modalwatcher.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QNetworkDatagram>
#include <QProcess>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

namespace {

const QString password = u"tf-test-pw"_s;
const QString dedicatedServer = u"/usr/games/openarena-server"_s;

QByteArray marked(QByteArrayView line)
{
    return ReplyReader::packetOf(line);
}

// The game's rules, as far as a tool talking to it can tell: a remote console packet within 500 ms of the
// one before, from anyone, is dropped; a command longer than the 1,024-byte buffer is dropped whole; every
// answer is one packet; a variable answers `"name" is:"value^7" default:"value^7"`; cvarlist it does not
// take from the remote console. Status carries pswrd, and getinfo's gametype is a word.
class GameModel : public QObject {
public:
    QHash<QString, QString> variables { { u"sv_hostname"_s, u"^3Model"_s }, { u"g_gametype"_s, u"dm"_s },
        { u"sv_maxclients"_s, u"20"_s }, { u"scr_dm_scorelimit"_s, u"50"_s },
        { u"tf_big"_s, QString(15'000, u'b') } }; // the game answers it in one packet of 15 KB
    QStringList latchedNames { u"sv_maxclients"_s };
    QHash<QString, QString> latched;
    int dropped = 0; // commands the 500 ms rule or the buffer dropped
    int commands = 0;
    int answerLateOnce = -1; // the command whose answer comes 1.3 s late
    QHostAddress lastFrom;

    GameModel()
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        connect(&m_socket, &QUdpSocket::readyRead, this, &GameModel::read);
        m_clock.start();
    }
    quint16 port() const { return m_socket.localPort(); }

private:
    void read()
    {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram in = m_socket.receiveDatagram();
            const QByteArray data = in.data();
            if (!data.startsWith("\xff\xff\xff\xff"))
                continue;
            const QString line = QString::fromLatin1(data.sliced(4));
            auto reply = [&](const QByteArray &text, int after = 0) {
                const QByteArray packet = marked(text);
                QTimer::singleShot(after, this, [this, packet, to = in.senderAddress(), port = in.senderPort()] {
                    m_socket.writeDatagram(packet, to, port);
                });
            };
            if (line.startsWith(u"getstatus"_s)) {
                QByteArray info = "\\pswrd\\0";
                for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
                    if (!it.key().startsWith(u"tf_"_s))
                        info += '\\' + it.key().toLatin1() + '\\' + it.value().toLatin1();
                }
                reply("statusResponse\n" + info + "\n3 48 \"^^1Odd^7One\xe9\"\n0 999 \"Joining\"\n");
                continue;
            }
            if (!line.startsWith(u"rcon "_s))
                continue;
            const qint64 now = m_clock.elapsed();
            const bool tooSoon = m_lastRcon >= 0 && now - m_lastRcon < 500;
            m_lastRcon = now;
            if (tooSoon || data.size() - 4 > 1024) {
                ++dropped;
                continue;
            }
            const QStringList words = line.sliced(5).split(u' ');
            if (words.value(0) != password) {
                reply("print\nBad rconpassword.\n");
                continue;
            }
            const int late = commands++ == answerLateOnce ? 1300 : 0;
            const QString command = words.value(1);
            if (command == u"set"_s && words.size() >= 4) {
                QString value = words.sliced(3).join(u' ');
                value = value.sliced(1, value.size() - 2);
                const QString name = words[2].toLower();
                if (latchedNames.contains(name)) {
                    latched.insert(name, value);
                    reply("print\n" + name.toLatin1() + " will be changed upon restarting.\n", late);
                } else {
                    variables.insert(name, value);
                    reply("print\n", late);
                }
            } else if (variables.contains(command.toLower())) {
                const QString name = command.toLower();
                QString text = u"\"%1\" is:\"%2^7\" default:\"^7\"\n"_s.arg(name, variables[name]);
                if (latched.contains(name))
                    text += u"latched: \"%1\"\n"_s.arg(latched[name]);
                reply("print\n" + text.toLatin1(), late);
            } else {
                reply("print\nUnknown command \"" + command.toLatin1() + "\"\n", late);
            }
        }
    }

    QUdpSocket m_socket;
    QElapsedTimer m_clock;
    qint64 m_lastRcon = -1;
};

// Waits for `server` to end what runs; the failure, if any.
std::optional<RunningServer::Failure> waitFor(RunningServer &server, int seconds = 60)
{
    std::optional<RunningServer::Failure> failure;
    bool ended = false;
    QObject context;
    QObject::connect(&server, &RunningServer::failed, &context, [&](RunningServer::Failure why) {
        failure = why;
        ended = true;
    });
    QObject::connect(&server, &RunningServer::statusRead, &context, [&] { ended = true; });
    QObject::connect(&server, &RunningServer::heldRead, &context, [&] { ended = true; });
    QObject::connect(&server, &RunningServer::sendingDone, &context, [&] { ended = true; });
    [&] { QTRY_VERIFY_WITH_TIMEOUT(ended, seconds * 1000); }();
    return failure;
}

HeldValues::Setting setting(const QString &name, const QString &value, qsizetype line = 0)
{
    return { name, value, u"set"_s, line, 0 };
}

} // namespace

class tst_liveserver : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_server;
    quint16 m_port = 0;

    struct Run {
        int code;
        QString out;
        QString err;
    };
    Run tallyforge(const QStringList &arguments, const QString &rconPassword = {})
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QString::fromLatin1(ServerCommands::passwordVariable));
        if (!rconPassword.isEmpty())
            environment.insert(QString::fromLatin1(ServerCommands::passwordVariable), rconPassword);
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(TALLYFORGE_EXECUTABLE), arguments);
        child.waitForFinished(120'000);
        return { child.exitCode(), QString::fromUtf8(child.readAllStandardOutput()),
            QString::fromUtf8(child.readAllStandardError()) };
    }
    QString address() const { return u"127.0.0.1:%1"_s.arg(m_port); }
    QString scriptFile(const QString &name, const QString &text)
    {
        const QString path = m_home.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toLatin1());
        return path;
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void thirtyChangesGoWithinTheNewerServersLimit();
    void statusPrintsAScript();
    void checkAndSendAgainstTheRealServer();
    void windowComparesMarksAndSends();
    void gameRulesKeepEveryCommand();
    void lateAndStrangeRepliesAreNotAnswers();
    void readerSurvivesHostileReplies_data();
    void readerSurvivesHostileReplies();
};

// The server once for every test: it takes a moment to load its map.
void tst_liveserver::initTestCase()
{
    QVERIFY2(
        QFileInfo::exists(dedicatedServer), "openarena-server is not installed: scripts/setup --tests installs it");
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
    m_port = probe.localPort();
    probe.close();
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(m_home.filePath(u"server.log"_s));
    m_server.start(dedicatedServer,
        { u"+set"_s, u"dedicated"_s, u"1"_s, u"+set"_s, u"net_ip"_s, u"127.0.0.1"_s, u"+set"_s, u"net_port"_s,
            QString::number(m_port), u"+set"_s, u"fs_homepath"_s, m_home.path(), u"+set"_s, u"rconPassword"_s, password,
            u"+set"_s, u"sv_hostname"_s, u"^1Test ^7Server"_s, u"+set"_s, u"g_motd"_s, u"started"_s, u"+map"_s,
            u"oa_dm1"_s });
    QVERIFY(m_server.waitForStarted());
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress::LocalHost, 0));
    bool ready = false;
    for (int attempt = 0; attempt < 150 && !ready; ++attempt) {
        socket.writeDatagram(marked("getinfo ready"), QHostAddress::LocalHost, m_port);
        ready = socket.waitForReadyRead(200) && socket.receiveDatagram().data().contains("infoResponse");
    }
    QVERIFY2(ready, "openarena-server gave no infoResponse within 30 s");
}

void tst_liveserver::cleanupTestCase()
{
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
}

// First, once the server's count of this address is full again (the wait for it to start counted too): 30 changes and
// the read after them, each packet answered the first time, none dropped by the limit of 10 at once then one a second
// (500 ms apart alone would reach it after about 20).
void tst_liveserver::thirtyChangesGoWithinTheNewerServersLimit()
{
    QTest::qWait(Pacer::burst * (Pacer::refill + Pacer::frameMargin));
    RunningServer server({ u"127.0.0.1"_s, m_port });
    server.setPassword(password);
    QList<HeldValues::Setting> changes;
    for (int k = 0; k < 30; ++k)
        changes << setting(u"tf_burst%1"_s.arg(k), u"on"_s);
    QList<RunningServer::Sent> sent;
    connect(&server, &RunningServer::sendingDone, this, [&](const QList<RunningServer::Sent> &done) { sent = done; });
    server.send(changes);
    QVERIFY(!waitFor(server));
    QCOMPARE(sent.size(), 30);
    for (const RunningServer::Sent &one : std::as_const(sent))
        QCOMPARE(one.outcome, RunningServer::Outcome::Taken);
    QCOMPARE(server.link()->packetsResent(), 0);
}

// The output is itself a script, read back as the console reads it; a port nothing listens on says so.
void tst_liveserver::statusPrintsAScript()
{
    const Run run = tallyforge({ u"--status"_s, address() });
    QCOMPARE(run.code, 0);
    QVERIFY2(run.out.contains(u"\nset sv_hostname \"^1Test ^7Server\"\n"_s), qPrintable(run.out));
    QVERIFY(run.out.contains(u"\n// 0 players"_s));
    const QList<HeldValues::Setting> settings = HeldValues::finalSettings(run.out.split(u'\n'));
    QVERIFY(settings.size() > 10);
    QCOMPARE(settings.size(), run.out.count(u"\nset "_s));

    QUdpSocket unused;
    QVERIFY(unused.bind(QHostAddress::LocalHost, 0));
    const Run silent = tallyforge({ u"--status"_s, u"127.0.0.1:%1"_s.arg(unused.localPort()) });
    QCOMPARE(silent.code, 2);
    QVERIFY2(silent.err.contains(u"Nothing answers at 127.0.0.1:%1: getstatus went twice"_s.arg(unused.localPort())),
        qPrintable(silent.err));
}

// --check names both values, the latched one as such, with and without a password; --send takes the
// password only from the environment or the script, shows the server's words for a wrong one and sends
// nothing more, and leaves a check with only what waits for the next map.
void tst_liveserver::checkAndSendAgainstTheRealServer()
{
    const QString script = scriptFile(u"server.cfg"_s,
        u"// the script\nset sv_hostname \"^2Script ^7Server\"\nset g_motd \"from the script\"\n"
        "set sv_maxclients \"12\"\nset tf_own \"1\"\n"_s);
    const QString hostnameMark = script
        + u":2:1: The running server holds sv_hostname \"^1Test ^7Server\"; "
          "this line sets \"^2Script ^7Server\"."_s;

    const Run statusOnly = tallyforge({ u"--check"_s, script, u"--server"_s, address() });
    QCOMPARE(statusOnly.code, 1);
    QCOMPARE(statusOnly.out.trimmed().split(u'\n'),
        QStringList({ hostnameMark,
            script + u":4:1: The running server holds sv_maxclients \"8\"; this line sets \"12\"."_s }));
    QVERIFY2(
        statusOnly.err.contains(u"only the variables of the status reply were compared"_s), qPrintable(statusOnly.err));

    const Run wrong = tallyforge({ u"--send"_s, script, u"--server"_s, address() }, u"not-it"_s);
    QCOMPARE(wrong.code, 2);
    QVERIFY2(wrong.err.contains(u"Bad rconpassword."_s), qPrintable(wrong.err));
    QVERIFY(!wrong.out.contains(u"taken"_s));

    const Run compared = tallyforge({ u"--check"_s, script, u"--server"_s, address() }, password);
    QVERIFY2(compared.code == 1, qPrintable(compared.err));
    QCOMPARE(compared.out.trimmed().split(u'\n'),
        QStringList({ hostnameMark,
            script + u":3:1: The running server holds g_motd \"started\"; this line sets \"from the script\"."_s,
            script + u":4:1: The running server holds sv_maxclients \"8\"; this line sets \"12\"."_s,
            script + u":5:1: The running server holds no tf_own; this line sets \"1\"."_s }));

    // The script's own rconpassword serves as well.
    const QString withPassword = scriptFile(u"withpassword.cfg"_s,
        u"set rconpassword \"%1\"\n"_s.arg(password)
            + u"set sv_hostname \"^2Script ^7Server\"\nset g_motd \"from the script\"\nset sv_maxclients \"12\"\n"
              "set tf_own \"1\"\n"_s);
    const Run sent = tallyforge({ u"--send"_s, withPassword, u"--server"_s, address() });
    QVERIFY2(sent.code == 0, qPrintable(sent.err));
    QCOMPARE(sent.out.trimmed().split(u'\n').size(), 4);
    QVERIFY2(sent.out.contains(u"set sv_maxclients \"12\": takes effect at the next map"_s), qPrintable(sent.out));
    QVERIFY(sent.out.contains(u"set tf_own \"1\": taken\n"_s));
    QVERIFY(!sent.out.contains(password) && !sent.err.contains(password));

    // Another tool empties the newer servers' count for this address first: a fresh run's first packet is
    // dropped, and it must still get every answer, or fail saying so, never report the server as holding the same.
    QUdpSocket otherTool;
    QVERIFY(otherTool.bind(QHostAddress::LocalHost, 0));
    for (int k = 0; k < Pacer::burst + 2; ++k)
        otherTool.writeDatagram(marked("getstatus"), QHostAddress::LocalHost, m_port);
    const Run after = tallyforge({ u"--check"_s, withPassword, u"--server"_s, address() });
    QVERIFY2(after.code == 1, qPrintable(after.err));
    QCOMPARE(after.out.trimmed(),
        withPassword
            + u":4:1: The running server holds sv_maxclients \"8\", latched to \"12\" from the next map; this "
              "line sets \"12\"."_s);
}

// File > Running Server: the password masked and taken from the Server Options page, the server's name in
// the editor's colours, the table and the editor's marks, "Send Changes" behind its question, and a
// silent server that leaves the window answering.
void tst_liveserver::windowComparesMarksAndSends()
{
    TForm1 form;
    FormTest::control<QCheckBox>(form, "chkRcon")->setChecked(true);
    FormTest::control<QLineEdit>(form, "edRcon")->setText(password);
    QPlainTextEdit *editor = form.editor();
    editor->setPlainText(u"set timelimit \"17\"\nset g_motd \"window\"\nset g_motd \"^4window\"\n"_s);
    form.show();
    form.findChild<QAction *>(u"RunningServer1"_s)->trigger();
    auto *dialog = form.findChild<RunningServerDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    auto *passwordEdit = FormTest::control<QLineEdit>(*dialog, "edServerPassword");
    QCOMPARE(passwordEdit->text(), password);
    QCOMPARE(passwordEdit->echoMode(), QLineEdit::Password);

    // Nothing listens: the window keeps answering while the link waits, then says so.
    QUdpSocket unused;
    QVERIFY(unused.bind(QHostAddress::LocalHost, 0));
    FormTest::control<QLineEdit>(*dialog, "edServerAddress")->setText(u"127.0.0.1:%1"_s.arg(unused.localPort()));
    FormTest::click(*dialog, "btnReadServer");
    auto *state = FormTest::control<QLabel>(*dialog, "serverState");
    QElapsedTimer clock;
    clock.start();
    qint64 longestStall = 0;
    while (!state->text().startsWith(u"Nothing answers"_s) && clock.elapsed() < 5000) {
        const qint64 before = clock.elapsed();
        QTest::qWait(20);
        longestStall = std::max(longestStall, clock.elapsed() - before);
    }
    QVERIFY2(state->text().contains(u"127.0.0.1:%1"_s.arg(unused.localPort())), qPrintable(state->text()));
    QVERIFY2(longestStall < 500, qPrintable(QString::number(longestStall)));

    FormTest::control<QLineEdit>(*dialog, "edServerAddress")->setText(address());
    FormTest::click(*dialog, "btnReadServer");
    auto *table = FormTest::control<QTableWidget>(*dialog, "serverDifferences");
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 2, 10'000);
    QCOMPARE(table->item(0, RunningServerDialog::Variable)->text(), u"timelimit"_s);
    QCOMPARE(table->item(1, RunningServerDialog::Script)->text(), u"^4window"_s);
    // The name the command-line test gave the server, its white code on the editor's backdrop for white.
    const QTextCharFormat white = ScriptHighlighter::codeFormat(7, dialog->palette().color(QPalette::Base));
    const QString whiteStyle = white.background().style() == Qt::NoBrush
        ? u"color:#ffffff;"_s
        : u"color:#ffffff;background-color:%1;"_s.arg(white.background().color().name());
    const QString says = FormTest::control<QLabel>(*dialog, "serverSays")->text();
    QVERIFY2(says.contains(u"<span style=\"%1\">^7Server</span>"_s.arg(whiteStyle)), qPrintable(says));

    // The marks as --check gives them, on the line that decides; not on the one set again after it.
    auto *highlighter = editor->document()->findChild<ScriptHighlighter *>();
    auto serverMarks = [&](int line) {
        QStringList sentences;
        for (const ConsoleReader::Mark &mark :
            highlighter->readingOf(editor->document()->findBlockByNumber(line)).marks) {
            if (mark.problem == ConsoleReader::Problem::ServerHoldsOtherwise)
                sentences << mark.sentence;
        }
        return sentences;
    };
    QCOMPARE(serverMarks(0).size(), 1);
    QVERIFY(serverMarks(0).constFirst().endsWith(u"; this line sets \"17\"."_s));
    QVERIFY(serverMarks(1).isEmpty());
    QCOMPARE(serverMarks(2).size(), 1);

    QString question;
    ModalWatcher watcher([&](QWidget *box) {
        question = qobject_cast<QMessageBox *>(box)->detailedText();
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    FormTest::click(*dialog, "btnSendChanges");
    QTRY_VERIFY(watcher.answered());
    QCOMPARE(question, u"set timelimit \"17\"\nset g_motd \"^4window\""_s);
    auto *sentSays = FormTest::control<QLabel>(*dialog, "sentSays");
    QTRY_VERIFY_WITH_TIMEOUT(sentSays->text().contains(u"set g_motd \"^4window\": taken"_s), 15'000);
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 0, 10'000);
    QTRY_VERIFY_WITH_TIMEOUT(serverMarks(0).isEmpty(), 10'000);

    // Cancel after the first of four: the rest stay unsent, and the table says so once read again.
    editor->setPlainText(u"set tf_cancel1 \"1\"\nset tf_cancel2 \"1\"\nset tf_cancel3 \"1\"\nset tf_cancel4 \"1\"\n"_s);
    FormTest::click(*dialog, "btnReadServer");
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 4, 10'000);
    ModalWatcher yes([](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); });
    FormTest::click(*dialog, "btnSendChanges");
    QPointer<QProgressDialog> progress;
    QTRY_VERIFY((progress = dialog->findChild<QProgressDialog *>()) && progress->value() >= 1);
    QVERIFY(progress->value() < 4);
    QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(sentSays->text(), u"Sending was cancelled; what was sent before stays sent."_s, 5'000);
    QTRY_VERIFY2_WITH_TIMEOUT(table->rowCount() >= 1 && table->rowCount() <= 3,
        qPrintable(u"%1 rows; %2"_s.arg(table->rowCount()).arg(state->text())), 10'000);
    QCOMPARE(table->item(table->rowCount() - 1, RunningServerDialog::Variable)->text(), u"tf_cancel4"_s);
}

// Against the game's rules every command is answered the first time: none falls within 500 ms of the one
// before, a server without cvarlist is asked by name, and a command past the buffer is not sent at all.
void tst_liveserver::gameRulesKeepEveryCommand()
{
    GameModel game;
    RunningServer server({ u"127.0.0.1"_s, game.port() });
    server.setPassword(password);
    RunningServer::Status status;
    connect(&server, &RunningServer::statusRead, this, [&](const RunningServer::Status &read) { status = read; });
    server.readStatus();
    QVERIFY(!waitFor(server));
    QCOMPARE(status.value(u"pswrd"_s), u"0"_s);
    QCOMPARE(status.value(u"G_GAMETYPE"_s), u"dm"_s);
    QCOMPARE(status.players.size(), 2);
    QCOMPARE(status.players[0].name, u"^^1Odd^7One\u00e9"_s);
    const int statusPackets = server.link()->packetsSent();

    QList<HeldValues::Setting> settings { setting(u"sv_hostname"_s, u"^3Model"_s), setting(u"tf_big"_s, u"b"_s),
        setting(u"sv_maxclients"_s, u"24"_s), setting(u"scr_dm_scorelimit"_s, u"100"_s),
        setting(u"tf_long"_s, QString(1100, u'x')), setting(u"tf_new"_s, u"on"_s) };

    HeldValues::HeldByName held;
    connect(&server, &RunningServer::heldRead, this, [&](const HeldValues::HeldByName &read) { held = read; });
    server.readHeld(settings);
    QVERIFY(!waitFor(server));
    QCOMPARE(held.value(u"sv_maxclients"_s).value, u"20"_s);
    QVERIFY(!held.value(u"tf_new"_s).exists);
    QVERIFY(!held.value(u"tf_long"_s).exists);
    QVERIFY(!held.value(u"sv_hostname"_s).latched);
    QCOMPARE(held.value(u"tf_big"_s).value.size(), 15'000);

    QList<RunningServer::Sent> sent;
    connect(&server, &RunningServer::sendingDone, this, [&](const QList<RunningServer::Sent> &done) { sent = done; });
    server.send(settings.sliced(2));
    QVERIFY(!waitFor(server));
    QCOMPARE(sent.size(), 4);
    QCOMPARE(sent[0].outcome, RunningServer::Outcome::AtNextMap);
    QCOMPARE(sent[1].outcome, RunningServer::Outcome::Taken);
    QCOMPARE(sent[2].outcome, RunningServer::Outcome::TooLong);
    QCOMPARE(sent[3].outcome, RunningServer::Outcome::Taken);
    QCOMPARE(game.variables.value(u"tf_new"_s), u"on"_s);
    QCOMPARE(game.dropped, 0);
    QCOMPARE(server.link()->packetsSent() - statusPackets, game.commands); // none sent twice
}

// A reply that comes after its command was sent again is not the next command's answer; a flood of
// forged answers from another port while waiting is read and dropped.
void tst_liveserver::lateAndStrangeRepliesAreNotAnswers()
{
    GameModel game;
    game.answerLateOnce = 1;
    RunningServer server({ u"127.0.0.1"_s, game.port() });
    server.setPassword(password);
    HeldValues::HeldByName held;
    connect(&server, &RunningServer::heldRead, this, [&](const HeldValues::HeldByName &read) { held = read; });

    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    QTimer flood;
    connect(&flood, &QTimer::timeout, this, [&] {
        const quint16 client = server.link()->findChild<QUdpSocket *>()->localPort();
        for (int i = 0; i < 50; ++i) {
            stranger.writeDatagram(
                marked("print\n\"g_gametype\" is:\"ctf^7\" default:\"^7\"\n"), QHostAddress::LocalHost, client);
            stranger.writeDatagram(marked("statusResponse\n\\g_gametype\\ctf\n"), QHostAddress::LocalHost, client);
        }
    });
    flood.start(20);
    server.readHeld({ setting(u"sv_hostname"_s, u"x"_s), setting(u"g_gametype"_s, u"tdm"_s),
        setting(u"scr_dm_scorelimit"_s, u"1"_s) });
    QVERIFY(!waitFor(server));
    flood.stop();
    QCOMPARE(held.value(u"sv_hostname"_s).value, u"^3Model"_s);
    QCOMPARE(held.value(u"g_gametype"_s).value, u"dm"_s);
    QCOMPARE(held.value(u"scr_dm_scorelimit"_s).value, u"50"_s);
}

void tst_liveserver::readerSurvivesHostileReplies_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("firstValue"); // the first info value, or the variable's value
    QTest::addColumn<QString>("latched");
    QTest::addColumn<int>("players");

    using K = ReplyReader::Kind;
    QTest::newRow("status with colour codes and Latin-1")
        << marked("statusResponse\n\\sv_hostname\\^^1A^7\xe9\\pswrd\\1\n5 999 \"^1Joe\xff\"\n7 40 \"x\"\n")
        << int(K::Status) << u"^^1A^7\u00e9"_s << QString() << 2;
    QTest::newRow("status cut inside a key")
        << marked("statusResponse\n\\a\\1\\b") << int(K::Status) << u"1"_s << QString() << 0;
    QTest::newRow("status with broken player lines")
        << marked("statusResponse\n\\a\\1\n1 \"only\"\nx y \"z\"\n\"\n2 999 \"ok\"") << int(K::Status) << u"1"_s
        << QString() << 1;
    QTest::newRow("game's variable answer")
        << marked("print\n\"sv_maxclients\" is:\"20^7\" default:\"20^7\"\nlatched: \"24\"\n") << int(K::Print)
        << u"20"_s << u"24"_s << 0;
    QTest::newRow("newer servers' variable answer")
        << marked("print\n\"g_motd\" is:\"a \"quoted\" b^7\", the default\n") << int(K::Print) << u"a \"quoted\" b"_s
        << QString() << 0;
    QTest::newRow("variable answer cut") << marked("print\n\"g_motd\" is:\"abc") << int(K::Print) << QString()
                                         << QString() << 0;
    QTest::newRow("without the marker") << QByteArray("print\n\"a\" is:\"1^7\"\n") << int(K::Other) << QString()
                                        << QString() << 0;
    QTest::newRow("over-long") << marked("print\n" + QByteArray(ReplyReader::mostPacketBytes, 'x')) << int(K::Other)
                               << QString() << QString() << 0;
    QTest::newRow("a thousand pairs") << marked("statusResponse\n" + QByteArray("\\k\\v").repeated(1000))
                                      << int(K::Status) << u"v"_s << QString() << 0;
}

// The rows are seeds for the reply reader's fuzz target.
void tst_liveserver::readerSurvivesHostileReplies()
{
    QFETCH(QByteArray, packet);
    QFETCH(int, kind);
    QFETCH(QString, firstValue);
    QFETCH(QString, latched);
    QFETCH(int, players);
    TestRunner::keepFuzzSeed(u"serverreply", packet);
    const ReplyReader::Packet read = ReplyReader::read(packet);
    QCOMPARE(int(read.kind), kind);
    QVERIFY(read.info.size() <= ReplyReader::mostInfoPairs);
    QCOMPARE(read.players.size(), players);
    if (read.kind == ReplyReader::Kind::Status)
        QCOMPARE(read.info.value(0).second, firstValue);
    if (read.kind == ReplyReader::Kind::Print) {
        const std::optional<ReplyReader::Variable> variable = ReplyReader::variableOf(read.text);
        QCOMPARE(variable ? variable->value : QString(), firstValue);
        QCOMPARE(variable ? variable->latched.value_or(QString()) : QString(), latched);
    }
    if (players > 0)
        QCOMPARE(read.players.constFirst().ping, 999);
}

TALLYFORGE_TEST_MAIN(tst_liveserver)
#include "tst_liveserver.moc"
