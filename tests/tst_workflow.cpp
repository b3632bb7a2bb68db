#include "app/statusline.h"
#include "formtest.h"
#include "testmain.h"
#include "widgets/ttextbutton.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace FormTest;

class WorkflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statesAcrossFinishClearFinish();
    void windowGeometryIsFixed();
    void hintsShowOnlyInTheStatusBar();
    void menuEntryHintsShowWhileHighlighted();
    void everySentenceCanBeRead();
    void webLinksOpenTheMakersPages();
    void overLongScriptEditedAndCleared();
    void pagesChangedSinceTheScriptWasMade();

public Q_SLOTS:
    void openUrl(const QUrl &url) { m_opened << url; }

private:
    QList<QUrl> m_opened;
};

void WorkflowTest::statesAcrossFinishClearFinish()
{
    TForm1 form;
    showWindow(form);
    QCOMPARE(form.windowTitle(), u"Bravenmark - Tallyforge 1.0"_s);
    const int editorTab = control<QTabWidget>(form, "PageControl1")->indexOf(control<EditorPage>(form, "tabEditor"));
    const int votesTab = control<QTabWidget>(form, "PageControl1")->indexOf(control<VotesPage>(form, "tabVotes"));

    struct State {
        QWidget *activePage;
        bool editorTab, finishVisible, finishEnabled, saveVisible, saveEnabled, clearVisible, save1, slashes;
        bool editorEmpty;
    };
    auto check = [&](const State &s) {
        QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), s.activePage);
        QCOMPARE(control<QTabWidget>(form, "PageControl1")->isTabVisible(editorTab), s.editorTab);
        QVERIFY(!control<QTabWidget>(form, "PageControl1")->isTabVisible(votesTab));
        QCOMPARE(control<TTextButton>(form, "btnFinish")->isVisible(), s.finishVisible);
        QCOMPARE(control<TTextButton>(form, "btnFinish")->isEnabled(), s.finishEnabled);
        QCOMPARE(control<TTextButton>(form, "btnSave")->isVisible(), s.saveVisible);
        QCOMPARE(control<TTextButton>(form, "btnSave")->isEnabled(), s.saveEnabled);
        QCOMPARE(control<TTextButton>(form, "btnClear")->isVisible(), s.clearVisible);
        QCOMPARE(control<QAction>(form, "Save1")->isEnabled(), s.save1);
        QCOMPARE(control<QCheckBox>(form, "chkSlashes")->isEnabled(), s.slashes);
        QCOMPARE(form.editor()->document()->isEmpty(), s.editorEmpty);
    };
    const State start { control<ServerInfoPage>(form, "tabMain"), false, true, true, false, false, false, false, true,
        true };
    const State generated { control<EditorPage>(form, "tabEditor"), true, false, false, true, true, true, true, false,
        false };
    const State cleared { control<ServerInfoPage>(form, "tabMain"), false, true, true, true, false, false, false, false,
        true };

    check(start);
    // Controls changed before the first pass keep their values through "Clear Cfg".
    click(form, "TextButton3");
    click(form, "TextButton19");
    click(form, "TextButton28");
    const QStringList first = finish(form);
    QVERIFY(first.contains(u"set sv_mapRotation \"gametype sd map mp_tigertown \""_s));
    check(generated);
    click(form, "btnClear");
    check(cleared);
    QVERIFY(control<QCheckBox>(form, "chkSlashes")->isChecked());
    QCOMPARE(finish(form), first);
    check(generated);
    // What is changed after "Clear Cfg" is in the next pass.
    click(form, "btnClear");
    control<QLineEdit>(form, "edServername")->setText(u"Second"_s);
    QCOMPARE(finish(form).at(1), u"set sv_hostname \"Second\""_s);
}

void WorkflowTest::windowGeometryIsFixed()
{
    TForm1 form;
    showWindow(form);
    QCOMPARE(form.width(), 770);
    QCOMPARE(form.height() - form.menuBar()->height(), 497);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(form.statusBar()->height(), 19);
    QCOMPARE(form.statusBar()->mapTo(&form, QPoint(0, 0)).y() + 19, form.height());
}

void WorkflowTest::hintsShowOnlyInTheStatusBar()
{
    TForm1 form;
    showWindow(form);

    const QList<QWidget *> widgets = form.findChildren<QWidget *>();
    for (const QWidget *widget : widgets)
        QVERIFY2(widget->toolTip().isEmpty(), qPrintable(widget->objectName()));

    QTest::mouseMove(control<TTextButton>(form, "btnFinish"));
    QTRY_COMPARE(form.statusBar()->currentMessage(), u"Create CFG"_s);
    QTest::mouseMove(control<QCheckBox>(form, "chkSlashes"));
    QTRY_COMPARE(form.statusBar()->currentMessage(),
        u"Check this if you want to add slashes in the cfg to organize. '//' and '//Description'"_s);
    QTest::mouseMove(control<QGroupBox>(form, "GroupBox1"), QPoint(2, 2));
    QTRY_COMPARE(form.statusBar()->currentMessage(), QString());
}

void WorkflowTest::menuEntryHintsShowWhileHighlighted()
{
    TForm1 form;
    showWindow(form);
    finish(form); // File > Save is enabled only now
    auto *menuBar = control<QMenuBar>(form, "MainMenu1");
    const struct {
        QAction *entry;
        QString hint;
    } entries[]
        = { { control<QAction>(form, "Save1"), u"Save CFG"_s }, { control<QAction>(form, "Exit1"), u"Exit Program"_s },
              { control<QAction>(form, "Support1"), u"Support Forums"_s },
              { control<QAction>(form, "Hollowfen1"), u"Visit Hollowfen website"_s } };
    for (const auto &entry : entries) {
        auto *menu = qobject_cast<QMenu *>(entry.entry->parent());
        QVERIFY(menu);
        menuBar->setActiveAction(menu->menuAction());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(entry.entry);
        QTRY_COMPARE(form.statusBar()->currentMessage(), entry.hint);
        QVERIFY(!menu->toolTipsVisible());
        menu->close();
    }
}

namespace {

// The tooltip `widget` shows for the pointer at `pos`; empty for none. A tip being hidden stays on the
// screen a moment, so one that stands for none is shown first.
QString toolTipAt(QWidget *widget, QPoint pos)
{
    const QString none = u"(none)"_s;
    QToolTip::showText(widget->mapToGlobal(pos), none, widget);
    QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() && QToolTip::text() != none ? QToolTip::text() : QString();
}

} // namespace

// At the window's width a long status sentence ends on a whole word and "…", and the pointer shows the rest;
// the result of a save stays over the hints until a click; marks show their sentences where the pointer is.
void WorkflowTest::everySentenceCanBeRead()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(
        u"the folder where this server keeps every script it runs on a night/and the scripts of the nights before it, kept for a month or two"_s);
    QVERIFY(QDir().mkpath(folder));
    QCursor::setPos(0, 0);
    TForm1 form;
    showWindow(form);
    finish(form);
    QVERIFY(form.saveTo(folder + u"/server.cfg"_s));
    auto *bar = control<StatusLine>(form, "StatusBar1");
    const QString result = bar->currentMessage();
    QCOMPARE(result, u"Saved %1."_s.arg(QDir::toNativeSeparators(folder + u"/server.cfg"_s)));

    const QString shown = bar->shownMessage();
    QVERIFY(bar->fontMetrics().horizontalAdvance(result) > bar->width());
    QVERIFY2(shown.endsWith(u'\u2026') && shown.size() < result.size(), qPrintable(shown));
    QVERIFY(result.startsWith(shown.chopped(1)) && result[shown.size() - 1] == u' ');
    // Nothing is painted past the ellipsis: no cut word under it.
    const QImage painted = bar->grab().toImage();
    int lastInk = 0;
    for (int x = 0; x < painted.width(); ++x) {
        for (int y = 0; y < painted.height(); ++y)
            lastInk = qGray(painted.pixel(x, y)) < 128 ? x : lastInk;
    }
    QVERIFY2(lastInk < bar->fontMetrics().horizontalAdvance(shown) + 12, qPrintable(QString::number(lastInk)));
    QCOMPARE(toolTipAt(bar, { 20, bar->height() / 2 }), result);
    // The tooltip wraps at a width a reader's eye can follow.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    const auto tip = std::find_if(windows.cbegin(), windows.cend(),
        [](const QWidget *window) { return window->objectName() == u"qtooltip_label"_s && window->isVisible(); });
    QVERIFY(tip != windows.cend());
    QVERIFY2((*tip)->width() < bar->width() * 3 / 4 && (*tip)->height() > 2 * (*tip)->fontMetrics().height(),
        qPrintable(u"%1 x %2"_s.arg((*tip)->width()).arg((*tip)->height())));

    QTest::mouseMove(control(form, "btnSave"));
    QTRY_COMPARE(bar->currentMessage(), u"Save CFG to hard drive..."_s);
    QTest::mouseMove(control(form, "GroupBox1"), QPoint(2, 2));
    QTRY_COMPARE(bar->currentMessage(), result);
    QTest::mouseClick(control(form, "GroupBox1"), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(bar->currentMessage(), QString());
    QCOMPARE(toolTipAt(bar, { 20, bar->height() / 2 }), QString());

    // A value the game reads otherwise, on its page and in the editor.
    const QString readAs = u"The game reads this as 2."_s;
    auto *field = control<QLineEdit>(form, "edMaxplayers");
    clickTab(form, field->parentWidget());
    field->setText(u"2O"_s);
    QCOMPARE(toolTipAt(field, field->rect().center()), readAs);
    QCOMPARE(toolTipAt(control(form, "edServername"), { 5, 5 }), QString());
    clickTab(form, control(form, "tabEditor"));
    QPlainTextEdit *editor = form.editor();
    editor->setPlainText(u"set sv_maxclients \"2O\""_s);
    QTextCursor cursor(editor->document());
    cursor.setPosition(int(editor->toPlainText().indexOf(u"2O"_s)) + 1);
    QCOMPARE(toolTipAt(editor->viewport(), editor->cursorRect(cursor).center()), readAs);
    cursor.movePosition(QTextCursor::StartOfBlock);
    QCOMPARE(toolTipAt(editor->viewport(), editor->cursorRect(cursor).center() + QPoint(2, 0)), QString());
}

void WorkflowTest::webLinksOpenTheMakersPages()
{
    QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
    TForm1 form;
    control<QAction>(form, "Hollowfen1")->trigger();
    control<QAction>(form, "Support1")->trigger();
    click(form, "TextButton29");
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QCOMPARE(m_opened,
        (QList<QUrl> { QUrl(u"http://hollowfen.example"_s), QUrl(u"http://hollowfen.example/forums/"_s),
            QUrl(u"http://hollowfen.example/ncs/"_s) }));
}

// A script past what one exec takes, edited before and past the limit, then "Clear Cfg" and "Finish!" again.
// CTest runs this under valgrind's memcheck too: the editor must not keep parts of a document that a clear frees.
void WorkflowTest::overLongScriptEditedAndCleared()
{
    TForm1 form;
    showWindow(form);
    const QStringList first = finish(form);
    auto *editor = control<QPlainTextEdit>(form, "editor");
    auto *page = control<EditorPage>(form, "tabEditor");
    editor->selectAll();
    editor->insertPlainText(u"set g_log \"games_mp.log\"\n"_s.repeated(700));
    QVERIFY(!page->sizeNote().isEmpty());
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor, u"x;y"_s);
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Backspace);
    click(form, "btnClear");
    QCOMPARE(page->sizeNote(), QString());
    QCOMPARE(finish(form), first);
    QCOMPARE(page->sizeNote(), QString());
}

TALLYFORGE_TEST_MAIN(WorkflowTest)
#include "tst_workflow.moc"

// The editor keeps what "Finish!" or Open made of the pages; while the pages differ from that, its page says so.
void WorkflowTest::pagesChangedSinceTheScriptWasMade()
{
    TForm1 form;
    showWindow(form);
    auto *page = control<EditorPage>(form, "tabEditor");
    auto *maxPlayers = control<QLineEdit>(form, "edMaxplayers");
    auto notes = [&] {
        QCoreApplication::processEvents();
        return !page->pagesNote().isEmpty();
    };
    maxPlayers->setText(u"21"_s);
    QVERIFY(!notes()); // no script yet

    const QStringList written = finish(form);
    QVERIFY(!notes());
    maxPlayers->setText(u"22"_s);
    QVERIFY(notes());
    QVERIFY(page->findChild<QLabel *>(u"pagesNote"_s)->isVisible());
    QCOMPARE(editorLines(form), written);
    maxPlayers->setText(u"21"_s);
    QVERIFY(!notes());
    control<QAbstractButton>(form, "rbCheats1")->setChecked(true);
    control<QAbstractButton>(form, "chkKick")->setChecked(true);
    QVERIFY(notes());
    click(form, "btnClear");
    QVERIFY(!notes());
    finish(form);
    QVERIFY(!notes());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"server.cfg"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("set sv_maxclients 16\nexec other.cfg\n") > 0);
    file.close();
    QVERIFY(form.openScript(path));
    QVERIFY(!notes());
    control<QAbstractButton>(form, "chkMaxplayers")->setChecked(false);
    QVERIFY(notes());
    control<QAbstractButton>(form, "chkMaxplayers")->setChecked(true);
    QVERIFY(!notes());
}
