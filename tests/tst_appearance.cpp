#include "app/tform1.h"
#include "formtest.h"
#include "testmain.h"
#include "widgets/installedfont.h"
#include "widgets/systemcolors.h"
#include "widgets/ttextbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QProxyStyle>

using namespace Qt::StringLiterals;

// The window follows the Qt style the user chose (QT_STYLE_OVERRIDE here; -style
// works alike), with only the measures its fixed geometry needs overridden.
// CTest runs this once without a choice and once with the plain "Windows" style.
class AppearanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenStyleUnderTheWindowsMeasures();
    void fontIsTheFirstInstalledFamily_data();
    void fontIsTheFirstInstalledFamily();
};

void AppearanceTest::chosenStyleUnderTheWindowsMeasures()
{
    const QString chosen = qEnvironmentVariable("QT_STYLE_OVERRIDE", u"fusion"_s).toLower();
    const auto *style = qobject_cast<const QProxyStyle *>(QApplication::style());
    QVERIFY(style);
    QCOMPARE(style->baseStyle()->name().toLower(), chosen);
    QCOMPARE(style->pixelMetric(QStyle::PM_IndicatorWidth), 13);
    QCOMPARE(QApplication::applicationDisplayName(), TForm1::applicationTitle);

    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    FormTest::control<QCheckBox>(form, "chkSlashes")->setFocus();
    const QImage face = FormTest::control<TTextButton>(form, "btnFinish")->grab().toImage();
    const QPalette colours = FormTest::control<TTextButton>(form, "btnFinish")->palette();
    // The classic raised border: highlight on the outer top left, the 3D dark
    // shadow on the outer bottom right, the shadow just inside it.
    auto is = [&](int x, int y, SystemColor colour) { return face.pixel(x, y) == systemColor(colour, colours).rgb(); };
    const bool raised = is(0, 0, SystemColor::ButtonHighlight) && is(74, 24, SystemColor::DarkShadow3D)
        && is(73, 23, SystemColor::ButtonShadow);
    QCOMPARE(raised, chosen == u"windows"_s);
}

void AppearanceTest::fontIsTheFirstInstalledFamily_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("first installed") << QStringList { u"DejaVu Sans"_s, u"No Such Sans"_s }
                                     << QStringList { u"DejaVu Sans"_s };
    QTest::newRow("missing ones skipped")
        << QStringList { u"No Such Sans"_s, u"DejaVu Sans"_s } << QStringList { u"DejaVu Sans"_s };
    QTest::newRow("none installed") << QStringList { u"No Such Sans"_s, u"No Such Serif"_s }
                                    << QStringList { u"No Such Sans"_s, u"No Such Serif"_s };
}

void AppearanceTest::fontIsTheFirstInstalledFamily()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, asked);
    const QFont font = installedFont({ families[0], families[1] }, QFont::Serif, 13);
    QCOMPARE(font.families(), asked);
    QCOMPARE(font.styleHint(), QFont::Serif);
    QCOMPARE(font.pixelSize(), 13);
}

TALLYFORGE_TEST_MAIN(AppearanceTest)
#include "tst_appearance.moc"
