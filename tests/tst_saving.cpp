#include "formtest.h"
#include "modalwatcher.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

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
    void partWayWriteFailureKeepsOldFile();
    void unencodableCharacterKeepsOldFile();
    void dialogProposesServercfgAndCancelDoesNothing();

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
    m_form->editor->setPlainText(u"set a \"1\"\nset b \"\u00e9\u20ac\u00a0\"\n\nlast"_s);
    QTextCursor cursor(m_form->editor->document());
    cursor.movePosition(QTextCursor::End);
    m_form->editor->setTextCursor(cursor);
    QTest::keyClick(m_form->editor, Qt::Key_Return, Qt::ShiftModifier); // a line break within a block
    QTest::keyClicks(m_form->editor, u"x"_s);

    QVERIFY(m_form->saveTo(path(u"b.cfg"_s)));
    // Windows-1252: e-acute 0xE9, euro 0x80, no-break space 0xA0 kept as it is.
    QCOMPARE(readFile(path(u"b.cfg"_s)), QByteArray("set a \"1\"\r\nset b \"\xe9\x80\xa0\"\r\n\r\nlast\r\nx"));
}

void SavingTest::emptiedEditorSavesZeroBytes()
{
    writeFile(path(u"c.cfg"_s), "old");
    m_form->editor->selectAll();
    QTest::keyClick(m_form->editor, Qt::Key_Delete);
    QVERIFY(m_form->saveTo(path(u"c.cfg"_s)));
    QCOMPARE(readFile(path(u"c.cfg"_s)), QByteArray());
}

void SavingTest::overwritesAndSavesTwice()
{
    writeFile(path(u"d.cfg"_s), "previous content that is longer than the new one, previous content");
    m_form->editor->setPlainText(u"one"_s);
    QVERIFY(m_form->saveTo(path(u"d.cfg"_s)));
    QCOMPARE(readFile(path(u"d.cfg"_s)), QByteArray("one"));
    m_form->editor->appendPlainText(u"two"_s);
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
    const QString editorText = m_form->editor->toPlainText();

    QString title;
    QCOMPARE(saveExpectingError(*m_form, target, &title), expectedMessage);
    QCOMPARE(title, u"Tallyforge 1.0"_s);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(m_form->editor->toPlainText(), editorText);
    QVERIFY(m_form->btnSave->isEnabled());
    QVERIFY(m_form->saveTo(path(u"after.cfg"_s)));
}

void SavingTest::partWayWriteFailureKeepsOldFile()
{
    const QByteArray old = "the file from yesterday\r\n";
    writeFile(path(u"full.cfg"_s), old);
    m_form->editor->setPlainText(QString(64 * 1024, u'x'));

    // A file size limit makes the disk "full" part-way through the write.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    const QString message = saveExpectingError(*m_form, path(u"full.cfg"_s));
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(message, u"Stream write error."_s);
    QCOMPARE(readFile(path(u"full.cfg"_s)), old);
    QCOMPARE(QDir(m_dir.path()).entryList({ u"full*"_s }, QDir::Files | QDir::Hidden), QStringList { u"full.cfg"_s });
    QVERIFY(m_form->saveTo(path(u"full.cfg"_s)));
    QCOMPARE(readFile(path(u"full.cfg"_s)).size(), 64 * 1024);
}

void SavingTest::unencodableCharacterKeepsOldFile()
{
    writeFile(path(u"e.cfg"_s), "old");
    m_form->editor->setPlainText(u"set a \"1\"\nset sv_hostname \"caf\u00e9 \u4e16\u754c\""_s);
    QCOMPARE(saveExpectingError(*m_form, path(u"e.cfg"_s)),
        u"Cannot save file \"%1\". Line 2 holds the character \"\u4e16\" (U+4E16), which a .cfg file cannot hold."_s
            .arg(path(u"e.cfg"_s)));
    QCOMPARE(readFile(path(u"e.cfg"_s)), QByteArray("old"));

    m_form->editor->setPlainText(u"\U0001F600"_s);
    QVERIFY(saveExpectingError(*m_form, path(u"e.cfg"_s)).contains(u"(U+1F600)"_s));
    QCOMPARE(readFile(path(u"e.cfg"_s)), QByteArray("old"));
}

void SavingTest::dialogProposesServercfgAndCancelDoesNothing()
{
    QFileDialog *dialog = m_form->saveDialog();
    QCOMPARE(dialog->nameFilters(), QStringList { u".cfg (*.cfg)"_s });
    QCOMPARE(dialog->defaultSuffix(), u"cfg"_s);
    QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);

    dialog->setDirectory(m_dir.path());
    QString proposed;
    ModalWatcher watcher([&](QWidget *widget) {
        if (auto *shown = qobject_cast<QFileDialog *>(widget)) {
            proposed = shown->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
            shown->reject();
        }
    });
    QTest::mouseClick(m_form->btnSave, Qt::LeftButton);
    QVERIFY(watcher.answered());
    QCOMPARE(proposed, u"servercfg"_s);
    QVERIFY(QDir(m_dir.path()).entryList({ u"servercfg*"_s }, QDir::Files).isEmpty());
}

QTEST_MAIN(SavingTest)
#include "tst_saving.moc"
