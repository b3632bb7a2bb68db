#include "formtest.h"
#include "testmain.h"
#include "widgets/tappendedit.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QTest>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

// The weapon boxes and their variables, in the order of the page and of the written lines.
const QStringList weaponBoxes
    = QString::fromLatin1("chkCarbine chkGarand chkThompson chkBar chkEnfield chkSten chkBren "
                          "chkSpringfield chkKar chkMp40 chkMp44 chkSkar chkNagant chkPPsh "
                          "chkSnagant chkFg chkPanzer")
          .split(u' ');
const QStringList weaponCvars
    = QString::fromLatin1("m1carbine m1garand thompson bar enfield sten bren springfield kar98k "
                          "mp40 mp44 kar98ksniper nagant ppsh nagantsniper fg42 panzerfaust")
          .split(u' ');

QStringList weaponLines(const QStringList &allowed)
{
    QStringList lines;
    for (const QString &cvar : weaponCvars)
        lines << u"set scr_allow_%1 \"%2\""_s.arg(cvar, allowed.contains(cvar) ? u"1"_s : u"0"_s);
    return lines;
}

qsizetype firstWeaponLine(const QStringList &lines)
{
    const auto found
        = std::ranges::find_if(lines, [](const QString &line) { return line.startsWith(u"set scr_allow_m1carbine "); });
    return found == lines.end() ? -1 : found - lines.begin();
}

} // namespace

class RotationWeaponsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builderClicks_data();
    void builderClicks();
    void mapButtonsFollowTheirCaptions();
    void rotationLine_data();
    void rotationLine();
    void presets_data();
    void presets();
    void presetAfterFinishLeavesEditor();
};

void RotationWeaponsTest::builderClicks_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("expected");

    QTest::newRow("deathmatch, bocage, harbor") << QStringList { u"TextButton1"_s, u"TextButton7"_s, u"TextButton11"_s }
                                                << u"gametype dm map mp_bocage map mp_harbor "_s;
    QTest::newRow("extras gametype on empty edit") << QStringList { u"TextButton20"_s } << u" gametype "_s;
    QTest::newRow("deathmatch then extras map")
        << QStringList { u"TextButton1"_s, u"TextButton21"_s } << u"gametype dm  map "_s;
    QTest::newRow("extras map mp_") << QStringList { u"TextButton22"_s } << u" map mp_ "_s;
    QTest::newRow("map before gametype, twice")
        << QStringList { u"TextButton17"_s, u"TextButton17"_s } << u"map mp_dawnville map mp_dawnville "_s;
    QTest::newRow("gametype row in screen order") << QStringList {
        u"TextButton1"_s, u"TextButton2"_s, u"TextButton3"_s, u"TextButton4"_s, u"TextButton5"_s, u"TextButton6"_s
    } << u"gametype dm gametype tdm gametype sd gametype bel gametype re gametype hq "_s;
}

void RotationWeaponsTest::builderClicks()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, expected);

    TForm1 form;
    clickAll(form, buttons);
    QCOMPARE(control<TAppendEdit>(form, "edRotation")->text(), expected);
}

void RotationWeaponsTest::mapButtonsFollowTheirCaptions()
{
    TForm1 form;
    TAppendEdit *edit = control<TAppendEdit>(form, "edRotation");
    for (int number = 7; number <= 19; ++number) {
        const QByteArray name = "TextButton" + QByteArray::number(number);
        auto *button = control<TTextButton>(form, name.constData());
        edit->setEditText({});
        click(form, name.constData());
        QCOMPARE(edit->text(), u"map mp_"_s + button->text().toLower() + u' ');
    }
}

void RotationWeaponsTest::rotationLine_data()
{
    QTest::addColumn<bool>("slashes");
    QTest::addColumn<bool>("include");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("expected"); // empty: no rotation line

    const QStringList built { u"TextButton1"_s, u"TextButton7"_s, u"TextButton11"_s };
    const QString builtLine = u"set sv_mapRotation \"gametype dm map mp_bocage map mp_harbor \""_s;
    QTest::newRow("built") << true << true << built << builtLine;
    QTest::newRow("built, without slashes") << false << true << built << builtLine;
    QTest::newRow("box cleared") << true << false << built << QString();
}

void RotationWeaponsTest::rotationLine()
{
    QFETCH(bool, slashes);
    QFETCH(bool, include);
    QFETCH(QStringList, buttons);
    QFETCH(QString, expected);

    TForm1 form;
    control<QCheckBox>(form, "chkSlashes")->setChecked(slashes);
    control<QCheckBox>(form, "chkMpr")->setChecked(include);
    clickAll(form, buttons);
    const QStringList lines = finish(form);

    const qsizetype weapons = firstWeaponLine(lines);
    QVERIFY(weapons > 0);
    qsizetype above = weapons - 1;
    if (slashes)
        QCOMPARE(lines.at(above--), u"//Weapons"_s);
    QCOMPARE(lines.filter(QRegularExpression(u"^set sv_mapRotation "_s)).size(), expected.isEmpty() ? 0 : 1);
    if (!expected.isEmpty())
        QCOMPARE(lines.at(above--), expected);
    if (slashes)
        QCOMPARE(lines.at(above), u"//"_s);
}

void RotationWeaponsTest::presets_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("allowed");

    const QStringList rifles { u"m1carbine"_s, u"m1garand"_s, u"enfield"_s, u"springfield"_s, u"kar98k"_s,
        u"kar98ksniper"_s, u"nagant"_s, u"nagantsniper"_s };
    const QStringList machineGuns { u"thompson"_s, u"bar"_s, u"sten"_s, u"bren"_s, u"mp40"_s, u"mp44"_s, u"ppsh"_s,
        u"fg42"_s };
    const QStringList snipers { u"springfield"_s, u"kar98ksniper"_s, u"nagantsniper"_s };

    QTest::newRow("Rifles Only") << QStringList { u"TextButton23"_s } << rifles;
    QTest::newRow("Machine Guns only") << QStringList { u"TextButton24"_s } << machineGuns;
    QTest::newRow("Pistols Only") << QStringList { u"TextButton25"_s } << QStringList {};
    QTest::newRow("Snipers Only") << QStringList { u"TextButton28"_s } << snipers;
    QTest::newRow("Unselect All") << QStringList { u"TextButton26"_s } << QStringList {};
    QTest::newRow("Select All") << QStringList { u"TextButton27"_s } << weaponCvars;
    QTest::newRow("Select All, then Snipers Only") << QStringList { u"TextButton27"_s, u"TextButton28"_s } << snipers;
    QTest::newRow("Machine Guns only, then Rifles Only")
        << QStringList { u"TextButton24"_s, u"TextButton23"_s } << rifles;
    QTest::newRow("Unselect All, then Machine Guns only")
        << QStringList { u"TextButton26"_s, u"TextButton24"_s } << machineGuns;
}

void RotationWeaponsTest::presets()
{
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, allowed);

    TForm1 form;
    clickAll(form, buttons);

    for (qsizetype i = 0; i < weaponCvars.size(); ++i)
        QCOMPARE(control<QCheckBox>(form, weaponBoxes[i])->isChecked(), allowed.contains(weaponCvars[i]));

    // The weapon lines end the script, below their heading.
    const QStringList lines = finish(form);
    const QStringList expected = QStringList { u"//Weapons"_s } + weaponLines(allowed);
    QCOMPARE(lines.mid(lines.size() - expected.size()), expected);
}

void RotationWeaponsTest::presetAfterFinishLeavesEditor()
{
    TForm1 form;
    const QStringList written = finish(form);
    control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<WeaponsPage>(form, "TabSheet1"));
    showWindow(form);
    doubleClick(control<TTextButton>(form, "TextButton26"));
    QVERIFY(!control<QCheckBox>(form, "chkCarbine")->isChecked());
    QCOMPARE(editorLines(form), written);
}

TALLYFORGE_TEST_MAIN(RotationWeaponsTest)
#include "tst_rotationweapons.moc"
