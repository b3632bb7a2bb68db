// Opening a script: the pages take what the game would set, every other line
// is kept and follows the sections, and running the regenerated script ends
// every variable the file sets with the same value.

#include "consolemodel.h"
#include "formtest.h"
#include "modalwatcher.h"
#include "script/scriptfile.h"
#include "testmain.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(u"opened.cfg"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    TestRunner::keepFuzzSeed(u"script", bytes);
    return path;
}

// Everything opening may change: every control, the editor, the buttons, the kept lines.
QStringList windowState(const TForm1 &form)
{
    QStringList state;
    for (const QAbstractButton *button : form.findChildren<QAbstractButton *>()) {
        state << u"%1 %2 %3 %4"_s.arg(button->objectName())
                     .arg(button->isChecked())
                     .arg(button->isVisibleTo(&form))
                     .arg(button->isEnabled());
    }
    for (const QLineEdit *edit : form.findChildren<QLineEdit *>())
        state << edit->objectName() + u' ' + edit->text();
    state << control<QPlainTextEdit>(form, "editor")->toPlainText() << form.document()->keptLines()
          << QString::number(control<QTabWidget>(form, "PageControl1")->currentIndex());
    return state;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class OpeningTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsTakeOnlyWhatTheyWriteBack_data();
    void rowsTakeOnlyWhatTheyWriteBack();
    void handWrittenFile();
    void waysIn_data();
    void waysIn();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void asksBeforeReplacingEdits_data();
    void asksBeforeReplacingEdits();
    void asksBeforeReplacingTypedValues_data();
    void asksBeforeReplacingTypedValues();
    void windowGoesWhileItsDialogIsOpen_data();
    void windowGoesWhileItsDialogIsOpen();
    void rotationUndoStartsAfresh();
};

// Where the sections stand among the kept lines; first when a row does not say.
const QString sections = u"<sections>"_s;

void OpeningTest::rowsTakeOnlyWhatTheyWriteBack_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("include"); // the row's include box, a box without one, or chkSlashes
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("kept");

    const auto row = [](const char *name, QStringList lines, const char *include, bool taken, QStringList kept) {
        QTest::newRow(name) << lines << QString::fromLatin1(include) << taken << kept;
    };
    row("the last value counts", { u"set g_gametype tdm"_s, u"set g_gametype sd"_s }, "chkGametype", true, {});
    row("the last value counts, an earlier one marked", { u"set g_gametype ctf"_s, u"set g_gametype sd"_s },
        "chkGametype", false, { u"set g_gametype ctf"_s, u"set g_gametype sd"_s });
    row("no button writes it", { u"set g_gametype \"ctf\""_s }, "chkGametype", false, { u"set g_gametype \"ctf\""_s });
    row("a button writes it in small letters", { u"set g_gametype DM"_s }, "chkGametype", false,
        { u"set g_gametype DM"_s });
    // Read as "a b ": the edit shows it and writes it back so; the mark keeps the line.
    row("quotes inside", { u"set sv_hostname \"a\"b\""_s }, "chkSvname", false, { u"set sv_hostname \"a\"b\""_s });
    row("unquoted accented value", { u"set sv_hostname Caf\u00e9 Cr\u00e8me"_s }, "chkSvname", false,
        { u"set sv_hostname Caf\u00e9 Cr\u00e8me"_s });
    row("a number read otherwise", { u"set sv_maxclients 2O"_s }, "chkMaxplayers", false,
        { u"set sv_maxclients 2O"_s });
    // The quotes the row adds would take the line past what the console reads.
    const QString longLine = u"set sv_hostname "_s + QString(1007, u'x');
    row("too long once quoted", { longLine }, "chkSvname", false, { longLine });
    row("value box", { u"set sv_wwwDownload 1"_s }, "chkWWW", true, {});
    row("value box, not 1 or 0", { u"set sv_wwwDownload 2"_s }, "chkWWW", false, { u"set sv_wwwDownload 2"_s });
    row("seta keeps its flag", { u"SETA SV_FPS 30"_s }, "chkSvfps", false, { u"SETA SV_FPS 30"_s });
    row("sets where the row writes set", { u"sets sv_fps 20"_s }, "chkSvfps", false, { u"sets sv_fps 20"_s });
    row("sets, then set", { u"sets sv_fps 20"_s, u"set sv_fps 20"_s }, "chkSvfps", false,
        { u"sets sv_fps 20"_s, u"set sv_fps 20"_s });
    row("set where the row writes sets", { u"set .Location here"_s }, "chkLocation", false,
        { u"set .Location here"_s });
    row("comment after the value", { u"set sv_fps 20 // twenty"_s }, "chkSvfps", false,
        { u"set sv_fps 20 // twenty"_s });
    row("with another variable", { u"set sv_fps 20; set foo 1"_s }, "chkSvfps", false,
        { u"set sv_fps 20; set foo 1"_s });
    row("named by another command", { u"set sv_pure 1"_s, u"toggle sv_pure"_s }, "chkPure", false,
        { u"set sv_pure 1"_s, u"toggle sv_pure"_s });
    row("exec before a taken setting", { u"exec mod.cfg"_s, u"set sv_fps 30"_s }, "chkSvfps", true,
        { u"exec mod.cfg"_s, sections });
    row("exec after a taken setting", { u"set sv_fps 30"_s, u"exec mod.cfg"_s }, "chkSvfps", true,
        { u"exec mod.cfg"_s });
    row("set on both sides of an exec", { u"set sv_fps 10"_s, u"exec mod.cfg"_s, u"set sv_fps 30"_s }, "chkSvfps", true,
        { u"set sv_fps 10"_s, u"exec mod.cfg"_s, sections });
    row("exec with more after it", { u"set sv_fps 30"_s, u"exec mod.cfg"_s, u"set sv_pure 1"_s, u"set g_log x"_s },
        "chkSvfps", false, { u"set sv_fps 30"_s, u"exec mod.cfg"_s, sections });
    row("vstr", { u"set sv_fps 30"_s, u"vstr next"_s, u"set sv_pure 1"_s, u"set g_log x"_s }, "chkPure", true,
        { u"set sv_fps 30"_s, u"vstr next"_s, sections });
    row("a closing map_rotate", { u"set sv_fps 30"_s, u"set sv_pure 1"_s, u"map_rotate"_s }, "chkSvfps", true,
        { u"map_rotate"_s });
    row("a weapon the file sets before the sections",
        { u"set scr_allow_bar 0"_s, u"map mp_depot"_s, u"set sv_pure 1"_s, u"set g_log x"_s }, "chkBar", true,
        { u"map mp_depot"_s, u"set sv_pure 1"_s, u"set g_log x"_s });
    row("a pair's first alone", { u"sets .Admin Bob"_s }, "chkAdmin1", true, {});
    row("a pair's numbered first alone", { u"sets .Admin1 Bob"_s }, "chkAdmin1", false, { u"sets .Admin1 Bob"_s });
    row("a pair whole", { u"sets .Admin1 Bob"_s, u"sets .Admin2 Ann"_s }, "chkAdmin2", true, {});
    row("a pair and its unnumbered first", { u"sets .Admin Al"_s, u"sets .Admin1 Bob"_s, u"sets .Admin2 Ann"_s },
        "chkAdmin1", true, { u"sets .Admin Al"_s });
    row("weapon box, not 1 or 0", { u"set scr_allow_bar 2"_s }, "chkBar", false, { u"set scr_allow_bar 2"_s });
    row("vote box", { u"set g_allowVoteKick 1"_s }, "chkKick", true, {});
    row("rotation", { u"set sv_mapRotation \"gametype sd map mp_depot\""_s }, "chkMpr", true, {});
    row("set with nothing to set", { u"set sv_fps"_s }, "chkSvfps", false, { u"set sv_fps"_s });
    row("a lone //", { u"//"_s, u"set sv_fps 30"_s }, "chkSlashes", false, { u"//"_s });
    row("the window's own comments", { u"//Server Options"_s, u"set sv_fps 30"_s, u"//"_s }, "chkSlashes", true, {});
}

// Each case runs the file and the script "Finish!" writes after it in the
// tests' own model of the console.
void OpeningTest::rowsTakeOnlyWhatTheyWriteBack()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, include);
    QFETCH(bool, taken);
    QFETCH(QStringList, kept);

    QTemporaryDir dir;
    TForm1 form;
    const auto *box = control<QCheckBox>(form, include);
    const bool startState = box->isChecked();
    QVERIFY(form.openScript(writeFile(dir, QStringEncoder("windows-1252").encode(lines.join(u'\n')))));
    const qsizetype before = std::max<qsizetype>(kept.indexOf(sections), 0);
    kept.removeAll(sections);
    QCOMPARE(form.document()->keptLines(), kept);
    QCOMPARE(form.document()->keptBeforeSections(), before);
    if (box->statusTip() == PageKit::includeHint || include == u"chkMpr" || include == u"chkSlashes")
        QCOMPARE(box->isChecked(), taken);
    else if (!taken)
        QCOMPARE(box->isChecked(), startState);

    click(form, "btnClear");
    const QStringList regenerated = finish(form);
    QCOMPARE(ConsoleModel::difference(lines, regenerated), QString());
    QCOMPARE(regenerated.first(before), kept.first(before));
    QCOMPARE(regenerated.sliced(regenerated.size() - kept.size() + before), kept.sliced(before));
}

void OpeningTest::handWrittenFile()
{
    // LF line ends, a comment holding the bytes Windows-1252 leaves undefined, and the window's own headings.
    const QByteArray bytes = "// my server \x81\x8d\x8f\x90\x9d\n"
                             "//Server Options\n"
                             "seta sv_hostname \"^1My ^7Server\"\n"
                             "\n"
                             "exec other.cfg\n"
                             "set sv_maxclients 24\n"
                             "set scr_allow_panzerfaust 1\n"
                             "map mp_bocage\n";
    QTemporaryDir dir;
    const QString path = writeFile(dir, bytes);
    TForm1 form;
    showWindow(form);
    QVERIFY(form.openScript(path));

    QVERIFY(!control<QCheckBox>(form, "chkSvname")->isChecked()); // seta's flag stays with its line
    QCOMPARE(control<QLineEdit>(form, "edMaxplayers")->text(), u"24"_s);
    QVERIFY(control<QCheckBox>(form, "chkPanzer")->isChecked());
    QVERIFY(!control<QCheckBox>(form, "chkPure")->isChecked()); // not in the file
    QVERIFY(control<QCheckBox>(form, "chkSlashes")->isChecked());
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), control(form, "tabEditor"));
    QVERIFY(!control(form, "btnFinish")->isVisible() && control(form, "btnSave")->isEnabled());
    QCOMPARE(form.statusBar()->currentMessage(),
        u"Read 2 settings into the pages; 4 lines are kept as written. 25 boxes the file gives no value they can "
        "show kept their start values."_s);

    // Saving at once gives the file back, line ends as CR LF.
    const QString saved = dir.filePath(u"saved.cfg"_s);
    QVERIFY(form.saveTo(saved));
    QCOMPARE(readFile(saved), QByteArray(bytes).replace("\n", "\r\n"));

    click(form, "btnClear");
    const QStringList lines = finish(form);
    // The sections stand where the file set what the pages took: after the exec, before the map.
    const QStringList before = { u"// my server \u0081\u008d\u008f\u0090\u009d"_s,
        u"seta sv_hostname \"^1My ^7Server\""_s, u"exec other.cfg"_s };
    QCOMPARE(lines.first(4), before + QStringList { u"//Server Information"_s });
    QCOMPARE(lines.mid(lines.indexOf(u"//Weapons"_s) + 18), QStringList { u"map mp_bocage"_s });
}

void OpeningTest::waysIn_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("dropped on a page") << u"page"_s;
    QTest::newRow("dropped on the editor") << u"editor"_s;
    QTest::newRow("File menu") << u"menu"_s;
}

void OpeningTest::waysIn()
{
    QFETCH(QString, way);
    QTemporaryDir dir;
    const QString path = writeFile(dir, "set sv_fps 30\nexec other.cfg\n");
    TForm1 form;
    showWindow(form);
    if (way == u"editor")
        click(form, "btnFinish");
    QMenu *fileMenu = form.menuBar()->findChild<QMenu *>(u"este1"_s);
    QAction *open = control<QAction>(form, "Open1");
    QCOMPARE(fileMenu->actions().first(), open);
    QCOMPARE(open->shortcut(), QKeySequence(QKeySequence::Open));

    if (way == u"menu") {
        ModalWatcher watcher([&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog);
            QCOMPARE(dialog->nameFilters(), (QStringList { u"Config scripts (*.cfg)"_s, u"All files (*)"_s }));
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // as its Open button does
        });
        open->trigger();
        QVERIFY(watcher.answered());
    } else {
        QWidget *target
            = way == u"editor" ? control<QPlainTextEdit>(form, "editor")->viewport() : control(form, "tabMain");
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(path) });
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    QTRY_COMPARE(form.document()->keptLines(), QStringList { u"exec other.cfg"_s });
    QCOMPARE(control<QLineEdit>(form, "edSvfps")->text(), u"30"_s);
    QCOMPARE(control<QPlainTextEdit>(form, "editor")->toPlainText(), u"set sv_fps 30\nexec other.cfg\n"_s);
}

void OpeningTest::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("name"); // in the temporary folder, or an absolute path
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << u"missing.cfg"_s << u"No such file"_s;
    QTest::newRow("folder") << u"folder.cfg"_s << u"It is a folder"_s;
    QTest::newRow("NUL byte") << u"nul.cfg"_s << u"Line 2 holds a NUL byte"_s;
    QTest::newRow("over 1 MiB") << u"large.cfg"_s << u"larger than 1,048,576 bytes"_s;
    QTest::newRow("FIFO") << u"fifo.cfg"_s << u"It is a pipe"_s;
    QTest::newRow("device") << u"/dev/zero"_s << u"It is a device"_s;
}

void OpeningTest::badInputChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder.cfg"_s));
    writeFile(dir, QByteArray("set sv_fps 30\n\0\n", 16));
    QVERIFY(QFile::rename(dir.filePath(u"opened.cfg"_s), dir.filePath(u"nul.cfg"_s)));
    writeFile(dir, QByteArray(ScriptFile::largestBytes + 1, 'x'));
    QVERIFY(QFile::rename(dir.filePath(u"opened.cfg"_s), dir.filePath(u"large.cfg"_s)));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"fifo.cfg"_s)).constData(), 0600), 0);

    // A window with a script opened and changed.
    TForm1 form;
    showWindow(form);
    QVERIFY(form.openScript(writeFile(dir, "set sv_fps 30\nexec other.cfg\n")));
    control<QPlainTextEdit>(form, "editor")->appendPlainText(u"set typed 1"_s);
    control<QLineEdit>(form, "edServername")->setText(u"changed"_s);
    const QStringList before = windowState(form);

    const QString path = QFileInfo(name).isAbsolute() ? name : dir.filePath(name);
    QString title, text;
    ModalWatcher watcher(ModalWatcher::acceptMessage(&title, &text));
    QVERIFY(!form.openScript(path));
    QVERIFY(watcher.answered());
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)) && text.contains(reason), qPrintable(text));
    QCOMPARE(windowState(form), before);
}

void OpeningTest::asksBeforeReplacingEdits_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("Escape") << u"menu"_s << u"Escape"_s << false;
    QTest::newRow("Cancel") << u"menu"_s << u"Cancel"_s << false;
    QTest::newRow("Discard") << u"menu"_s << u"Discard"_s << true;
    QTest::newRow("Save") << u"menu"_s << u"Save"_s << true;
    QTest::newRow("Save, then cancel the save dialog") << u"menu"_s << u"Save, cancelled"_s << false;
    QTest::newRow("dropped, Escape") << u"drop"_s << u"Escape"_s << false;
}

// Keys typed into the editor of a shown window are unsaved edits: Open asks
// first, and only Discard or a save that succeeded lets the file in.
void OpeningTest::asksBeforeReplacingEdits()
{
    QFETCH(QString, way);
    QFETCH(QString, answer);
    QFETCH(bool, opened);
    QTemporaryDir dir;
    const QString first = dir.filePath(u"first.cfg"_s);
    QFile::rename(writeFile(dir, "set sv_fps 30\n"), first);
    const QString second = writeFile(dir, "set sv_fps 20\n");
    const QString saved = dir.filePath(u"saved.cfg"_s);

    TForm1 form;
    showWindow(form);
    QVERIFY(form.openScript(first));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.editor()->setFocus();
    form.editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(form.editor(), u"set typed 1"_s);

    QList<ModalWatcher::Handler> answers;
    if (way == u"menu") {
        answers << [&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog && dialog->objectName() == u"OpenDialog");
            dialog->selectFile(second);
            static_cast<QDialog *>(dialog)->accept();
        };
    }
    answers << [&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), TForm1::applicationTitle);
        QVERIFY2(
            box->text().contains(u"not saved"_s) && box->text().contains(u"opened.cfg"_s), qPrintable(box->text()));
        QCOMPARE(box->standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        if (answer == u"Escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (answer.startsWith(u"Save"))
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::keyClick(
                box->button(answer == u"Cancel" ? QMessageBox::Cancel : QMessageBox::Discard), Qt::Key_Space);
    };
    if (answer.startsWith(u"Save")) {
        answers << [&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog && dialog->objectName() == u"SaveDialog");
            if (answer.contains(u"cancelled"))
                return QTest::keyClick(dialog, Qt::Key_Escape);
            dialog->selectFile(saved);
            static_cast<QDialog *>(dialog)->accept();
        };
    }
    ModalWatcher watcher(answers);
    if (way == u"menu") {
        QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    } else {
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(second) });
        QWidget *target = form.editor()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    QTRY_VERIFY(watcher.answered());
    QTest::qWait(20); // a drop opens once the event loop turns

    QCOMPARE(control<QLineEdit>(form, "edSvfps")->text(), opened ? u"20"_s : u"30"_s);
    QCOMPARE(form.editor()->toPlainText(), opened ? u"set sv_fps 20\n"_s : u"set sv_fps 30\nset typed 1"_s);
    QCOMPARE(QFile::exists(saved), answer == u"Save");
    if (answer == u"Save")
        QCOMPARE(readFile(saved), QByteArray("set sv_fps 30\r\nset typed 1"));
}

void OpeningTest::asksBeforeReplacingTypedValues_data()
{
    // What the user does before Ctrl+O: "name" types into the server name, "back" takes it out again,
    // "finish" and "clear" press the buttons.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("asks");
    QTest::newRow("typed at the start") << QStringList { u"name"_s } << true;
    QTest::newRow("typed and taken back") << QStringList { u"name"_s, u"back"_s } << false;
    QTest::newRow("typed, then Finish!") << QStringList { u"name"_s, u"finish"_s } << false;
    QTest::newRow("typed after Finish!") << QStringList { u"finish"_s, u"name"_s } << true;
    QTest::newRow("typed after Clear Cfg") << QStringList { u"finish"_s, u"clear"_s, u"name"_s } << true;
    QTest::newRow("Clear Cfg alone") << QStringList { u"name"_s, u"finish"_s, u"clear"_s } << false;
}

// Values typed on the pages and in no script are unsaved work too: Open asks before it replaces them, and
// Escape keeps them. Whatever "Finish!" wrote is no longer at stake on the pages.
void OpeningTest::asksBeforeReplacingTypedValues()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, asks);
    QTemporaryDir dir;
    const QString path = writeFile(dir, "set sv_hostname \"Opened\"\n");
    TForm1 form;
    showWindow(form);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto *name = control<QLineEdit>(form, "edServername");
    const QString typed = name->text() + u" X"_s;
    for (const QString &step : steps) {
        if (step == u"finish" || step == u"clear") {
            click(form, step == u"finish" ? "btnFinish" : "btnClear");
            continue;
        }
        clickTab(form, control(form, "tabMain"));
        name->setFocus(Qt::MouseFocusReason);
        name->end(false);
        if (step == u"name")
            QTest::keyClicks(name, u" X"_s);
        else
            QTest::keyClicks(name, QString(2, QChar(u'\b')));
    }
    const QString before = name->text();

    QString box;
    QList<ModalWatcher::Handler> answers { [&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    } };
    if (asks) {
        answers << [&](QWidget *widget) {
            auto *message = qobject_cast<QMessageBox *>(widget);
            QVERIFY(message);
            box = message->text();
            QCOMPARE(message->standardButtons(), QMessageBox::Discard | QMessageBox::Cancel);
            QTest::keyClick(message, Qt::Key_Escape);
        };
    }
    ModalWatcher watcher(answers);
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QTRY_VERIFY(watcher.answered());
    QTest::qWait(20);
    QCOMPARE(name->text(), asks ? before : u"Opened"_s);
    if (asks) {
        QCOMPARE(before, typed);
        QCOMPARE(box, u"The values typed on the pages are in no saved script. Opening opened.cfg replaces them."_s);
    }
}

// Ctrl+Z in the rotation edit after Open does not reach the text typed before it.
void OpeningTest::rotationUndoStartsAfresh()
{
    QTemporaryDir dir;
    TForm1 form;
    showWindow(form);
    auto *rotation = control<QLineEdit>(form, "edRotation");
    rotation->setFocus();
    QTest::keyClicks(rotation, u" map mp_depot"_s);
    QVERIFY(form.openScript(writeFile(dir, "set sv_mapRotation \"gametype sd map mp_bocage\"\n")));
    QTest::keyClick(rotation, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rotation->text(), u"gametype sd map mp_bocage"_s);
}

void OpeningTest::windowGoesWhileItsDialogIsOpen_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char *dialog : { "OpenDialog", "ReplaceBox", "SaveDialog", "ErrorBox", "GameFolderDialog" })
        QTest::newRow(dialog) << QString::fromLatin1(dialog);
}

// The window may go while a dialog of its runs, and takes the dialog with it: nothing touches either afterwards.
void OpeningTest::windowGoesWhileItsDialogIsOpen()
{
    QFETCH(QString, dialog);
    QTemporaryDir dir;
    const QString path = writeFile(dir, "set sv_fps 20\n");
    auto *form = new TForm1;
    showWindow(*form);
    QPointer<QWidget> shown;
    QList<ModalWatcher::Handler> answers;
    if (dialog == u"ReplaceBox") {
        form->editor()->setPlainText(u"set typed 1"_s);
        form->editor()->document()->setModified(true);
        answers << [&](QWidget *widget) {
            auto *open = qobject_cast<QFileDialog *>(widget);
            QVERIFY(open);
            open->selectFile(path);
            static_cast<QDialog *>(open)->accept();
        };
    }
    answers << [&](QWidget *widget) {
        shown = widget;
        QCOMPARE(widget->objectName(), dialog);
        delete form;
    };
    ModalWatcher watcher(answers);
    if (dialog == u"OpenDialog" || dialog == u"ReplaceBox")
        form->Open1Click();
    else if (dialog == u"SaveDialog")
        form->Save1Click();
    else if (dialog == u"ErrorBox")
        QVERIFY(!form->openScript(dir.filePath(u"missing.cfg"_s)));
    else
        form->GameFolder1Click();
    QVERIFY(watcher.answered());
    QVERIFY(shown.isNull());
}

TALLYFORGE_TEST_MAIN(OpeningTest)
#include "tst_opening.moc"
