// "Finish!" against random control states and hostile values. Whatever the
// user types or ticks, the script must keep its shape: exactly the lines the
// include boxes ask for, each a comment or a `set`/`sets` line of a known
// name, and every typed value in its line exactly as held (line breaks as
// blanks). Opening what was saved gives the controls back; opening a random
// script leaves every variable it sets with the value the game gave it, and
// every command that reads variables sees what it saw in the file.
//
//   TALLYFORGE_SEED=<n>        repeats a run (the seed is printed)
//   TALLYFORGE_ITERATIONS=<n>  more passes than the 600 of a normal run

#include "app/cfgfile.h"
#include "consolemodel.h"
#include "formtest.h"
#include "generator/pagekit.h"
#include "script/consolereader.h"
#include "script/valuecatalogue.h"
#include "testmain.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

// The comment lines of a full pass, in order.
const QStringList allComments = {
    u"//Server Information"_s,
    u"//"_s,
    u"//Server Options"_s,
    u"//"_s,
    u"//Network Options"_s,
    u"//"_s,
    u"//Game Options"_s,
    u"//"_s,
    u"//Gametypes Configuration"_s,
    u"//-- Deathmatch"_s,
    u"//-- Team Deathmatch"_s,
    u"//-- Behind Enemy Lines"_s,
    u"//-- Retrieval"_s,
    u"//-- Search and Destroy"_s,
    u"//-- Headquarters"_s,
    u"//"_s,
    u"//Weapons"_s,
};
constexpr int alwaysWritten = 9 + 17; // the allowed-vote and weapon lines have no include box
constexpr int includeBoxCount = 67;

// Every variable the pages write, as they declare it.
const ValueCatalogue &pageVariables()
{
    static const ValueCatalogue values = PageList::valueCatalogue();
    return values;
}
const QSet<QString> knownKeys = {
    u".Admin"_s,
    u".Admin1"_s,
    u".Admin2"_s,
    u".Email"_s,
    u".Email1"_s,
    u".Email2"_s,
    u".Irc"_s,
    u".Irc1"_s,
    u".Irc2"_s,
    u".Location"_s,
    u".TS"_s,
    u".Website"_s,
    u".Website1"_s,
    u".Website2"_s,
};
// What a radio button or value box can put in a fixed line.
const QSet<QString> fixedValues
    = { u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"dm"_s, u"tdm"_s, u"bel"_s, u"re"_s, u"sd"_s, u"hq"_s };

// Pieces a hostile value is made of.
const QStringList hostilePieces = {
    u"\""_s,
    u"\\"_s,
    u";"_s,
    u"//"_s,
    u"\n"_s,
    u"\r"_s,
    u"\r\n"_s,
    u"\t"_s,
    QString(QChar(0)),
    u"\x01"_s,
    u"\x1b"_s,
    u"\x7f"_s,
    QString(QChar(0x85)),
    QString(QChar(0x2028)),
    QString(QChar(0x2029)),
    QString(QChar(0xfdd0)),
    QString(QChar(0xfdd1)),
    QString(QChar(0xfeff)),
    QString(QChar(0x200f)),
    QString(QChar(0xd800)),
    u"é"_s,
    u"€"_s,
    u"ß"_s,
    u"Ω"_s,
    u"Ж"_s,
    u"日本"_s,
    u"שלום"_s,
    u"😀"_s,
    u"%1"_s,
    u"%s"_s,
    u"&"_s,
    u"<b>"_s,
    u" "_s,
    u"set x \"1\""_s,
    u"mp_bocage"_s,
    u"a"_s,
    u"0"_s,
};

// What a value the file gives back exactly may hold: no quote, no line break,
// nothing Windows-1252 lacks.
const QStringList safePieces = {
    u"\\"_s,
    u";"_s,
    u"//"_s,
    u"\t"_s,
    u"\x01"_s,
    u"\x7f"_s,
    u"é"_s,
    u"€"_s,
    u"ß"_s,
    u"%1"_s,
    u"&"_s,
    u"<b>"_s,
    u" "_s,
    u"set x 1"_s,
    u"mp_bocage"_s,
    u"a"_s,
    u"0"_s,
    u"^1"_s,
};

// Lines a hand-written script holds besides page settings.
const QStringList otherLines = {
    u"exec other.cfg"_s,
    u"map mp_depot"_s,
    u"// my notes"_s,
    u"set my_own_variable 5"_s,
    u""_s,
    u"   "_s,
    u"//Server Options"_s,
    u"//"_s,
    u"/* a block */ set sv_fps 12"_s,
    u"set;set x"_s,
};

// The weapon and vote boxes, which have no include box, write their variables whatever the file holds.
bool writtenAlways(const QString &name)
{
    return name.startsWith(u"scr_allow_") || (name.startsWith(u"g_allowvote") && name != u"g_allowvote");
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QChar(0xfdd0)
        || c == QChar(0xfdd1);
}

// A value as its line must hold it: each line break (CR LF counting as one) a blank.
QString asWritten(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out += isLineBreak(text[i]) ? QChar(u' ') : text[i];
    }
    return out;
}

struct Line {
    QString command, name, value;
};

// Splits `set <name> "<value>"` / `sets <name> "<value>"`; the value may hold quotes.
std::optional<Line> parseLine(const QString &text)
{
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return std::nullopt;
    const qsizetype nameEnd = text.indexOf(u' ', space + 1);
    if (nameEnd < 0 || text.size() < nameEnd + 3 || text[nameEnd + 1] != u'"' || !text.endsWith(u'"'))
        return std::nullopt;
    return Line { text.left(space), text.mid(space + 1, nameEnd - space - 1),
        text.mid(nameEnd + 2, text.size() - nameEnd - 3) };
}

bool isSubsequence(const QStringList &part, const QStringList &whole)
{
    qsizetype at = 0;
    for (const QString &item : part) {
        while (at < whole.size() && whole[at] != item)
            ++at;
        if (at == whole.size())
            return false;
        ++at;
    }
    return true;
}

class Chance {
public:
    explicit Chance(quint64 seed)
        : m_rng(seed)
    {
    }
    int below(int n) { return int(m_rng.bounded(n)); }
    bool coin() { return below(2) == 0; }

    QString safeValue()
    {
        QString value;
        for (int pieces = below(6); pieces > 0; --pieces)
            value += safePieces[below(int(safePieces.size()))];
        return value;
    }

    template<typename List> const auto &pick(const List &list) { return list[below(int(list.size()))]; }

    QString hostileValue()
    {
        // A long value costs the edit a full relayout; one pass in a dozen or so gets one.
        const int kind = below(1000);
        if (kind == 0)
            return longValue(64 * 1024);
        if (kind < 25)
            return {};
        QString value;
        for (int pieces = 1 + below(12); pieces > 0; --pieces)
            value += hostilePieces[below(int(hostilePieces.size()))];
        return value;
    }

private:
    QString longValue(qsizetype size)
    {
        QString value;
        value.reserve(size + 16);
        while (value.size() < size)
            value += hostilePieces[below(int(hostilePieces.size()))];
        return value.left(size);
    }

    QRandomGenerator64 m_rng;
};

} // namespace

class RandomPassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void randomStatesKeepTheScriptsShape();
    void savedStatesComeBack();
    void randomFilesKeepTheirValues();

private:
    QList<QCheckBox *> includeBoxes() const;
    void calibrate();
    void randomise(Chance &chance, bool safe = false);
    QString randomSetting(Chance &chance);
    void checkPass(const QStringList &lines, int iteration);

    std::unique_ptr<TForm1> m_form;
    QHash<QString, QLineEdit *> m_editOfName; // line name -> the edit whose text it carries
    const ValueCatalogue m_values = PageList::valueCatalogue();
    QStringList m_fullOrder; // names of a pass with everything included
    quint64 m_seed = 0;
    int m_iterations = 600;
};

QList<QCheckBox *> RandomPassTest::includeBoxes() const
{
    QList<QCheckBox *> boxes;
    for (QCheckBox *box : m_form->findChildren<QCheckBox *>()) {
        if (box->statusTip() == PageKit::includeHint)
            boxes << box;
    }
    return boxes;
}

void RandomPassTest::initTestCase()
{
    bool ok = false;
    m_seed = qEnvironmentVariable("TALLYFORGE_SEED").toULongLong(&ok);
    if (!ok)
        m_seed = QRandomGenerator::system()->generate();
    const int iterations = qEnvironmentVariableIntValue("TALLYFORGE_ITERATIONS", &ok);
    if (ok && iterations > 0)
        m_iterations = iterations;
    qInfo("seed %llu, %d passes (TALLYFORGE_SEED=%llu repeats this run)", m_seed, m_iterations, m_seed);

    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(includeBoxes().size(), includeBoxCount);
    calibrate();
}

// One pass with everything included and each edit holding its own name
// tells which line carries which edit, and the order of all lines.
void RandomPassTest::calibrate()
{
    for (QCheckBox *box : m_form->findChildren<QCheckBox *>())
        box->setChecked(true);
    const QList<QLineEdit *> edits = m_form->findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits)
        edit->setText(u"<%1>"_s.arg(edit->objectName()));

    const QStringList lines = finish(*m_form);
    click(*m_form, "btnClear");
    for (const QString &text : lines) {
        if (text.startsWith(u"//"))
            continue;
        const std::optional<Line> line = parseLine(text);
        QVERIFY2(line, qPrintable(text));
        m_fullOrder << line->name;
        for (QLineEdit *edit : edits) {
            if (line->value == edit->text())
                m_editOfName.insert(line->name, edit);
        }
    }
    // Every edit on the pages is written somewhere.
    QCOMPARE(m_editOfName.size(), edits.size());
}

void RandomPassTest::randomise(Chance &chance, bool safe)
{
    // Builder and preset buttons first, so the boxes and values below are the last word.
    const QList<TTextButton *> buttons
        = m_form->findChildren<TTextButton *>(QRegularExpression(u"^TextButton([1-9]|1[0-9]|2[0-8])$"_s));
    for (int clicks = chance.below(4); clicks > 0 && !buttons.isEmpty(); --clicks)
        buttons[chance.below(int(buttons.size()))]->click();

    for (QCheckBox *box : m_form->findChildren<QCheckBox *>())
        box->setChecked(chance.coin());
    QHash<QWidget *, QList<QRadioButton *>> groups;
    for (QRadioButton *button : m_form->findChildren<QRadioButton *>())
        groups[button->parentWidget()] << button;
    for (const QList<QRadioButton *> &group : std::as_const(groups))
        group[chance.below(int(group.size()))]->setChecked(true);
    for (QLineEdit *edit : m_form->findChildren<QLineEdit *>()) {
        if (!safe && chance.below(4) == 0)
            continue;
        const QString value = safe ? chance.safeValue() : chance.hostileValue();
        edit->setText(value);
        QVERIFY2(edit->text() == value, qPrintable(edit->objectName() + u" does not hold what was set"_s));
    }
}

void RandomPassTest::checkPass(const QStringList &lines, int iteration)
{
    // The message is built only when a check fails.
    const auto where = [&](const QString &line) {
        return u"pass %1 of seed %2: %3"_s.arg(iteration).arg(m_seed).arg(line.left(200));
    };
#define VERIFY_AT(condition, detail)                                                                                   \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            QFAIL(qPrintable(detail));                                                                                 \
    } while (false)
    const bool slashes = control<QCheckBox>(*m_form, "chkSlashes")->isChecked();
    int included = 0;
    for (QCheckBox *box : includeBoxes())
        included += box->isChecked();
    included += m_form->findChild<QCheckBox *>(u"chkMpr"_s)->isChecked();
    VERIFY_AT(lines.size() == (slashes ? allComments.size() : 0) + alwaysWritten + included,
        where(u"%1 lines, %2 included, comments %3"_s.arg(lines.size()).arg(included).arg(slashes)));

    QStringList comments, names;
    for (const QString &text : lines) {
        if (text.startsWith(u"//")) {
            comments << text;
            continue;
        }
        const std::optional<Line> line = parseLine(text);
        VERIFY_AT(line, where(text));
        const bool info = line->command == u"sets";
        VERIFY_AT(info ? knownKeys.contains(line->name) : line->command == u"set" && pageVariables().find(line->name),
            where(text));
        // ".Admin" carries the same edit as ".Admin1" when the second entry is left out.
        const QString name = info && !m_editOfName.contains(line->name) ? line->name + u'1' : line->name;
        names << name;
        if (QLineEdit *edit = m_editOfName.value(name))
            VERIFY_AT(line->value == asWritten(edit->text()), where(text));
        else
            VERIFY_AT(fixedValues.contains(line->value), where(text));
    }
    QCOMPARE(comments, slashes ? allComments : QStringList());
    VERIFY_AT(isSubsequence(names, m_fullOrder), where(names.join(u' ')));

    // The file is either refused as a whole or holds exactly these lines.
    const std::optional<QByteArray> bytes = CfgFile::encode(m_form->editor()->document()->toRawText());
    const QString expected = lines.join(u"\r\n"_s) + u"\r\n"_s;
    if (bytes) {
        QStringDecoder decoder("windows-1252");
        VERIFY_AT(QString(decoder.decode(*bytes)) == expected, where(u"file text"_s));
    } else {
        QStringEncoder encoder("windows-1252");
        const QByteArray ignored = encoder.encode(expected);
        VERIFY_AT(encoder.hasError(), where(u"file text"_s));
    }
#undef VERIFY_AT
}

void RandomPassTest::randomStatesKeepTheScriptsShape()
{
    Chance chance(m_seed);
    for (int i = 0; i < m_iterations; ++i) {
        randomise(chance);
        if (QTest::currentTestFailed())
            return;
        const QStringList lines = finish(*m_form);
        checkPass(lines, i);
        if (QTest::currentTestFailed())
            return;
        click(*m_form, "btnClear");
        QVERIFY(m_form->editor()->document()->isEmpty());
    }
}

namespace {

struct Controls {
    QHash<QString, bool> boxes; // every check box and radio button
    QHash<QString, QString> edits;
};

Controls controlsOf(const TForm1 &form)
{
    Controls controls;
    for (QAbstractButton *button : form.findChildren<QAbstractButton *>()) {
        if (button->isCheckable())
            controls.boxes.insert(button->objectName(), button->isChecked());
    }
    for (QLineEdit *edit : form.findChildren<QLineEdit *>())
        controls.edits.insert(edit->objectName(), edit->text());
    return controls;
}

} // namespace

// Finish, Save, Open: every control the script carries is as it was (the
// others keep what they held), and "Finish!" writes the same bytes.
void RandomPassTest::savedStatesComeBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"servercfg.cfg"_s);
    Chance chance(m_seed);
    for (int i = 0; i < m_iterations / 10; ++i) {
        randomise(chance, true);
        // A value the game reads otherwise stays a kept line; this pass wants every row back.
        for (const QString &text : finish(*m_form)) {
            const std::optional<Line> line = parseLine(text);
            if (!line || ConsoleReader::read(text, m_values).marks.isEmpty())
                continue;
            QLineEdit *edit = m_editOfName.value(line->name, m_editOfName.value(line->name + u'1'));
            QVERIFY2(edit, qPrintable(text));
            edit->setText(edit->objectName() == u"edRotation" ? u"map mp_depot"_s : u"1"_s);
        }
        click(*m_form, "btnClear");
        const QStringList lines = finish(*m_form);
        QVERIFY(m_form->saveTo(path));
        const Controls saved = controlsOf(*m_form);
        click(*m_form, "btnClear");
        randomise(chance, true); // what opening must replace
        const Controls before = controlsOf(*m_form);

        QVERIFY(m_form->openScript(path));
        QCOMPARE(m_form->document()->keptLines(), QStringList());
        const Controls opened = controlsOf(*m_form);
        QStringList names;
        for (const QString &text : lines) {
            if (const std::optional<Line> line = parseLine(text))
                names << line->name;
        }
        for (auto it = opened.edits.cbegin(); it != opened.edits.cend(); ++it) {
            const bool carried = std::any_of(names.cbegin(), names.cend(), [&](const QString &name) {
                // ".Admin" carries the edit of ".Admin1" when the second entry is left out.
                const QLineEdit *edit = m_editOfName.value(name, m_editOfName.value(name + u'1'));
                return edit && edit->objectName() == it.key();
            });
            QCOMPARE(*it, carried ? saved.edits[it.key()] : before.edits[it.key()]);
        }
        for (QCheckBox *box : m_form->findChildren<QCheckBox *>()) {
            const QWidget *page = box->parentWidget();
            if (box->statusTip() == PageKit::includeHint || page->objectName() == u"TabSheet1"
                || page->objectName() == u"tabVotes" || box->objectName() == u"chkSlashes"
                || box->objectName() == u"chkMpr")
                QVERIFY2(
                    opened.boxes[box->objectName()] == saved.boxes[box->objectName()], qPrintable(box->objectName()));
        }

        click(*m_form, "btnClear");
        QCOMPARE(finish(*m_form), lines);
        click(*m_form, "btnClear");
        if (QTest::currentTestFailed())
            return qInfo("pass %d of seed %llu", i, m_seed);
    }
}

QString RandomPassTest::randomSetting(Chance &chance)
{
    static const ValueCatalogue catalogue = PageList::valueCatalogue();
    QString name = chance.pick(m_fullOrder);
    if (name.startsWith(u'.') && name.endsWith(u'1') && chance.coin())
        name.chop(1); // the first entry of a pair alone
    QString value = chance.safeValue();
    if (const ValueCatalogue::Accepted *accepted = catalogue.find(name); accepted && chance.below(4) > 0) {
        if (accepted->kind == ValueCatalogue::Kind::Choice || accepted->kind == ValueCatalogue::Kind::Gametype)
            value = chance.pick(accepted->values);
        else if (accepted->kind == ValueCatalogue::Kind::Whole)
            value = QString::number(chance.below(100));
    }
    if (chance.coin())
        name = name.toUpper();
    const QString command
        = name.startsWith(u'.') ? u"sets"_s : chance.pick(QStringList { u"set"_s, u"seta"_s, u"SET"_s });
    const QString quoted = chance.coin() && !value.isEmpty() && !value.contains(u' ') ? value : u'"' + value + u'"';
    return command + u' ' + name + u' ' + quoted;
}

// Random scripts of page settings, other lines and commands that read
// variables: the sections and the kept lines run as the file does.
void RandomPassTest::randomFilesKeepTheirValues()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"random.cfg"_s);
    Chance chance(m_seed);
    for (int i = 0; i < m_iterations / 10; ++i) {
        QStringList lines;
        for (int count = chance.below(60); count > 0; --count) {
            switch (chance.below(7)) {
            case 0: lines << chance.pick(otherLines); break;
            case 1: lines << randomSetting(chance) + u"; "_s + randomSetting(chance); break;
            case 2: lines << randomSetting(chance) + u" // note"_s; break;
            case 3: {
                // A box without an include box writes its variable before the file's own commands reach it.
                QString name;
                do
                    name = chance.pick(m_fullOrder);
                while (writtenAlways(name.toLower()));
                lines << chance.pick(QStringList { u"toggle "_s, u"reset "_s, u"unset "_s }) + name;
                break;
            }
            case 4:
                lines << chance.pick(QStringList { u"exec mod.cfg"_s, u"vstr next"_s, u"map_rotate"_s, u"map_restart"_s,
                    u"fast_restart"_s, u"cvar_restart"_s, u"echo hi"_s });
                break;
            default: lines << randomSetting(chance);
            }
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray bytes = QStringEncoder("windows-1252").encode(lines.join(u'\n'));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();

        QVERIFY(m_form->openScript(path));
        click(*m_form, "btnClear");
        const QStringList regenerated = finish(*m_form);
        click(*m_form, "btnClear");
        QStringList added;
        const QString lost = ConsoleModel::difference(lines, regenerated, &added, writtenAlways);
        QVERIFY2(lost.isEmpty(),
            qPrintable(u"pass %1 of seed %2: %3\n%4"_s.arg(i).arg(m_seed).arg(lost, lines.join(u'\n'))));
        for (const QString &name : std::as_const(added))
            QVERIFY2(writtenAlways(name), qPrintable(name));
        const QStringList kept = m_form->document()->keptLines();
        const qsizetype before = m_form->document()->keptBeforeSections();
        QCOMPARE(regenerated.first(before), kept.first(before));
        QCOMPARE(regenerated.sliced(regenerated.size() - kept.size() + before), kept.sliced(before));
        // A line goes only when it is blank, the window's own comment, or nothing but settings.
        qsizetype next = 0;
        for (const QString &line : std::as_const(lines)) {
            if (next < kept.size() && kept[next] == line) {
                ++next;
                continue;
            }
            bool plain = false;
            const QList<QStringList> commands = ConsoleReader::commandsOf(line, &plain);
            const bool onlySettings
                = plain && std::all_of(commands.cbegin(), commands.cend(), [](const QStringList &words) {
                      return words.isEmpty() || words[0].startsWith(u"set", Qt::CaseInsensitive);
                  });
            QVERIFY2(line.trimmed().isEmpty() || allComments.contains(line) || onlySettings, qPrintable(line));
        }
        QCOMPARE(next, kept.size());
    }
}

TALLYFORGE_TEST_MAIN(RandomPassTest)
#include "tst_randompass.moc"
