#include "formtest.h"
#include "widgets/tappendedit.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

QByteArray goldenBytes()
{
    QFile file(QStringLiteral(TESTDATA_DIR "/default.cfg"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the golden script");
    return file.readAll();
}

QStringList goldenLines()
{
    QStringList lines = QString::fromLatin1(goldenBytes()).split(u"\r\n"_s);
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class ScriptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultScript();
    void defaultScriptWithoutSlashes();
    void finishClearFinish_data();
    void finishClearFinish();
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

void ScriptTest::finishClearFinish_data()
{
    QTest::addColumn<bool>("touched");
    QTest::newRow("untouched") << false;
    QTest::newRow("rotation built and a preset") << true;
}

void ScriptTest::finishClearFinish()
{
    QFETCH(bool, touched);

    TForm1 form;
    if (touched) {
        click(form, "TextButton3");
        click(form, "TextButton19");
        click(form, "TextButton28");
    }
    const QStringList first = finish(form);
    click(form, "btnClear");
    QVERIFY(editorLines(form).isEmpty());
    QCOMPARE(finish(form), first);
    if (touched)
        QVERIFY(first.contains(u"set sv_mapRotation \"gametype sd map mp_tigertown \""_s));
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

QTEST_MAIN(ScriptTest)
#include "tst_script.moc"
