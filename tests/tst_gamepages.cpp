#include "formtest.h"
#include "script/scriptwriter.h"
#include "testmain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

QStringList sectionOf(const SettingsPage &page, bool comments)
{
    QTextDocument document;
    {
        ScriptWriter out(&document, comments);
        page.writeSection(out);
    }
    QStringList lines = document.toPlainText().split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList gameOptions(const TForm1 &form, bool comments = true)
{
    return sectionOf(*control<GameOptionsPage>(form, "TabSheet4"), comments);
}

QStringList gametypes(const TForm1 &form, bool comments = true)
{
    return sectionOf(*control<GametypesPage>(form, "TabSheet5"), comments);
}

// The vote lines of the untouched window.
QStringList defaultVoteLines()
{
    return goldenLines().filter(u"set g_allowVote"_s);
}

} // namespace

class GamePagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void voteLinesIgnoreVotingChoice();
    void radioButtonsWriteTheValueTheirHintsName();
    void valuesWrittenAsTyped_data();
    void valuesWrittenAsTyped();
    void carrierLineOnlyWhileIncluded();
    void headquartersBlock_data();
    void headquartersBlock();
    void votesChangedWithoutReturning();
    void votesTabNeverAppears();
    void anyTabLeavesTheVotesPage_data();
    void anyTabLeavesTheVotesPage();
};

void GamePagesTest::voteLinesIgnoreVotingChoice()
{
    TForm1 form;
    control<QRadioButton>(form, "rbAV0")->setChecked(true);
    control<QCheckBox>(form, "chkKick")->setChecked(true);
    control<QCheckBox>(form, "chkKK")->setChecked(false);
    QStringList votes = defaultVoteLines();
    votes.first() = u"set g_allowVoteKick \"1\""_s;
    votes.last() = u"set g_allowVoteKillCam \"0\""_s;

    QStringList lines = gameOptions(form);
    QCOMPARE(lines.mid(2, 10), QStringList { u"set g_allowvote \"0\""_s } + votes);

    control<QCheckBox>(form, "chkAllowVote")->setChecked(false);
    lines = gameOptions(form);
    QCOMPARE(lines.mid(1, 11),
        QStringList { u"set g_gametype \"dm\""_s } + votes + QStringList { u"set scr_drawfriend \"1\""_s });
}

// Every radio button writes its group's line with the value its hint names, in the line's place, and changes
// nothing else. Buttons whose hints name no value (the log sync pair) are checked with their rows.
void GamePagesTest::radioButtonsWriteTheValueTheirHintsName()
{
    static const QRegularExpression named(uR"re(\((\S+) "([^"]*)"\)$)re"_s);
    TForm1 counting;
    for (const QRadioButton *button : counting.findChildren<QRadioButton *>()) {
        const QRegularExpressionMatch hint = named.match(button->statusTip());
        if (!hint.hasMatch())
            continue;
        TForm1 form;
        control<QRadioButton>(form, button->objectName())->click();
        QStringList expected = goldenLines();
        const QString prefix = u"set "_s + hint.captured(1) + u" \""_s;
        const qsizetype at = expected.indexOf(QRegularExpression(
            QRegularExpression::escape(prefix) + u".*"_s, QRegularExpression::CaseInsensitiveOption));
        QVERIFY2(at >= 0, qPrintable(button->objectName()));
        expected[at] = expected[at].left(prefix.size()) + hint.captured(2) + u'"';
        QCOMPARE(finish(form), expected);
    }
}

void GamePagesTest::valuesWrittenAsTyped_data()
{
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty max difference") << "edMaxDiff"_ba << QString() << u"set scr_teambalance \"\""_s;
    QTest::newRow("negative max difference") << "edMaxDiff"_ba << u"-3"_s << u"set scr_teambalance \"-3\""_s;
    QTest::newRow("empty score limit") << "edDm1"_ba << QString() << u"set scr_dm_scorelimit \"\""_s;
    QTest::newRow("time limit above 1440") << "edSd2"_ba << u"2000"_s << u"set scr_sd_timelimit \"2000\""_s;
    QTest::newRow("grace period above 60") << "edRe3"_ba << u"90"_s << u"set scr_re_graceperiod \"90\""_s;
    QTest::newRow("words for seconds") << "edBel3"_ba << u"ten secs"_s << u"set scr_bel_alivepointtime \"ten secs\""_s;
    QTest::newRow("quote and spaces kept") << "edTdm2"_ba << u" 3\"0 "_s << u"set scr_tdm_timelimit \" 3\"0 \""_s;
}

void GamePagesTest::valuesWrittenAsTyped()
{
    QFETCH(QByteArray, edit);
    QFETCH(QString, text);
    QFETCH(QString, line);
    TForm1 form;
    control<QLineEdit>(form, edit.constData())->setText(text);
    const QStringList lines = finish(form);
    QCOMPARE(lines.count(line), 1);
}

void GamePagesTest::carrierLineOnlyWhileIncluded()
{
    TForm1 form;
    control<QCheckBox>(form, "chkRe6")->setChecked(false);
    QCOMPARE(gametypes(form).filter(u"showcarrier"_s), QStringList());
    control<QRadioButton>(form, "rbRe1")->click();
    QCOMPARE(gametypes(form).filter(u"showcarrier"_s), QStringList());
    control<QCheckBox>(form, "chkRe6")->setChecked(true);
    QCOMPARE(gametypes(form).filter(u"showcarrier"_s), QStringList { u"set scr_re_showcarrier \"1\""_s });
}

void GamePagesTest::headquartersBlock_data()
{
    QTest::addColumn<bool>("score");
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("slashes");
    QTest::addColumn<QStringList>("tail");

    const QString score = u"set scr_hq_scorelimit \"600\""_s;
    const QString time = u"set scr_hq_timelimit \"45\""_s;
    const QString lastSd = u"set scr_sd_roundlimit \"0\""_s;
    const QString heading = u"//-- Headquarters"_s;
    QTest::newRow("both") << true << true << true << QStringList { lastSd, heading, score, time, u"//"_s };
    QTest::newRow("score only") << true << false << true << QStringList { lastSd, heading, score, u"//"_s };
    QTest::newRow("time only") << false << true << true << QStringList { lastSd, heading, time, u"//"_s };
    QTest::newRow("both, no slashes") << true << true << false << QStringList { lastSd, score, time };
}

void GamePagesTest::headquartersBlock()
{
    QFETCH(bool, score);
    QFETCH(bool, time);
    QFETCH(bool, slashes);
    QFETCH(QStringList, tail);
    TForm1 form;
    setControls(
        form, { { u"edHq1"_s, u"600"_s }, { u"edHq2"_s, u"45"_s }, { u"chkHq1"_s, score }, { u"chkHq2"_s, time } });
    const QStringList lines = gametypes(form, slashes);
    QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
}

void GamePagesTest::votesChangedWithoutReturning()
{
    TForm1 form;
    showWindow(form);
    clickTab(form, control<GameOptionsPage>(form, "TabSheet4"));
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), control<GameOptionsPage>(form, "TabSheet4"));
    click(form, "Button2");
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), control<VotesPage>(form, "tabVotes"));

    for (const char *box : { "chkKick", "chkMap", "chkBan", "chkKK" })
        click(form, box);
    QStringList expected = defaultVoteLines();
    for (const int flipped : { 0, 1, 4, 8 }) { // Kick, Map, TempBanUser, KillCam
        QString &line = expected[flipped];
        line[line.size() - 2] = line.at(line.size() - 2) == u'1' ? u'0' : u'1';
    }
    QCOMPARE(finish(form).filter(u"set g_allowVote"_s), expected);
}

void GamePagesTest::votesTabNeverAppears()
{
    TForm1 form;
    showWindow(form);
    QTabBar *bar = control<QTabWidget>(form, "PageControl1")->tabBar();
    const int votes = control<QTabWidget>(form, "PageControl1")->indexOf(control<VotesPage>(form, "tabVotes"));
    auto votesTabHidden = [&] {
        return !bar->isTabVisible(votes) && bar->tabRect(votes).isEmpty()
            && bar->tabAt(bar->tabRect(votes).center()) != votes;
    };

    QVERIFY(votesTabHidden());
    control<QPushButton>(form, "Button2")->click();
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), control<VotesPage>(form, "tabVotes"));
    QVERIFY(control<VotesPage>(form, "tabVotes")->isVisible());
    QVERIFY(votesTabHidden());
    // The strip marks no tab: the current one is the hidden one.
    QCOMPARE(bar->currentIndex(), votes);

    // Nothing of the hidden tab is drawn: the first tab looks as it does while
    // a tab that is not its neighbour is the current one.
    const QRect firstTab = bar->tabRect(0).adjusted(0, 0, -4, 0);
    const QImage whileVotes = bar->grab(firstTab).toImage();
    control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<NetworkOptionsPage>(form, "TabSheet3"));
    QCOMPARE(bar->grab(firstTab).toImage(), whileVotes);
}

void GamePagesTest::anyTabLeavesTheVotesPage_data()
{
    QTest::addColumn<QString>("page");
    for (const char *name : { "tabMain", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6", "TabSheet1" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void GamePagesTest::anyTabLeavesTheVotesPage()
{
    QFETCH(QString, page);
    TForm1 form;
    showWindow(form);
    QWidget *target = form.findChild<QWidget *>(page);
    control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<GameOptionsPage>(form, "TabSheet4"));
    control<QPushButton>(form, "Button2")->click();
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), control<VotesPage>(form, "tabVotes"));

    clickTab(form, target);
    QCOMPARE(control<QTabWidget>(form, "PageControl1")->currentWidget(), target);
    QVERIFY(!control<VotesPage>(form, "tabVotes")->isVisible());
}

TALLYFORGE_TEST_MAIN(GamePagesTest)
#include "tst_gamepages.moc"
