#include "formtest.h"
#include "modalwatcher.h"
#include "testmain.h"
#include "widgets/tappendedit.h"
#include "widgets/ttextbutton.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace FormTest;

class ControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textButtonClicks();
    void textButtonFollowsHoverPressAndHide();

    void appendLandsAtTheEndWhateverTheCaret_data();
    void appendLandsAtTheEndWhateverTheCaret();
    void settingEqualTextLeavesCaretAndSelection();
    void undoKeepsAppendedText();
    void contextMenuEntriesFollowState();
    void caretBlinksAt530msOnlyWhileFocused();
};

void ControlsTest::textButtonClicks()
{
    QWidget window;
    auto *other = new QLineEdit(&window);
    auto *button = new TTextButton(u"Bocage"_s, &window);
    button->move(0, 40);
    showWindow(window);
    other->setFocus();
    QSignalSpy clicks(button, &TTextButton::clicked);

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY2(button->hasFocus(), "a press takes the keyboard focus");

    doubleClick(button);
    QCOMPARE(clicks.count(), 3);

    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 4);
    QTest::mouseClick(button, Qt::RightButton);
    QCOMPARE(clicks.count(), 4);

    button->setEnabled(false);
    QCOMPARE(button->drawState(), TTextButton::DrawState::Disabled);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 4);
}

void ControlsTest::textButtonFollowsHoverPressAndHide()
{
    QWidget window;
    window.resize(200, 200);
    auto *button = new TTextButton(u"Finish!"_s, &window);
    button->move(100, 100); // away from the pointer, which would make it hot when shown
    showWindow(window);
    QCOMPARE(button->size(), QSize(75, 25));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(button, &enter);
    QCOMPARE(button->drawState(), TTextButton::DrawState::Hot);
    button->setDown(true);
    QCOMPARE(button->drawState(), TTextButton::DrawState::Pressed);
    button->setDown(false);

    button->hide();
    button->show();
    QVERIFY2(!button->isHovered(), "a button shown again never starts hot");
    QCOMPARE(button->drawState(), TTextButton::DrawState::Normal);
}

void ControlsTest::appendLandsAtTheEndWhateverTheCaret_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::newRow("caret at the start") << 0 << -1 << 0;
    QTest::newRow("caret in the middle") << 5 << -1 << 0;
    QTest::newRow("part selected") << 0 << 2 << 6;
    QTest::newRow("all selected") << 0 << 0 << 11;
}

void ControlsTest::appendLandsAtTheEndWhateverTheCaret()
{
    QFETCH(int, caret);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    TAppendEdit edit;
    edit.setEditText(u"gametype sd"_s);
    edit.setCursorPosition(caret);
    if (selectionStart >= 0)
        edit.setSelection(selectionStart, selectionLength);

    edit.append(u"map mp_carentan "_s);
    QCOMPARE(edit.text(), u"gametype sdmap mp_carentan "_s);
    QCOMPARE(edit.cursorPosition(), 0);
    QVERIFY(!edit.hasSelectedText());

    edit.append(QString());
    QCOMPARE(edit.text(), u"gametype sdmap mp_carentan "_s);
}

void ControlsTest::settingEqualTextLeavesCaretAndSelection()
{
    TAppendEdit edit;
    edit.setEditText(u"gametype dm "_s);
    edit.setSelection(3, 4);
    edit.setEditText(u"gametype dm "_s);
    QCOMPARE(edit.selectionStart(), 3);
    QCOMPARE(edit.selectedText(), u"etyp"_s);
}

void ControlsTest::undoKeepsAppendedText()
{
    TAppendEdit edit;
    showWindow(edit);
    edit.setFocus();
    QTest::keyClicks(&edit, u"gametype"_s);
    QTest::keyClick(&edit, Qt::Key_Space);
    QTest::keyClicks(&edit, u"dm"_s);
    edit.append(u" map mp_bocage "_s);
    edit.setCursorPosition(2);

    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), u"gametype  map mp_bocage "_s);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), u"gametype map mp_bocage "_s);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), u" map mp_bocage "_s);
    QVERIFY(!edit.undoStack()->canUndo());
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(edit.text(), u"gametype map mp_bocage "_s);

    edit.setSelection(0, 9);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), u"map mp_bocage "_s);
    edit.append(u"map mp_harbor "_s);
    edit.undo();
    QCOMPARE(edit.text(), u"gametype map mp_bocage map mp_harbor "_s);
}

void ControlsTest::contextMenuEntriesFollowState()
{
    TAppendEdit edit;
    showWindow(edit);

    auto openMenu = [&edit] {
        QList<QPair<QString, bool>> entries;
        ModalWatcher watcher([&entries](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            if (!menu)
                return;
            for (QAction *action : menu->actions())
                entries.append({ action->isSeparator() ? u"-"_s : action->text(), action->isEnabled() });
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&edit, &event);
        return entries;
    };
    using Entries = QList<QPair<QString, bool>>;

    QApplication::clipboard()->clear();
    QCOMPARE(openMenu(),
        (Entries { { u"&Undo"_s, false }, { u"-"_s, true }, { u"&Cut"_s, false }, { u"&Copy"_s, false },
            { u"&Paste"_s, false }, { u"&Delete"_s, false }, { u"-"_s, true }, { u"Select all"_s, false } }));

    edit.setFocus();
    QTest::keyClicks(&edit, u"map"_s);
    edit.setSelection(0, 1);
    QApplication::clipboard()->setText(u"x"_s);
    QCOMPARE(openMenu(),
        (Entries { { u"&Undo"_s, true }, { u"-"_s, true }, { u"&Cut"_s, true }, { u"&Copy"_s, true },
            { u"&Paste"_s, true }, { u"&Delete"_s, true }, { u"-"_s, true }, { u"Select all"_s, true } }));
}

void ControlsTest::caretBlinksAt530msOnlyWhileFocused()
{
    QApplication::setCursorFlashTime(1200);
    QWidget window;
    auto *edit = new TAppendEdit(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 30);
    showWindow(window);
    QApplication::setActiveWindow(&window);

    edit->setFocus();
    QTRY_COMPARE(QApplication::cursorFlashTime(), 2 * 530);
    other->setFocus();
    QTRY_COMPARE(QApplication::cursorFlashTime(), 1200);
}

TALLYFORGE_TEST_MAIN(ControlsTest)
#include "tst_controls.moc"
