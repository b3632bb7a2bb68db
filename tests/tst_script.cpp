#include "formtest.h"
#include "script/scriptwriter.h"
#include "testmain.h"
#include "widgets/tappendedit.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace FormTest;

class ScriptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultScript();
    void defaultScriptWithoutSlashes();
    void everyIncludeBoxCleared_data();
    void everyIncludeBoxCleared();
    void savedFileIsTheGoldenFile();
    void pageListWithoutTheWindow();
};

void ScriptTest::defaultScript()
{
    TForm1 form;
    QCOMPARE(finish(form), goldenLines());
}

void ScriptTest::defaultScriptWithoutSlashes()
{
    TForm1 form;
    control<QCheckBox>(form, "chkSlashes")->setChecked(false);
    QStringList expected = goldenLines();
    expected.removeIf([](const QString &line) { return line.startsWith(u"//"); });
    QCOMPARE(finish(form), expected);
}

void ScriptTest::everyIncludeBoxCleared_data()
{
    QTest::addColumn<bool>("slashes");
    QTest::newRow("with slashes") << true;
    QTest::newRow("without slashes") << false;
}

// Headings and sub-headings stay (with slashes); the vote and weapon lines,
// which have no include box, are all that is left of the settings.
void ScriptTest::everyIncludeBoxCleared()
{
    QFETCH(bool, slashes);
    TForm1 form;
    clearIncludeBoxes(&form);
    control<QCheckBox>(form, "chkMpr")->setChecked(false);
    control<QCheckBox>(form, "chkSlashes")->setChecked(slashes);
    QStringList expected = goldenLines();
    expected.removeIf([slashes](const QString &line) {
        if (line.startsWith(u"//"))
            return !slashes;
        return !line.startsWith(u"set g_allowVote") && !line.startsWith(u"set scr_allow_");
    });
    QCOMPARE(finish(form), expected);
}

void ScriptTest::savedFileIsTheGoldenFile()
{
    TForm1 form;
    finish(form);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"servercfg.cfg"_s);
    QVERIFY(form.saveTo(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), goldenBytes());
}

// The page list alone, as the command line and the bench have it: the
// sections, then the kept lines.
void ScriptTest::pageListWithoutTheWindow()
{
    QWidget parent;
    const PageList pages(&parent);
    ScriptWriter out(true);
    pages.writeScript(out, { u"exec more.cfg"_s });
    QStringList lines = out.text().split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines, goldenLines() << u"exec more.cfg"_s);
}

TALLYFORGE_TEST_MAIN(ScriptTest)
#include "tst_script.moc"
