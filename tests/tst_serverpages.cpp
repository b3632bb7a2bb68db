#include "formtest.h"
#include "generator/pagekit.h"
#include "testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using namespace FormTest;

class ServerPagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void infoPairs_data();
    void infoPairs();
    void everyInfoRowIncluded();
    void valuesAsTyped_data();
    void valuesAsTyped();
    void radioRows_data();
    void radioRows();
    void downloads_data();
    void downloads();
    void radioPairsStayExclusive();
};

void ServerPagesTest::infoPairs_data()
{
    QTest::addColumn<QString>("row"); // the one row of its pair that is included
    QTest::addColumn<QString>("partner"); // the other, filled in but left out
    QTest::addColumn<QString>("line");

    // Both rows of every pair are included in everyInfoRowIncluded.
    const struct {
        const char *pair, *first, *second, *key;
    } pairs[] = {
        { "Admin", "Admin1", "Admin2", ".Admin" },
        { "Email", "Mail1", "Mail2", ".Email" },
        { "IRC", "IRC1", "IRC2", ".Irc" },
        { "Website", "Website1", "Website2", ".Website" },
    };
    for (const auto &p : pairs) {
        const QString key = QString::fromLatin1(p.key);
        const QString first = QString::fromLatin1(p.first), second = QString::fromLatin1(p.second);
        QTest::addRow("%s first only", p.pair) << first << second << u"sets %1 \"x\""_s.arg(key);
        QTest::addRow("%s second only", p.pair) << second << first << u"sets %1 \"x\""_s.arg(key + u'2');
    }
}

void ServerPagesTest::infoPairs()
{
    QFETCH(QString, row);
    QFETCH(QString, partner);
    QFETCH(QString, line);

    TForm1 form;
    setControls(form, { { u"chk"_s + row, true }, { u"ed"_s + row, u"x"_s }, { u"ed"_s + partner, u"y"_s } });
    QStringList expected = section(goldenLines(), u"//Server Information"_s);
    expected.insert(expected.size() - 1, line);
    QCOMPARE(section(finish(form), u"//Server Information"_s), expected);
}

void ServerPagesTest::everyInfoRowIncluded()
{
    TForm1 form;
    for (QCheckBox *box : control<ServerInfoPage>(form, "tabMain")->findChildren<QCheckBox *>())
        box->setChecked(true);
    for (QLineEdit *edit : control<ServerInfoPage>(form, "tabMain")->findChildren<QLineEdit *>())
        edit->setText(edit->objectName().mid(2));
    const QStringList expected { u"//Server Information"_s, uR"(set sv_hostname "Servername")"_s,
        uR"(set scr_motd "Motd")"_s, uR"(sets .Admin1 "Admin1")"_s, uR"(sets .Admin2 "Admin2")"_s,
        uR"(sets .Email1 "Mail1")"_s, uR"(sets .Email2 "Mail2")"_s, uR"(sets .Irc1 "IRC1")"_s,
        uR"(sets .Irc2 "IRC2")"_s, uR"(sets .Website1 "Website1")"_s, uR"(sets .Website2 "Website2")"_s,
        uR"(sets .Location "Location")"_s, uR"(sets .TS "TS")"_s, u"//"_s };
    QCOMPARE(section(finish(form), u"//Server Information"_s), expected);
}

void ServerPagesTest::valuesAsTyped_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty server name") << Settings { { u"edServername"_s, QString() } } << uR"(set sv_hostname "")"_s;
    QTest::newRow("double quote kept") << Settings { { u"edMotd"_s, uR"(say "hi")"_s } }
                                       << uR"(set scr_motd "say "hi"")"_s;
    QTest::newRow("blanks kept") << Settings { { u"edRcon"_s, u"  secret  "_s } }
                                 << uR"(set rconpassword "  secret  ")"_s;
    QTest::newRow("letters as player limit")
        << Settings { { u"edMaxplayers"_s, u"many"_s } } << uR"(set sv_maxclients "many")"_s;
    QTest::newRow("pasted line break") << Settings { { u"edServername"_s, u"x\ny"_s } }
                                       << uR"(set sv_hostname "x y")"_s;
    QTest::newRow("pasted CR LF") << Settings { { u"edLog"_s, u"a\r\nb"_s } } << uR"(set g_log "a b")"_s;
    QTest::newRow("location") << Settings { { u"chkLocation"_s, true }, { u"edLocation"_s, u"Here"_s } }
                              << uR"(sets .Location "Here")"_s;
    QTest::newRow("team speak") << Settings { { u"chkTS"_s, true }, { u"edTS"_s, u"ts:1"_s } }
                                << uR"(sets .TS "ts:1")"_s;
    QTest::newRow("untouched website") << Settings { { u"chkWebsite1"_s, true } } << uR"(sets .Website "http://")"_s;
    QTest::newRow("master server default")
        << Settings { { u"chkMaster"_s, true } } << uR"(set sv_master1 "master.bravenmark.example")"_s;
    QTest::newRow("empty base URL") << Settings { { u"chkBaseurl"_s, true } } << uR"(set sv_wwwBaseURL "")"_s;
    QTest::newRow("download disconnected")
        << Settings { { u"chkDlD"_s, true }, { u"edDlD"_s, u" 1 "_s } } << uR"(set sv_wwwDlDisconnected " 1 ")"_s;
}

void ServerPagesTest::valuesAsTyped()
{
    QFETCH(Settings, settings);
    QFETCH(QString, line);

    TForm1 form;
    setControls(form, settings);
    const QStringList lines = finish(form);
    QVERIFY2(lines.contains(line), qPrintable(lines.mid(0, 40).join(u'\n')));
    // An included row adds one line, a changed one none: a value never spills onto a line of its own.
    const qsizetype added = std::count_if(
        settings.cbegin(), settings.cend(), [](const auto &setting) { return setting.first.startsWith(u"chk"); });
    QCOMPARE(lines.size(), goldenLines().size() + added);
}

void ServerPagesTest::radioRows_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("cvar");
    QTest::addColumn<QString>("value"); // null: the row writes no line

    QTest::newRow("pure no") << Settings { { u"rbPure0"_s, true } } << u"sv_pure"_s << u"0"_s;
    QTest::newRow("download no") << Settings { { u"rbDl0"_s, true } } << u"sv_allowdownload"_s << u"0"_s;
    QTest::newRow("cheats yes") << Settings { { u"rbCheats1"_s, true } } << u"sv_cheats"_s << u"1"_s;
    QTest::newRow("logsync write immediately") << Settings { { u"rbW"_s, true } } << u"g_logsync"_s << u"0"_s;
    QTest::newRow("logsync buffered again")
        << Settings { { u"rbW"_s, true }, { u"rbB"_s, true } } << u"g_logsync"_s << u"1"_s;
    QTest::newRow("anonymous yes") << Settings { { u"rbA1"_s, true } } << u"sv_allowanonymous"_s << u"1"_s;
    QTest::newRow("flood no") << Settings { { u"rbFlood0"_s, true } } << u"sv_floodprotect"_s << u"0"_s;
    QTest::newRow("cheats cleared, either button")
        << Settings { { u"rbCheats1"_s, true }, { u"chkCheats"_s, false } } << u"sv_cheats"_s << QString();
    QTest::newRow("logsync cleared") << Settings { { u"chkLogsync"_s, false } } << u"g_logsync"_s << QString();
}

void ServerPagesTest::radioRows()
{
    QFETCH(Settings, settings);
    QFETCH(QString, cvar);
    QFETCH(QString, value);

    TForm1 form;
    setControls(form, settings);
    QStringList expected = section(goldenLines(), u"//Server Options"_s);
    const QString prefix = u"set %1 \""_s.arg(cvar);
    const qsizetype at = std::find_if(expected.cbegin(), expected.cend(), [&](const QString &line) {
        return line.startsWith(prefix);
    }) - expected.cbegin();
    QVERIFY(at < expected.size());
    if (value.isNull())
        expected.removeAt(at);
    else
        expected[at] = prefix + value + u'"';
    QCOMPARE(section(finish(form), u"//Server Options"_s), expected);
}

void ServerPagesTest::downloads_data()
{
    QTest::addColumn<bool>("www");
    QTest::addColumn<bool>("wwws");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("both cleared") << false << false << QStringList {};
    QTest::newRow("redirect without its include box") << false << true << QStringList {};
    QTest::newRow("included, not redirected") << true << false << QStringList { uR"(set sv_wwwDownload "0")"_s };
    QTest::newRow("included and redirected") << true << true << QStringList { uR"(set sv_wwwDownload "1")"_s };
}

void ServerPagesTest::downloads()
{
    QFETCH(bool, www);
    QFETCH(bool, wwws);
    QFETCH(QStringList, lines);

    TForm1 form;
    setControls(
        form, { { u"chkWWW"_s, www }, { u"chkWWWs"_s, wwws }, { u"chkBaseurl"_s, true }, { u"edBaseurl"_s, u"u"_s } });
    QStringList expected = section(goldenLines(), u"//Network Options"_s);
    expected.removeLast();
    expected << lines << uR"(set sv_wwwBaseURL "u")"_s << u"//"_s;
    QCOMPARE(section(finish(form), u"//Network Options"_s), expected);
}

void ServerPagesTest::radioPairsStayExclusive()
{
    ServerOptionsPage page;
    page.build();
    QList<QWidget *> panels;
    for (const char *name : { "Panel2", "Panel3", "Panel4", "Panel5", "Panel6", "Panel7" })
        panels << control(page, name);
    auto selectedCounts = [&] {
        QList<qsizetype> counts;
        for (QWidget *panel : panels) {
            const auto buttons = panel->findChildren<QRadioButton *>();
            counts << std::count_if(buttons.cbegin(), buttons.cend(), [](auto *b) { return b->isChecked(); });
        }
        return counts;
    };
    const QList<qsizetype> one(panels.size(), 1);
    QCOMPARE(selectedCounts(), one);
    for (QWidget *panel : panels) {
        for (QRadioButton *button : panel->findChildren<QRadioButton *>()) {
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(button->isChecked());
            QCOMPARE(selectedCounts(), one);
        }
    }
}

TALLYFORGE_TEST_MAIN(ServerPagesTest)
#include "tst_serverpages.moc"
