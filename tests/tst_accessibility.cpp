#include "app/tform1.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
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

QStringList words(const char *list)
{
    return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
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
    void namesComeFromTheRow_data();
    void namesComeFromTheRow();
    void tabOrder_data();
    void tabOrder();
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

void AccessibilityTest::namesComeFromTheRow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");

    QTest::newRow("edit named by its row label") << u"edServername"_s << u"Server name:"_s;
    QTest::newRow("edit in the second column") << u"edWebsite2"_s << u"Website 2:"_s;
    QTest::newRow("include box") << u"chkSvname"_s << u"Include Server name"_s;
    QTest::newRow("include box in the second column") << u"chkIRC2"_s << u"Include IRC 2"_s;
    QTest::newRow("include box with an overhanging label") << u"chkSvpass"_s << u"Include Server Password"_s;
    QTest::newRow("radio pair's panel") << u"Panel2"_s << u"Pure Server"_s;
    QTest::newRow("download edit") << u"edBaseurl"_s << u"Base URL:"_s;
    QTest::newRow("gametype limit") << u"edTdm2"_s << u"Map time limit (0-1440m):"_s;
    QTest::newRow("two-line row label, include box")
        << u"chkBel3"_s << u"Include Time to stay alive to get a point as allied(seconds)"_s;
    QTest::newRow("two-line row label, edit")
        << u"edBel3"_s << u"Time to stay alive to get a point as allied(seconds)"_s;
    QTest::newRow("two-line row label, radio pair") << u"Panel16"_s << u"Show objective carrier on compass"_s;
    QTest::newRow("gametype include box by its variable")
        << u"chkTdm1"_s << u"Include Map score limit (scr_tdm_scorelimit)"_s;
    QTest::newRow("rotation edit by the label above") << u"edRotation"_s << u"Rotation Info:"_s;
    QTest::newRow("value check box by its caption") << u"chkCarbine"_s << u"M1A1 Carbine"_s;
    QTest::newRow("text button by its caption") << u"TextButton17"_s << u"Dawnville"_s;
}

void AccessibilityTest::namesComeFromTheRow()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QObject *found = form->findChild<QObject *>(control);
    QVERIFY(found);
    QCOMPARE(accessibleText(found, QAccessible::Name), name);
}

void AccessibilityTest::tabOrder_data()
{
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<QStringList>("order"); // a panel stands for its selected radio button
    QTest::addColumn<QStringList>("choose"); // radio buttons clicked first

    QTest::newRow("Server Information")
        << u"tabMain"_s
        << words("edServername chkSvname chkMotd chkAdmin1 chkMail1 chkIRC1 chkWebsite1 chkLocation chkAdmin2 chkMail2 "
                 "chkIRC2 chkWebsite2 edMail2 edAdmin2 edMotd edAdmin1 edMail1 edIRC1 edWebsite1 edLocation edWebsite2 "
                 "edIRC2 chkTS edTS TextButton29")
        << QStringList();
    QTest::newRow("Server Options")
        << u"TabSheet2"_s
        << words("chkPure Panel2 chkRcon chkSvpass chkPvtpw chkPvtp chkMaxplayers chkDl chkCheats chkLog chkLogsync "
                 "edRcon chkBanned chkBanD chkSvfps chkA chkFlood Panel3 Panel4 Panel5 Panel6 Panel7 edSvpass edPvtpw "
                 "edPvtp edMaxplayers edLog edBanned edBanD edSvfps")
        << QStringList();
    QTest::newRow("Network Options")
        << u"TabSheet3"_s
        << words(
               "chkIP chkPort chkRate chkMp chkMip edIP edPort edMip edMp edRate edMaster chkMaster chkBaseurl chkWWW "
               "edBaseurl chkDlD edDlD chkWWWs")
        << QStringList();
    QTest::newRow("Game Options")
        << u"TabSheet4"_s
        << words("chkGametype Panel8 Panel9 Button2 chkAllowVote Panel10 chkDrawti Panel11 chkForceRespawn "
                 "chkFriendlyFire Panel12 Panel13 Panel14 Panel15 chkKillcam chkFreelook chkSpectateenemy chkMaxDiff "
                 "edMaxDiff Panel17 chkPenalty Panel18 chkDead")
        << QStringList();
    // The tab stop of a group follows its selection.
    QTest::newRow("Game Options, other choices")
        << u"TabSheet4"_s << words("chkGametype gt4 rbAV0 Button2") << words("gt4 rbAV0");
    QTest::newRow("Votes") << u"tabVotes"_s
                           << words("chkKick chkKK chkFF chkTeam chkGG chkBan chkRotate chkRestart chkMap")
                           << QStringList();
    QTest::newRow("Gametypes")
        << u"TabSheet5"_s
        << words("edDm1 edDm2 edTdm2 edTdm1 edBel1 edBel2 edBel3 edRe1 edRe2 edRe3 edRe4 edRe5 Panel16 edSd1 edSd2 "
                 "edSd3 edSd4 edSd5 edHq1 edHq2 chkDm1 chkDm2 chkTdm2 chkTdm1 chkBel1 chkBel2 chkBel3 chkRe6 chkRe5 "
                 "chkRe4 chkRe3 chkRe2 chkRe1 chkSd5 chkSd4 chkSd3 chkSd2 chkSd1 chkHq1 chkHq2")
        << QStringList();
    QStringList rotation = words("chkMpr edRotation");
    for (int number = 1; number <= 22; ++number)
        rotation << u"TextButton%1"_s.arg(number);
    QTest::newRow("Map Rotation") << u"TabSheet6"_s << rotation << QStringList();
    QTest::newRow("Weapons") << u"TabSheet1"_s
                             << words(
                                    "chkGarand chkCarbine chkThompson chkBar chkEnfield chkSten chkBren chkSpringfield "
                                    "chkKar chkMp40 chkMp44 chkSkar chkSnagant chkPPsh chkNagant chkPanzer chkFg "
                                    "TextButton23 TextButton24 TextButton25 TextButton26 TextButton27 TextButton28")
                             << QStringList();
}

void AccessibilityTest::tabOrder()
{
    QFETCH(QString, pageName);
    QFETCH(QStringList, order);
    QFETCH(QStringList, choose);

    form->PageControl1->setCurrentWidget(page(pageName));
    for (const QString &name : choose)
        form->findChild<QAbstractButton *>(name)->click();
    QStringList expected;
    for (const QString &name : order) {
        QWidget *widget = form->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        if (!qobject_cast<QAbstractButton *>(widget) && !qobject_cast<QLineEdit *>(widget)) {
            const QList<QRadioButton *> buttons = widget->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
            const auto selected = std::ranges::find_if(buttons, &QRadioButton::isChecked);
            QVERIFY2(selected != buttons.end(), qPrintable(name + u" has no selected button"_s));
            widget = *selected;
        }
        expected << widget->objectName();
    }

    form->findChild<QWidget *>(expected.constFirst())->setFocus(Qt::TabFocusReason);
    QStringList visited { QApplication::focusWidget()->objectName() };
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

TALLYFORGE_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
