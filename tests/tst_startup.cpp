#include "formtest.h"
#include "testmain.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>

#include <functional>

using namespace FormTest;
using namespace Qt::StringLiterals;

namespace {

QList<LazyPage *> lazyPages(const TForm1 &form)
{
    return { control<ServerInfoPage>(form, "tabMain"), control<ServerOptionsPage>(form, "TabSheet2"),
        control<NetworkOptionsPage>(form, "TabSheet3"), control<GameOptionsPage>(form, "TabSheet4"),
        control<GametypesPage>(form, "TabSheet5"), control<MapRotationPage>(form, "TabSheet6"),
        control<EditorPage>(form, "tabEditor"), control<WeaponsPage>(form, "TabSheet1"),
        control<VotesPage>(form, "tabVotes") };
}

QString describe(const QWidget *widget)
{
    return widget ? QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName() : u"-"_s;
}

// Everything a user or assistive technology can tell about the window, in
// stacking order, then the keyboard focus chain and the tab strip.
QStringList dump(const TForm1 &form)
{
    QStringList lines;
    for (const QWidget *widget : form.findChildren<QWidget *>()) {
        const QRect at = widget->geometry();
        QString line = u"%1 @%2,%3 %4x%5 shown=%6 enabled=%7 focus=%8 tip=%9 name=%10 description=%11 font=%12 "
                       "colours=%13/%14/%15"_s.arg(describe(widget))
                           .arg(at.x())
                           .arg(at.y())
                           .arg(at.width())
                           .arg(at.height())
                           .arg(widget->isVisibleTo(&form))
                           .arg(widget->isEnabled())
                           .arg(int(widget->focusPolicy()))
                           .arg(widget->statusTip(), widget->accessibleName(), widget->accessibleDescription(),
                               widget->font().toString(), widget->palette().color(QPalette::WindowText).name(),
                               widget->palette().color(QPalette::Window).name(),
                               widget->palette().color(QPalette::Button).name());
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            line += u" text=%1 checked=%2"_s.arg(button->text()).arg(button->isChecked());
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            line += u" text=%1 buddy=%2"_s.arg(label->text(), describe(label->buddy()));
        if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
            line += u" text=%1"_s.arg(edit->text());
        lines << line;
    }
    lines << u"focus: "_s + describe(QApplication::focusWidget());
    for (QWidget *next = form.nextInFocusChain(); next != &form; next = next->nextInFocusChain())
        lines << u"chain: "_s + describe(next);
    const QTabWidget *tabs = control<QTabWidget>(form, "PageControl1");
    for (int i = 0; i < tabs->count(); ++i)
        lines << u"tab %1 %2 shown=%3"_s.arg(i).arg(tabs->tabText(i)).arg(tabs->isTabVisible(i));
    lines << u"current: "_s + describe(tabs->currentWidget());
    return lines;
}

void showAt(TForm1 &form, int index)
{
    control<QTabWidget>(form, "PageControl1")->setCurrentIndex(index);
    QCoreApplication::sendPostedEvents();
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void laterPagesMatchWholeWindow_data();
    void laterPagesMatchWholeWindow();
    void everyPartOfOursIsNamed();
};

void StartupTest::laterPagesMatchWholeWindow_data()
{
    // Each thing that needs a page before the window has built it: done on a
    // window that builds its pages up front, and on one that starts with the first.
    QTest::addColumn<std::function<void(TForm1 &)>>("need");
    QTest::addColumn<bool>("shown");
    QTest::newRow("first frame") << std::function([](TForm1 &form) {
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(control<VotesPage>(form, "tabVotes")->isBuilt());
    }) << true;
    QTest::newRow("tab clicked") << std::function([](TForm1 &form) {
        clickTab(form, control<NetworkOptionsPage>(form, "TabSheet3"));
    }) << true;
    QTest::newRow("ctrl+Tab") << std::function([](TForm1 &form) {
        control<QTabWidget>(form, "PageControl1")->tabBar()->setFocus();
        QTest::keyClick(control<QTabWidget>(form, "PageControl1"), Qt::Key_Tab, Qt::ControlModifier);
    }) << true;
    QTest::newRow("arrow on the strip") << std::function([](TForm1 &form) {
        QTest::keyClick(control<QTabWidget>(form, "PageControl1")->tabBar(), Qt::Key_Right);
    }) << true;
    QTest::newRow("page set by the program") << std::function([](TForm1 &form) {
        control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<MapRotationPage>(form, "TabSheet6"));
    }) << true;
    QTest::newRow("Finish!") << std::function([](TForm1 &form) { click(form, "btnFinish"); }) << true;
    QTest::newRow("Allowed Votes") << std::function([](TForm1 &form) { form.Button2Click(); }) << false;
    QTest::newRow("assistive technology") << std::function([](TForm1 &) {
        QAccessible::setActive(true);
        QAccessible::setActive(false);
    }) << false;
}

void StartupTest::laterPagesMatchWholeWindow()
{
    QFETCH(std::function<void(TForm1 &)>, need);
    QFETCH(bool, shown);

    TForm1 whole;
    TForm1 later(nullptr, TForm1::Pages::FirstThenRest);
    QVERIFY(control<ServerInfoPage>(later, "tabMain")->isBuilt());
    for (LazyPage *page : lazyPages(later).mid(1))
        QVERIFY2(!page->isBuilt(), qPrintable(page->objectName()));

    for (TForm1 *form : { &later, &whole }) {
        if (shown)
            form->show();
        QCOMPARE(lazyPages(*form).constLast()->isBuilt(), form == &whole);
        need(*form);
        if (QTest::currentTestFailed())
            return;
    }
    for (LazyPage *page : lazyPages(later))
        QVERIFY2(page->isBuilt(), qPrintable(page->objectName()));
    QCOMPARE(dump(later), dump(whole));

    // Every page looks the same, pixel for pixel.
    for (int i = 0; i < control<QTabWidget>(whole, "PageControl1")->count(); ++i) {
        showAt(whole, i);
        showAt(later, i);
        QCOMPARE(later.grab().toImage(), whole.grab().toImage());
    }
    QCOMPARE(finish(later), finish(whole));
    QCOMPARE(dump(later), dump(whole));
}

// Tests and tools find the window's parts by name, Qt's own parts aside: what our code makes has one, the
// objects without a meta-object of their own among them.
void StartupTest::everyPartOfOursIsNamed()
{
    TForm1 form;
    showWindow(form);
    finish(form);
    QStringList unnamed;
    for (const QObject *part : form.findChildren<QObject *>()) {
        const QLatin1StringView kind(part->metaObject()->className());
        if (part->objectName().isEmpty() && (!kind.startsWith(u'Q') || kind == "QObject"_L1))
            unnamed << kind + u" in "_s + part->parent()->objectName();
    }
    QCOMPARE(unnamed, QStringList());
}

TALLYFORGE_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
