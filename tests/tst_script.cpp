#include "testmain.h"
#include "formtest.h"
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
    void savedFileIsTheGoldenFile();
};

void ScriptTest::defaultScript()
{
    TForm1 form;
    const QStringList lines = finish(form);
    const QStringList golden = goldenLines();
    QCOMPARE(golden.size(), 97);
    for (qsizetype i = 0; i < std::min(lines.size(), golden.size()); ++i)
        QCOMPARE(lines.at(i), golden.at(i));
    QCOMPARE(lines.size(), golden.size());
}

void ScriptTest::defaultScriptWithoutSlashes()
{
    TForm1 form;
    form.chkSlashes->setChecked(false);
    QStringList expected = goldenLines();
    expected.removeIf([](const QString &line) { return line.startsWith(u"//"); });
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

TALLYFORGE_TEST_MAIN(ScriptTest)
#include "tst_script.moc"
