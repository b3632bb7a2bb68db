#include "formtest.h"

#include <QAction>
#include <QCheckBox>
#include <QTabBar>
#include <QTabWidget>

#include "widgets/ttextbutton.h"

using namespace Qt::StringLiterals;
using namespace FormTest;

class WorkflowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statesAcrossFinishClearFinish();
};

void WorkflowTest::statesAcrossFinishClearFinish()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), u"Bravenmark - Tallyforge 1.0"_s);
    const int editorTab = form.PageControl1->indexOf(form.tabEditor);

    struct State {
        QWidget *activePage;
        bool editorTab, finishVisible, finishEnabled, saveVisible, saveEnabled, clearVisible, save1, slashes;
        bool editorEmpty;
    };
    auto check = [&](const State &s) {
        QCOMPARE(form.PageControl1->currentWidget(), s.activePage);
        QCOMPARE(form.PageControl1->isTabVisible(editorTab), s.editorTab);
        QCOMPARE(form.btnFinish->isVisible(), s.finishVisible);
        QCOMPARE(form.btnFinish->isEnabled(), s.finishEnabled);
        QCOMPARE(form.btnSave->isVisible(), s.saveVisible);
        QCOMPARE(form.btnSave->isEnabled(), s.saveEnabled);
        QCOMPARE(form.btnClear->isVisible(), s.clearVisible);
        QCOMPARE(form.Save1->isEnabled(), s.save1);
        QCOMPARE(form.chkSlashes->isEnabled(), s.slashes);
        QCOMPARE(form.editor->document()->isEmpty(), s.editorEmpty);
    };
    const State start{form.tabMain, false, true, true, false, false, false, false, true, true};
    const State generated{form.tabEditor, true, false, false, true, true, true, true, false, false};
    const State cleared{form.tabMain, false, true, true, true, false, false, false, false, true};

    check(start);
    const QStringList first = finish(form);
    check(generated);
    click(form, "btnClear");
    check(cleared);
    QVERIFY(form.chkSlashes->isChecked());
    QCOMPARE(finish(form), first);
    check(generated);
}

QTEST_MAIN(WorkflowTest)
#include "tst_workflow.moc"
