#include "formtest.h"
#include "testmain.h"
#include "widgets/systemcolors.h"
#include "widgets/tappendedit.h"

#include <QWindow>

using namespace Qt::StringLiterals;
using namespace FormTest;

// The window driven from the keyboard, with key presses delivered through the
// window system interface as a desktop delivers them.
class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pageSwitchingVisitsShownTabs_data();
    void pageSwitchingVisitsShownTabs();
    void rotationEditKeepsCaretAndSelection_data();
    void rotationEditKeepsCaretAndSelection();
};

namespace {

void press(TForm1 &form, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(form.windowHandle(), key, modifiers);
}

void showActive(TForm1 &form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form))
        qFatal("the window never became active");
}

bool hasColour(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

} // namespace

void KeyboardTest::pageSwitchingVisitsShownTabs_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("onStrip"); // the focus on the tab strip, else on the page
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QStringList>("visits");

    const QKeyCombination next(Qt::ControlModifier, Qt::Key_Tab);
    const QKeyCombination previous(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Backtab);
    const QStringList shown { u"TabSheet2"_s, u"TabSheet3"_s, u"TabSheet4"_s, u"TabSheet5"_s, u"TabSheet6"_s,
        u"TabSheet1"_s, u"tabMain"_s };
    QStringList back = shown.mid(0, 6);
    std::reverse(back.begin(), back.end());
    back << u"tabMain"_s;
    QTest::newRow("ctrl+Tab round the shown tabs") << u"tabMain"_s << false << next << shown;
    QTest::newRow("ctrl+shift+Tab round the shown tabs") << u"tabMain"_s << false << previous << back;
    QTest::newRow("ctrl+Tab on the strip")
        << u"TabSheet6"_s << true << next << QStringList { u"TabSheet1"_s, u"tabMain"_s };
    QTest::newRow("after Finish the editor's tab is one of them")
        << u"tabEditor"_s << false << next
        << QStringList { u"TabSheet1"_s, u"tabMain"_s, u"TabSheet2"_s, u"TabSheet3"_s, u"TabSheet4"_s, u"TabSheet5"_s,
               u"TabSheet6"_s, u"tabEditor"_s };
    QTest::newRow("from Votes forward") << u"tabVotes"_s << false << next
                                        << QStringList { u"tabMain"_s, u"TabSheet2"_s };
    QTest::newRow("from Votes backward") << u"tabVotes"_s << false << previous
                                         << QStringList { u"TabSheet1"_s, u"TabSheet6"_s };
    // The arrow keys on the strip stop at its ends.
    QTest::newRow("Right on the strip") << u"TabSheet6"_s << true << QKeyCombination(Qt::Key_Right)
                                        << QStringList { u"TabSheet1"_s, u"TabSheet1"_s };
    QTest::newRow("Left on the strip") << u"TabSheet1"_s << true << QKeyCombination(Qt::Key_Left)
                                       << QStringList { u"TabSheet6"_s, u"TabSheet5"_s };
}

void KeyboardTest::pageSwitchingVisitsShownTabs()
{
    QFETCH(QString, start);
    QFETCH(bool, onStrip);
    QFETCH(QKeyCombination, key);
    QFETCH(QStringList, visits);

    TForm1 form;
    showActive(form);
    // Each page reached the way a user reaches it.
    if (start == u"tabEditor"_s)
        click(form, "btnFinish");
    else if (start == u"tabVotes"_s)
        QTest::mouseClick(control<QAbstractButton>(form, "Button2"), Qt::LeftButton);
    else
        clickTab(form, control(form, start));
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget()->objectName(), start);
    QWidget *page = control<QTabWidget>(form, "PageControl1")->currentWidget();
    if (onStrip)
        control<QTabWidget>(form, "PageControl1")->tabBar()->setFocus(Qt::TabFocusReason);
    for (QWidget *next = page; !onStrip && !page->isAncestorOf(QApplication::focusWidget());
         next = next->nextInFocusChain()) {
        if (page->isAncestorOf(next) && next->focusPolicy() & Qt::TabFocus && next->isVisible() && next->isEnabled())
            next->setFocus(Qt::MouseFocusReason);
    }

    QStringList visited;
    for (qsizetype i = 0; i < visits.size(); ++i) {
        press(form, key.key(), key.keyboardModifiers());
        visited << control<QTabWidget>(form, "PageControl1")->currentWidget()->objectName();
    }
    QCOMPARE(visited, visits);
}

void KeyboardTest::rotationEditKeepsCaretAndSelection_data()
{
    QTest::addColumn<int>("enter");
    QTest::addColumn<int>("leave");
    QTest::newRow("by Tab") << int(Qt::Key_Tab) << int(Qt::Key_Backtab);
    QTest::newRow("by Backtab") << int(Qt::Key_Backtab) << int(Qt::Key_Tab);
    QTest::newRow("by a shortcut") << 0 << int(Qt::Key_Tab);
}

void KeyboardTest::rotationEditKeepsCaretAndSelection()
{
    QFETCH(int, enter);
    QFETCH(int, leave);

    TForm1 form;
    showActive(form);
    control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<MapRotationPage>(form, "TabSheet6"));
    auto *edit = control<TAppendEdit>(form, "edRotation");
    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), edit);
    // The neighbour that `leave` goes to is the one `enter` comes back from.
    press(form, Qt::Key(leave));
    QWidget *neighbour = QApplication::focusWidget();
    QVERIFY(neighbour != edit);
    auto enterEdit = [&] {
        if (enter) {
            neighbour->setFocus();
            press(form, Qt::Key(enter));
        } else {
            edit->setFocus(Qt::ShortcutFocusReason);
        }
        QCOMPARE(QApplication::focusWidget(), edit);
    };

    click(form, "TextButton1");
    click(form, "TextButton7");
    QCOMPARE(edit->text(), u"gametype dm map mp_bocage "_s);
    enterEdit();
    QVERIFY2(!edit->hasSelectedText(), qPrintable(edit->selectedText()));
    QCOMPARE(edit->cursorPosition(), 0);

    // Select "bocage" from its end back, leave, come back.
    press(form, Qt::Key_End);
    press(form, Qt::Key_Left);
    for (int i = 0; i < 6; ++i)
        press(form, Qt::Key_Left, Qt::ShiftModifier);
    const QColor selection = systemColor(SystemColor::HotTrack);
    QVERIFY(hasColour(edit->grab().toImage(), selection));
    press(form, Qt::Key(leave));
    QCOMPARE(QApplication::focusWidget(), neighbour);
    QCOMPARE(edit->selectedText(), u"bocage"_s);
    const QImage away = edit->grab().toImage();
    enterEdit();
    QCOMPARE(edit->selectedText(), u"bocage"_s);
    QCOMPARE(edit->cursorPosition(), 19);
    QVERIFY(hasColour(edit->grab().toImage(), selection));
    // Without the focus the kept selection draws as none at all: no highlight, no caret.
    neighbour->setFocus();
    edit->deselect();
    QCOMPARE(edit->grab().toImage(), away);
}

TALLYFORGE_TEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
