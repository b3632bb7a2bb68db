// A long session: thousands of "Finish!" / "Clear Cfg" cycles and builder
// clicks must not make the program grow. Resident memory is compared once the
// allocator has warmed up, so the suite runs this in the plain build; under the
// sanitizers (whose own bookkeeping grows) only LeakSanitizer's verdict counts.
//
//   TALLYFORGE_CYCLES=<n>  instead of 3,000 cycles and 3,000 appends

#include "formtest.h"
#include "testmain.h"
#include "widgets/tappendedit.h"
#include "widgets/ttextbutton.h"

#include <QFile>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

#ifdef TALLYFORGE_SANITIZED
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// Growth allowed between the warmed-up and the final figure: what losing
// 700 bytes per cycle would add over 3,000 cycles.
constexpr double allowedGrowthMb = 2.0;

double residentMb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// What a user's event loop does between two clicks.
void idle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int cycles()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("TALLYFORGE_CYCLES", &ok);
    return ok && n > 0 ? n : 3000;
}

void checkFlat(const char *what, double warm, double last)
{
    qInfo("%s: resident memory %.1f MB after warming up, %.1f MB at the end (%+.2f MB)%s", what, warm, last,
        last - warm, sanitized ? ", not judged under the sanitizers" : "");
    if (!sanitized)
        QVERIFY2(last - warm < allowedGrowthMb, what);
}

} // namespace

class LongUseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void finishAndClearCycles();
    void builderAppends();
};

void LongUseTest::finishAndClearCycles()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QStringList first = finish(form);
    click(form, "btnClear");

    const int total = cycles();
    const int warmUp = std::max(1, total / 20);
    double warm = 0;
    for (int i = 1; i <= total; ++i) {
        control<TTextButton>(form, "btnFinish")->click();
        idle();
        if (i % 1000 == 0)
            QCOMPARE(editorLines(form), first);
        control<TTextButton>(form, "btnClear")->click();
        idle();
        if (i == warmUp)
            warm = residentMb();
    }
    QVERIFY(form.editor()->document()->isEmpty());
    checkFlat("Finish!/Clear Cfg cycles", warm, residentMb());
}

// Clicks builder buttons in rounds of a thousand; the user empties the
// rotation between rounds, so a leak per click would show as growth.
void LongUseTest::builderAppends()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    control<QTabWidget>(form, "PageControl1")->setCurrentWidget(control<MapRotationPage>(form, "TabSheet6"));
    auto *edit = control<TAppendEdit>(form, "edRotation");
    QList<TTextButton *> buttons;
    for (int number = 1; number <= 22; ++number)
        buttons << control<TTextButton>(form, qPrintable(u"TextButton%1"_s.arg(number)));

    const int total = cycles();
    const int round = std::min(1000, total);
    double warm = 0;
    for (int i = 1; i <= total; ++i) {
        const QString before = edit->text();
        TTextButton *button = buttons[i % buttons.size()];
        button->click();
        idle();
        QVERIFY2(
            edit->text().startsWith(before) && edit->text().size() > before.size(), qPrintable(button->objectName()));
        if (i % round == 0) {
            edit->setEditText({});
            idle();
            if (i == round * 2 || (warm == 0 && i == total))
                warm = residentMb();
        }
    }
    checkFlat("builder appends", warm, residentMb());
}

TALLYFORGE_TEST_MAIN(LongUseTest)
#include "tst_longuse.moc"
