// Saving a large script while the process is killed at any moment: the file
// at the chosen path must always be exactly the old one or exactly the new one,
// and the next save must work. The saves run in a child: this same executable
// started with --save-child.
//
//   TALLYFORGE_KILLS=<n>  how many killed saves (30 by default)

#include "app/appearance.h"
#include "formtest.h"
#include "testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype scriptSize = 1024 * 1024;

// A 1 MB script of ordinary lines; `tag` makes the old and new files differ throughout.
QString scriptText(const QString &tag)
{
    QString text;
    text.reserve(scriptSize + 64);
    for (int line = 0; text.size() < scriptSize; ++line)
        text.append(u"set sv_hostname \"%1 %2 Bravenmark\"\n"_s.arg(tag).arg(line, 6, 10, QChar(u'0')));
    return text;
}

QByteArray fileBytes(const QString &text)
{
    QByteArray bytes = text.toLatin1();
    bytes.replace("\n", "\r\n");
    return bytes;
}

const QString oldTag = u"old"_s;
const QString newTag = u"NEW"_s;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The child: fills the editor with the new script, saves it to argv[2] and
// says how long the save took.
int saveChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Appearance::setUpApplication();
    TForm1 form;
    form.editor()->setPlainText(scriptText(newTag));
    say("ready");
    QElapsedTimer timer;
    timer.start();
    const bool saved = form.saveTo(QString::fromLocal8Bit(argv[2]));
    say("saved " + QByteArray::number(saved) + ' ' + QByteArray::number(timer.nsecsElapsed() / 1000));
    return saved ? 0 : 1;
}

// Reads the child's lines until one starts with `prefix`; returns its rest.
std::optional<QByteArray> waitForLine(QProcess &child, const QByteArray &prefix)
{
    while (true) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith(prefix))
                return line.mid(prefix.size()).trimmed();
        }
        if (!child.waitForReadyRead(30000))
            return std::nullopt;
    }
}

void startChild(QProcess &child, const QString &path)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), { TestRunner::current(), u"--save-child"_s, path });
}

} // namespace

class SaveFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void killedAtAnyMomentLeavesOldOrNewFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QByteArray m_old, m_new;
};

void SaveFaultsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(u"servercfg.cfg"_s);
    if (m_old.isEmpty()) {
        m_old = fileBytes(scriptText(oldTag));
        m_new = fileBytes(scriptText(newTag));
    }
    QVERIFY(writeFile(m_path, m_old));
}

void SaveFaultsTest::killedAtAnyMomentLeavesOldOrNewFile()
{
    bool ok = false;
    int kills = qEnvironmentVariableIntValue("TALLYFORGE_KILLS", &ok);
    if (!ok || kills <= 0)
        kills = 30;

    // An undisturbed save first, to learn how long the window for a kill is.
    qint64 saveMicroseconds = 0;
    {
        QProcess child;
        startChild(child, m_path);
        const std::optional<QByteArray> saved = waitForLine(child, "saved");
        QVERIFY(saved && saved->startsWith("1 "));
        saveMicroseconds = saved->mid(2).toLongLong();
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(readFile(m_path) == m_new);
    }

    const quint64 seed = QRandomGenerator::system()->generate();
    QRandomGenerator chance(seed);
    int keptOld = 0, tookNew = 0;
    for (int i = 0; i < kills; ++i) {
        QVERIFY(writeFile(m_path, m_old));
        QProcess child;
        startChild(child, m_path);
        QVERIFY(waitForLine(child, "ready"));
        // From just before the save to a little after it should have ended.
        std::this_thread::sleep_for(std::chrono::microseconds(chance.bounded(saveMicroseconds * 3 / 2 + 1)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));

        const QByteArray left = readFile(m_path);
        QVERIFY2(left == m_old || left == m_new,
            qPrintable(u"kill %1 (seed %2) left %3 bytes that are neither file"_s.arg(i).arg(seed).arg(left.size())));
        (left == m_old ? keptOld : tookNew) += 1;
    }
    const QStringList litter = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter(u".cfg."_s);
    qInfo("%d kills within %lld us saves: %d kept the old file, %d the new one; %lld temporary files left behind",
        kills, saveMicroseconds, keptOld, tookNew, static_cast<long long>(litter.size()));

    // And the next save works, whatever the kills left behind.
    QVERIFY(writeFile(m_path, m_old));
    QProcess child;
    startChild(child, m_path);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(readFile(m_path) == m_new);
}

namespace {

int runSaveFaultsTest(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--save-child") == 0)
        return saveChild(argc, argv);
    QApplication app(argc, argv);
    Appearance::setUpApplication();
    SaveFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace

TALLYFORGE_TEST_RUN(runSaveFaultsTest)

#include "tst_savefaults.moc"
