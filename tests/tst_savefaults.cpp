// Saving a large script while things go wrong: the process killed at any
// moment, the disk filling part-way, a character the file cannot hold. The
// file at the chosen path must always be exactly the old one or exactly the
// new one, a failure must say so, and the next save must work.
//
// The faults that take a process down run in a child: this same executable
// started with --save-child.
//
//   TALLYFORGE_KILLS=<n>  how many killed saves (100 by default)

#include "formtest.h"
#include "modalwatcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
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

// The child: fills the editor with the new script and saves it to argv[2]. With
// a size limit in argv[3] it saves once under that limit, reports, waits for a
// line on stdin, and saves again without it.
int saveChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const rlim_t limit = std::strtoull(argv[3], nullptr, 10);

    TForm1 form;
    form.editor->setPlainText(scriptText(newTag));
    QString title, message;
    ModalWatcher watcher([&](QWidget *widget) {
        if (widget->objectName() == u"ErrorBox")
            ModalWatcher::acceptMessage(&title, &message)(widget);
    });

    rlimit original {};
    getrlimit(RLIMIT_FSIZE, &original);
    if (limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = original;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }

    say("ready");
    QElapsedTimer timer;
    timer.start();
    const bool saved = form.saveTo(path);
    say("saved " + QByteArray::number(saved) + ' ' + QByteArray::number(timer.nsecsElapsed() / 1000));
    if (!limit)
        return saved ? 0 : 1;
    say("message " + message.toUtf8());

    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 2;
    setrlimit(RLIMIT_FSIZE, &original);
    say("saved again " + QByteArray::number(form.saveTo(path)));
    return 0;
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

void startChild(QProcess &child, const QString &path, qint64 limit)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), { u"--save-child"_s, path, QString::number(limit) });
}

} // namespace

class SaveFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void killedAtAnyMomentLeavesOldOrNewFile();
    void diskFullPartWayKeepsOldFile_data();
    void diskFullPartWayKeepsOldFile();
    void unencodableCharacterAnywhereKeepsOldFile_data();
    void unencodableCharacterAnywhereKeepsOldFile();

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
        kills = 100;

    // An undisturbed save first, to learn how long the window for a kill is.
    qint64 saveMicroseconds = 0;
    {
        QProcess child;
        startChild(child, m_path, 0);
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
        startChild(child, m_path, 0);
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
    startChild(child, m_path, 0);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(readFile(m_path) == m_new);
}

void SaveFaultsTest::diskFullPartWayKeepsOldFile_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::newRow("no byte fits") << qint64(1);
    QTest::newRow("one block fits") << qint64(4096);
    QTest::newRow("half fits") << qint64(512 * 1024);
    QTest::newRow("all but the last byte fit") << qint64(fileBytes(scriptText(newTag)).size() - 1);
}

void SaveFaultsTest::diskFullPartWayKeepsOldFile()
{
    QFETCH(qint64, limit);
    QProcess child;
    startChild(child, m_path, limit);
    const std::optional<QByteArray> saved = waitForLine(child, "saved");
    QVERIFY(saved && saved->startsWith("0 "));
    QCOMPARE(waitForLine(child, "message").value_or("<none>"), "Stream write error.");
    QVERIFY(readFile(m_path) == m_old);

    child.write("go\n");
    QCOMPARE(waitForLine(child, "saved again").value_or("<none>"), "1");
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(readFile(m_path) == m_new);
}

void SaveFaultsTest::unencodableCharacterAnywhereKeepsOldFile_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<double>("where"); // as a share of the text
    QTest::newRow("Greek letter first") << u"Ω"_s << 0.0;
    QTest::newRow("emoji in the middle") << u"😀"_s << 0.5;
    QTest::newRow("Japanese near the end") << u"日"_s << 0.999;
    QTest::newRow("lone surrogate last") << QString(QChar(0xd800)) << 1.0;
    QTest::newRow("C1 control at random") << QString(QChar(0x85)) << QRandomGenerator::global()->generateDouble();
}

void SaveFaultsTest::unencodableCharacterAnywhereKeepsOldFile()
{
    QFETCH(QString, character);
    QFETCH(double, where);
    const QString good = scriptText(newTag);
    QString bad = good;
    const qsizetype at = std::min(qsizetype(where * double(good.size())), good.size() - 1);
    bad.replace(at, 1, character);

    TForm1 form;
    form.editor->setPlainText(bad);
    QString title, message;
    {
        ModalWatcher watcher(ModalWatcher::acceptMessage(&title, &message));
        QVERIFY(!form.saveTo(m_path));
        QVERIFY(watcher.answered());
    }
    QVERIFY2(message.contains(QDir::toNativeSeparators(m_path)), qPrintable(message));
    QVERIFY(readFile(m_path) == m_old);

    form.editor->setPlainText(good);
    QVERIFY(form.saveTo(m_path));
    QVERIFY(readFile(m_path) == m_new);
}

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--save-child") == 0)
        return saveChild(argc, argv);
    QApplication app(argc, argv);
    SaveFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"
