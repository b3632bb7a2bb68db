// Saving through the window, and saving while the file system says no: a full
// disk, a file-size limit, a file of another account in a folder the saver may
// not write to. The faults are real, not simulated: a tmpfs mounted by the test
// (as root), setrlimit, and a child process that drops root's rights.

#include "app/appearance.h"
#include "app/cfgfile.h"
#include "formtest.h"
#include "modalwatcher.h"
#include "testmain.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Saves and returns the text of the error box it showed, if any.
QString saveExpectingError(TForm1 &form, const QString &path, QString *title = nullptr)
{
    QString boxTitle, text;
    ModalWatcher watcher(ModalWatcher::acceptMessage(&boxTitle, &text));
    const bool saved = form.saveTo(path);
    if (title)
        *title = boxTitle;
    return saved ? QString() : text;
}

// Lines of `tag` text, `size` characters or a little more.
QString scriptOf(const QString &tag, qsizetype size)
{
    QString text;
    for (int line = 0; text.size() < size; ++line)
        text.append(u"set sv_hostname \"%1 %2\"\n"_s.arg(tag).arg(line, 6, 10, QChar(u'0')));
    return text;
}

QByteArray asFileBytes(QString text)
{
    return text.replace(u"\n"_s, u"\r\n"_s).toLatin1();
}

// The file the server ran on yesterday: 1,280 bytes.
const QByteArray oldFile = asFileBytes(scriptOf(u"yesterday"_s, 1200)).left(1280);

struct Fault {
    enum Kind { FullDisk, SizeLimit } kind;
    QString folder;
    rlimit saved {};

    // Mounts the small tmpfs at `folder`. Empty unless the fault cannot be had here.
    QString prepare() const
    {
        if (kind == FullDisk && ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
            return u"cannot mount a small tmpfs here (%1); run as root"_s.arg(
                QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }

    // Leaves no room for what is written from now on: every free byte of the
    // tmpfs taken, or a file size limit of `limit` bytes for this process.
    void strike(qint64 limit)
    {
        if (kind == SizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit lowered = saved;
            lowered.rlim_cur = rlim_t(limit);
            setrlimit(RLIMIT_FSIZE, &lowered);
            return;
        }
        QFile filler(folder + u"/filler"_s);
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) { }
        while (filler.write("f", 1) == 1) { }
    }

    void end()
    {
        if (kind == SizeLimit)
            setrlimit(RLIMIT_FSIZE, &saved);
        else
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    }
};

// Saves `text` to `path` in a child process that runs as nobody:nogroup, with
// an optional file-size limit; returns the child's error sentence, or "saved".
QString saveAsNobody(const QString &executable, const QString &path, const QString &text, qint64 limit = 0)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const passwd *nobody = getpwnam("nobody");
    const group *nogroup = getgrnam("nogroup");
    if (!nobody || !nogroup)
        return u"<no account nobody:nogroup>"_s;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nogroup->gr_gid;
    child.setChildProcessModifier([uid, gid] {
        if (setgroups(1, &gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            _exit(3);
    });
    child.start(executable, { TestRunner::current(), u"--save-child"_s, path, QString::number(limit) });
    child.write(text.toUtf8());
    child.closeWriteChannel();
    if (!child.waitForFinished(30000))
        return u"<child did not finish>"_s;
    return QString::fromUtf8(child.readAllStandardOutput());
}

// The child: reads the text on stdin and saves it at argv[2], under a size
// limit of argv[3] bytes when that is not 0.
int saveChild(char *argv[])
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 2;
    const QString text = QString::fromUtf8(input.readAll());
    if (const rlim_t limit = std::strtoull(argv[3], nullptr, 10)) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered {};
        getrlimit(RLIMIT_FSIZE, &lowered);
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    const std::optional<QString> failure = CfgFile::save(QString::fromLocal8Bit(argv[2]), text);
    std::fputs(failure ? failure->toUtf8().constData() : "saved", stdout);
    return failure ? 1 : 0;
}

struct Ownership {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    friend bool operator==(const Ownership &, const Ownership &) = default;
};

Ownership ownershipOf(const QString &path)
{
    struct stat info { };
    ::stat(QFile::encodeName(path).constData(), &info);
    return { info.st_uid, info.st_gid, mode_t(info.st_mode & 07777) };
}

void setOwnership(const QString &path, const Ownership &ownership)
{
    QVERIFY(::chown(QFile::encodeName(path).constData(), ownership.uid, ownership.gid) == 0);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), ownership.mode) == 0);
}

} // namespace

class SavingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void savesUserEditsAsTyped();
    void emptiedEditorSavesZeroBytes();
    void overwritesAndSavesTwice();
    void failureKeepsOldFile_data();
    void failureKeepsOldFile();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void replacementKeepsTheOwner();
    void fileOfAnotherAccount_data();
    void fileOfAnotherAccount();
    void unencodableCharacterKeepsOldFile_data();
    void unencodableCharacterKeepsOldFile();
    void saveDialogProposesAndRemembers();

private:
    std::unique_ptr<TForm1> m_form;
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void SavingTest::init()
{
    m_form = std::make_unique<TForm1>();
    finish(*m_form);
}

void SavingTest::savesUserEditsAsTyped()
{
    m_form->editor()->setPlainText(u"set a \"1\"\nset b \"\u00e9\u20ac\u00a0\"\n\nlast"_s);
    QTextCursor cursor(m_form->editor()->document());
    cursor.movePosition(QTextCursor::End);
    m_form->editor()->setTextCursor(cursor);
    QTest::keyClick(m_form->editor(), Qt::Key_Return, Qt::ShiftModifier); // a line break within a block
    QTest::keyClicks(m_form->editor(), u"x"_s);

    QVERIFY(m_form->saveTo(path(u"b.cfg"_s)));
    // Windows-1252: e-acute 0xE9, euro 0x80, no-break space 0xA0 kept as it is.
    QCOMPARE(readFile(path(u"b.cfg"_s)), QByteArray("set a \"1\"\r\nset b \"\xe9\x80\xa0\"\r\n\r\nlast\r\nx"));
}

void SavingTest::emptiedEditorSavesZeroBytes()
{
    writeFile(path(u"c.cfg"_s), "old");
    m_form->editor()->selectAll();
    QTest::keyClick(m_form->editor(), Qt::Key_Delete);
    QVERIFY(m_form->saveTo(path(u"c.cfg"_s)));
    QCOMPARE(readFile(path(u"c.cfg"_s)), QByteArray());
}

void SavingTest::overwritesAndSavesTwice()
{
    writeFile(path(u"d.cfg"_s), "previous content that is longer than the new one, previous content");
    m_form->editor()->setPlainText(u"one"_s);
    QVERIFY(m_form->saveTo(path(u"d.cfg"_s)));
    QCOMPARE(readFile(path(u"d.cfg"_s)), QByteArray("one"));
    m_form->editor()->appendPlainText(u"two"_s);
    QVERIFY(m_form->saveTo(path(u"d.cfg"_s)));
    QCOMPARE(readFile(path(u"d.cfg"_s)), QByteArray("one\r\ntwo"));
    QCOMPARE(QDir(m_dir.path()).entryList({ u"*d.cfg*"_s }, QDir::Files | QDir::Hidden), QStringList { u"d.cfg"_s });
}

void SavingTest::failureKeepsOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expectedMessage");

    writeFile(path(u"plain"_s), "a regular file");
    QDir(m_dir.path()).mkdir(u"folder.cfg"_s);
    QTest::newRow("missing directory") << path(
        u"missing/x.cfg"_s) << u"Cannot create file \"%1\". No such file or directory."_s.arg(path(u"missing/x.cfg"_s));
    QTest::newRow("parent is a regular file")
        << path(u"plain/x.cfg"_s) << u"Cannot create file \"%1\". Not a directory."_s.arg(path(u"plain/x.cfg"_s));
    QTest::newRow("target is a directory") << path(
        u"folder.cfg"_s) << u"Cannot create file \"%1\". Filename refers to a directory."_s.arg(path(u"folder.cfg"_s));
}

void SavingTest::failureKeepsOldFile()
{
    QFETCH(QString, target);
    QFETCH(QString, expectedMessage);
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QString editorText = m_form->editor()->toPlainText();

    QString title;
    QCOMPARE(saveExpectingError(*m_form, target, &title), expectedMessage);
    QCOMPARE(title, u"Tallyforge 1.0"_s);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(m_form->editor()->toPlainText(), editorText);
    QVERIFY(control<TTextButton>(*m_form, "btnSave")->isEnabled());
    QVERIFY(m_form->saveTo(path(u"after.cfg"_s)));
}

void SavingTest::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<qsizetype>("scriptSize");
    QTest::addColumn<bool>("existing");
    // The default script is smaller than the write buffer: its bytes reach the
    // disk only when the file is flushed.
    const qsizetype defaultScript = FormTest::goldenBytes().size();
    for (const auto &[fault, faultName] :
        { std::pair { Fault::FullDisk, "full tmpfs" }, { Fault::SizeLimit, "size limit" } }) {
        for (const auto &[size, sizeName] :
            { std::pair { defaultScript, "default script" }, { 1024 * 1024, "1 MB script" } }) {
            for (const bool existing : { true, false }) {
                QTest::addRow("%s, %s, %s", faultName, sizeName, existing ? "over a file" : "new file")
                    << int(fault) << size << existing;
            }
        }
    }
}

void SavingTest::fullDiskKeepsOldFile()
{
    QFETCH(int, fault);
    QFETCH(qsizetype, scriptSize);
    QFETCH(bool, existing);
    QTemporaryDir disk;
    const QString folder = disk.path();
    Fault applied { Fault::Kind(fault), folder };
    if (const QString refused = applied.prepare(); !refused.isEmpty())
        QSKIP(qPrintable(refused));
    const QString target = folder + u"/servercfg.cfg"_s;
    if (existing)
        writeFile(target, oldFile);
    applied.strike(scriptSize / 2);
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    const QString text = scriptSize < 4096 ? m_form->editor()->toPlainText() : scriptOf(u"new"_s, scriptSize);
    m_form->editor()->setPlainText(text);
    const QString message = saveExpectingError(*m_form, target);
    const QByteArray left = readFile(target);
    const QStringList after = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    applied.end();

    QCOMPARE(message, u"Stream write error."_s);
    QCOMPARE(left, existing ? oldFile : QByteArray("<missing>"));
    QCOMPARE(after, before);
    // And the next save, elsewhere, works.
    QVERIFY(m_form->saveTo(path(u"elsewhere.cfg"_s)));
    QCOMPARE(readFile(path(u"elsewhere.cfg"_s)), *CfgFile::encode(text));
}

void SavingTest::replacementKeepsTheOwner()
{
    if (geteuid() != 0)
        QSKIP("only root may save over a file of another account here");
    const passwd *nobody = getpwnam("nobody");
    const group *nogroup = getgrnam("nogroup");
    QVERIFY(nobody && nogroup);
    const QString target = path(u"server.cfg"_s);
    writeFile(target, oldFile);
    const Ownership server { nobody->pw_uid, nogroup->gr_gid, 0600 };
    setOwnership(target, server);

    QVERIFY(m_form->saveTo(target));
    QCOMPARE(readFile(target), FormTest::goldenBytes());
    QVERIFY(ownershipOf(target) == server);
}

void SavingTest::fileOfAnotherAccount_data()
{
    QTest::addColumn<bool>("folderOpen"); // to nobody
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("expected"); // the child's answer; "%1" stands for the path
    QTest::addColumn<bool>("replaced");

    const QString text = scriptOf(u"new"_s, 2000);
    const QString lastLine = QString::number(text.count(u'\n') + 1);
    QTest::newRow("folder closed: written in place") << false << text << qint64(0) << u"saved"_s << true;
    QTest::newRow("owner cannot be kept: written in place") << true << text << qint64(0) << u"saved"_s << true;
    QTest::newRow("in place, fails part-way: old bytes back")
        << false << text << qint64(1500) << u"Stream write error. The file's old contents were written back."_s
        << false;
    QTest::newRow("in place, unencodable: refused first") << false << text + u"\u4e16"_s << qint64(0)
                                                          << u"Cannot save file \"%1\". Line "_s + lastLine
            + u" holds the character \"\u4e16\" (U+4E16), which a .cfg file cannot hold."_s
                                                          << false;
}

// A server's folder belongs to root; its script is root's too, but writable
// by the group the saver is in.
void SavingTest::fileOfAnotherAccount()
{
    QFETCH(bool, folderOpen);
    QFETCH(QString, text);
    QFETCH(qint64, limit);
    QFETCH(QString, expected);
    QFETCH(bool, replaced);
    if (geteuid() != 0)
        QSKIP("needs root to set up another account's file and to drop to that of nobody");
    const group *nogroup = getgrnam("nogroup");
    QVERIFY(nogroup);

    // The child runs from a copy that nobody may execute, wherever the build is.
    QTemporaryDir place;
    QVERIFY(::chmod(QFile::encodeName(place.path()).constData(), 0755) == 0);
    const QString executable = place.filePath(u"saver"_s);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), executable));
    const QString folder = place.filePath(u"server"_s);
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderOpen ? 0777 : 0755) == 0);
    const QString target = folder + u"/servercfg.cfg"_s;
    writeFile(target, oldFile);
    const Ownership server { 0, nogroup->gr_gid, 0664 };
    setOwnership(target, server);

    QCOMPARE(saveAsNobody(executable, target, text, limit), QString(expected).replace(u"%1"_s, target));
    QCOMPARE(readFile(target), replaced ? *CfgFile::encode(text) : oldFile);
    QVERIFY(ownershipOf(target) == server);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { u"servercfg.cfg"_s });
}

void SavingTest::unencodableCharacterKeepsOldFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("note");
    const QString large = scriptOf(u"new"_s, 1024 * 1024);
    const QString largeLine = QString::number(large.count(u'\n') + 1);
    const QString cannotHold = u"Line %1 holds the character \"%2\" (U+%3), which a .cfg file cannot hold."_s;
    QTest::newRow("CJK on line 2") << u"set a \"1\"\nset sv_hostname \"caf\u00e9 \u4e16\u754c\""_s
                                   << cannotHold.arg(u"2"_s, u"\u4e16"_s, u"4E16"_s);
    QTest::newRow("emoji") << u"\U0001F600"_s << cannotHold.arg(u"1"_s, u"\U0001F600"_s, u"1F600"_s);
    QTest::newRow("lone surrogate last") << u"x"_s + QChar(0xd800)
                                         << cannotHold.arg(u"1"_s, QString(QChar(0xd800)), u"D800"_s);
    QTest::newRow("C1 control") << QString(QChar(0x85)) << cannotHold.arg(u"1"_s, QString(QChar(0x85)), u"0085"_s);
    QTest::newRow("end of a 1 MB script") << large + u"\u65e5"_s << cannotHold.arg(largeLine, u"\u65e5"_s, u"65E5"_s);
}

void SavingTest::unencodableCharacterKeepsOldFile()
{
    QFETCH(QString, text);
    QFETCH(QString, note);
    writeFile(path(u"e.cfg"_s), oldFile);
    m_form->editor()->setPlainText(text);
    QCOMPARE(
        saveExpectingError(*m_form, path(u"e.cfg"_s)), u"Cannot save file \"%1\". %2"_s.arg(path(u"e.cfg"_s), note));
    QCOMPARE(readFile(path(u"e.cfg"_s)), oldFile);
}

// "servercfg" in the start folder, then the folder the dialog showed last
// (a full path typed saves there and leaves the dialog where it was), and
// after Open the opened file where it lies. The status bar names what was written.
void SavingTest::saveDialogProposesAndRemembers()
{
    const QTemporaryDir dir;
    const auto path = [&dir](const QString &name) { return dir.filePath(name); };
    QVERIFY(QDir(dir.path()).mkpath(u"elsewhere"_s) && QDir(dir.path()).mkpath(u"opened"_s));
    struct Shown {
        QString folder, name;
    };
    // Shows the save dialog through "Save CFG", notes what it proposes and types `typed` into it, or cancels.
    auto save = [this](const QString &typed, const QString &folder = {}) {
        Shown shown;
        ModalWatcher watcher([&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog && dialog->objectName() == u"SaveDialog");
            QCOMPARE(dialog->nameFilters(), QStringList { u".cfg (*.cfg)"_s });
            QCOMPARE(dialog->defaultSuffix(), u"cfg"_s);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            shown = { dialog->directory().absolutePath(), edit->text() };
            if (typed.isEmpty())
                return dialog->reject();
            if (!folder.isEmpty())
                dialog->setDirectory(folder); // browsed there
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            // As its Save button does; the first press after a typed "/" may only take the dialog to a folder.
            for (int presses = 0; presses < 3 && dialog->isVisible(); ++presses)
                static_cast<QDialog *>(dialog)->accept();
        });
        QTest::mouseClick(control<TTextButton>(*m_form, "btnSave"), Qt::LeftButton);
        if (!watcher.answered())
            qFatal("no save dialog");
        return shown;
    };

    const Shown first = save({});
    QCOMPARE(first.name, u"servercfg"_s);
    QCOMPARE(first.folder, QDir::currentPath());
    QVERIFY(QDir(dir.path()).entryList({ u"servercfg*"_s }, QDir::Files).isEmpty());

    // A name typed without its suffix gets ".cfg".
    save(u"myserver"_s, dir.path());
    QCOMPARE(readFile(path(u"myserver.cfg"_s)), FormTest::goldenBytes());
    QCOMPARE(
        m_form->statusBar()->currentMessage(), u"Saved %1."_s.arg(QDir::toNativeSeparators(path(u"myserver.cfg"_s))));

    QCOMPARE(save(path(u"elsewhere/full.cfg"_s)).folder, dir.path());
    QCOMPARE(readFile(path(u"elsewhere/full.cfg"_s)), FormTest::goldenBytes());
    QCOMPARE(save({}).folder, dir.path());

    writeFile(path(u"opened/server.cfg"_s), "set sv_fps 20\n");
    QVERIFY(m_form->openScript(path(u"opened/server.cfg"_s)));
    const Shown afterOpen = save({});
    QCOMPARE(afterOpen.folder, path(u"opened"_s));
    QCOMPARE(afterOpen.name, u"server.cfg"_s);
}

namespace {

int runSavingTest(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--save-child") == 0)
        return saveChild(argv);
    QApplication app(argc, argv);
    Appearance::setUpApplication();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    SavingTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace

TALLYFORGE_TEST_RUN(runSavingTest)
#include "tst_saving.moc"
