#include "app/tform1.h"
#include "formtest.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QString accessibleText(QObject *object, QAccessible::Text text)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(text) : QString();
}

} // namespace

// What a screen reader learns about each control, and where the Tab key goes.
class AccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;

    QWidget *page(const QString &name) const { return form->findChild<QWidget *>(name); }

private slots:
    void initTestCase();
    void everyControlHasANameAndItsHint_data();
    void everyControlHasANameAndItsHint();
    void pagesAsAListenerMeetsThem_data();
    void pagesAsAListenerMeetsThem();
    void tabStopFollowsTheSelection();
};

void AccessibilityTest::initTestCase()
{
    form = std::make_unique<TForm1>();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void AccessibilityTest::everyControlHasANameAndItsHint_data()
{
    QTest::addColumn<QString>("pageName");
    for (const char *name : { "tabMain", "TabSheet2", "TabSheet3", "TabSheet4", "tabVotes", "TabSheet5", "TabSheet6",
             "TabSheet1", "tabEditor" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void AccessibilityTest::everyControlHasANameAndItsHint()
{
    QFETCH(QString, pageName);
    QStringList faults;
    QHash<QString, QString> namedBy; // no two check boxes or edits of a page alike to a listener
    for (QWidget *control : page(pageName)->findChildren<QWidget *>()) {
        const bool button = qobject_cast<QAbstractButton *>(control) && !qobject_cast<QToolButton *>(control);
        const bool edit = qobject_cast<QLineEdit *>(control) || qobject_cast<QPlainTextEdit *>(control);
        if (!button && !edit)
            continue;
        const QString name = accessibleText(control, QAccessible::Name);
        if (name.isEmpty())
            faults << control->objectName() + u" has no name"_s;
        if (accessibleText(control, QAccessible::Description) != control->statusTip())
            faults << control->objectName() + u" does not describe itself by its hint"_s;
        if (qobject_cast<QRadioButton *>(control)) {
            if (accessibleText(control->parentWidget(), QAccessible::Name).isEmpty())
                faults << control->objectName() + u"'s group has no name"_s;
            continue;
        }
        if (control->inherits("QAbstractButton") && !qobject_cast<QCheckBox *>(control))
            continue;
        // Rows of the same caption (the gametype blocks) differ in the variable their hint names.
        const QString key = QString::fromLatin1(control->metaObject()->className()) + name + control->statusTip();
        if (namedBy.contains(key))
            faults << u"%1 and %2 are both called \"%3\""_s.arg(namedBy[key], control->objectName(), name);
        namedBy.insert(key, control->objectName());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

// What a listener meets on each page, written down in tests/data/pages.txt: every named control with its
// accessible name, its value or state, and its hint (the description), then the controls in the order the Tab
// key visits them from the tab strip. TALLYFORGE_WRITE_PAGES=1 writes the file anew from the window, to be read
// over before it is committed.
void AccessibilityTest::pagesAsAListenerMeetsThem_data()
{
    QTest::addColumn<QString>("pageName");
    for (const char *name :
        { "tabMain", "TabSheet2", "TabSheet3", "TabSheet4", "tabVotes", "TabSheet5", "TabSheet6", "TabSheet1" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void AccessibilityTest::pagesAsAListenerMeetsThem()
{
    QFETCH(QString, pageName);
    QWidget *shown = page(pageName);
    QStringList meets { u"== "_s + pageName };
    for (QWidget *control : shown->findChildren<QWidget *>()) {
        QString state;
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            state = u'"' + edit->text() + u'"' + (edit->hasFrame() ? u" framed"_s : QString())
                + (edit->echoMode() != QLineEdit::Normal ? u" masked"_s : QString());
        else if (auto *label = qobject_cast<QLabel *>(control))
            state = u'"' + label->text() + u'"';
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            state = button->isCheckable() ? (button->isChecked() ? u"[x]"_s : u"[ ]"_s) : u'"' + button->text() + u'"';
        else if (control->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly).isEmpty())
            continue; // a band or a picture
        if (control->objectName().isEmpty() && state == u"\"\"")
            continue;
        const QStringList parts { control->objectName(), QString::fromLatin1(control->metaObject()->className()),
            u"name=\"%1\""_s.arg(accessibleText(control, QAccessible::Name)), state,
            u"hint=\"%1\""_s.arg(control->statusTip()) };
        meets << parts.filter(QRegularExpression(u"."_s)).join(u' ');
    }

    // Round the window from the tab strip until the focus enters the page, then through it.
    FormTest::control<QTabWidget>(*form, "PageControl1")->setCurrentWidget(shown);
    FormTest::control<QTabWidget>(*form, "PageControl1")->tabBar()->setFocus(Qt::TabFocusReason);
    auto inPage = [shown] { return shown->isAncestorOf(QApplication::focusWidget()); };
    for (int step = 0; step < 10 && !inPage(); ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QStringList visited;
    while (inPage() && !visited.contains(QApplication::focusWidget()->objectName())) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    meets << u"Tab: "_s + visited.join(u' ');

    QFile file(QStringLiteral(TESTDATA_DIR "/pages.txt"));
    QStringList written;
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        written = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    file.close();
    const qsizetype start = written.indexOf(meets.constFirst());
    const qsizetype end = start < 0 ? start : written.indexOf(QRegularExpression(u"== .*"_s), start + 1);
    const QStringList described = start < 0 ? QStringList() : written.mid(start, end < 0 ? -1 : end - start);
    if (qEnvironmentVariableIntValue("TALLYFORGE_WRITE_PAGES")) {
        if (start >= 0)
            written.remove(start, described.size());
        written.insert(start < 0 ? written.size() : start, meets.join(u'\n'));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
        file.write((written.join(u'\n') + u'\n').toUtf8());
        return;
    }
    QVERIFY2(start >= 0, qPrintable(pageName + u" is not described"_s));
    QCOMPARE(meets, described);
}

// The tab stop of a radio group follows its selection.
void AccessibilityTest::tabStopFollowsTheSelection()
{
    FormTest::control<QTabWidget>(*form, "PageControl1")->setCurrentWidget(page(u"TabSheet4"_s));
    form->findChild<QAbstractButton *>(u"gt4"_s)->click();
    form->findChild<QAbstractButton *>(u"rbAV0"_s)->click();
    form->findChild<QWidget *>(u"chkGametype"_s)->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({ u"gt4"_s, u"rbAV0"_s, u"Button2"_s }));
}

TALLYFORGE_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
