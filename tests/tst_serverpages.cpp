#include "formtest.h"
#include "generator/pagekit.h"
#include "testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using namespace FormTest;

namespace {

const QStringList golden = goldenLines();

} // namespace

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
    void controlsAtStart_data();
    void controlsAtStart();
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
    QStringList expected = section(golden, u"//Server Information"_s);
    expected.insert(expected.size() - 1, line);
    QCOMPARE(section(finish(form), u"//Server Information"_s), expected);
}

void ServerPagesTest::everyInfoRowIncluded()
{
    TForm1 form;
    for (QCheckBox *box : form.tabMain->findChildren<QCheckBox *>())
        box->setChecked(true);
    for (QLineEdit *edit : form.tabMain->findChildren<QLineEdit *>())
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
    QCOMPARE(lines.size(), golden.size() + added);
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
    QStringList expected = section(golden, u"//Server Options"_s);
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
    QStringList expected = section(golden, u"//Network Options"_s);
    expected.removeLast();
    expected << lines << uR"(set sv_wwwBaseURL "u")"_s << u"//"_s;
    QCOMPARE(section(finish(form), u"//Network Options"_s), expected);
}

void ServerPagesTest::controlsAtStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QVariant>("start"); // text of an edit or label, checked state of a box or button

    const QString include = PageKit::includeHint;
    auto add = [](const QString &name, const QString &hint, const QVariant &start) {
        QTest::newRow(qPrintable(name)) << name << hint << start;
    };
    // label, caption, include box, included at start, edit, text at start, hint
    auto editRow = [&](const char *label, const QString &caption, const char *box, bool included, const char *edit,
                       const QString &text, const QString &hint) {
        add(QString::fromLatin1(label), hint, caption);
        add(QString::fromLatin1(box), include, included);
        add(QString::fromLatin1(edit), hint, text);
    };
    // label, caption, include box, row hint, then each button with its value (empty: hint without value)
    auto radioRow = [&](const char *label, const QString &caption, const char *box, const QString &hint,
                        std::initializer_list<std::tuple<const char *, const char *, bool>> buttons) {
        add(QString::fromLatin1(label), hint, caption);
        add(QString::fromLatin1(box), include, true);
        for (const auto &[name, value, checked] : buttons) {
            const QString buttonHint = *value ? PageKit::withValue(hint, QString::fromLatin1(value)) : hint;
            add(QString::fromLatin1(name), buttonHint, checked);
        }
    };

    add(u"Label2"_s, u"Server Information"_s, u"Server Information"_s);
    add(u"TextButton29"_s, QString(), u"Click here to test colors"_s);
    editRow("Label1", u"Server name:"_s, "chkSvname", true, "edServername", u"BravenmarkHost"_s,
        u"The name of your server, displayed in server browsers. (sv_hostname) you may use colors."_s);
    add(u"Label12"_s, u"The message of the day, displayed to players when they first connect. (scr_motd)"_s,
        u"Motd:"_s);
    add(u"chkMotd"_s, include, true);
    add(u"edMotd"_s, u"The message of the day, displayed to players when they first connect. (set scr_motd)"_s,
        u"Welcome to Bravenmark server."_s);
    editRow("Label21", u"Team Speak:"_s, "chkTS", false, "edTS", {}, u"clan/server team speak ip (.TS)"_s);
    editRow("Label11", u"Administrator:"_s, "chkAdmin1", false, "edAdmin1", {},
        u"Declare the name of the server admin. (.ADMIN) or (.ADMIN1)"_s);
    editRow("Label17", u"Administrator 2:"_s, "chkAdmin2", false, "edAdmin2", {},
        u"Declare the name of the second server admin. (.ADMIN2)"_s);
    editRow("Label13", u"Email:"_s, "chkMail1", false, "edMail1", {},
        u"Contact e-mail address of the server admin. (.EMAIL) or (.EMAIL1)"_s);
    editRow("Label18", u"Email 2:"_s, "chkMail2", false, "edMail2", {},
        u"Contact e-mail address of the second server admin. (.EMAIL2)"_s);
    editRow("Label14", u"IRC:"_s, "chkIRC1", false, "edIRC1", {}, u"Contact irc server/channel. (.IRC) or (.IRC1)"_s);
    editRow("Label19", u"IRC 2:"_s, "chkIRC2", false, "edIRC2", {}, u"Second contact irc server/channel. (.IRC2)"_s);
    editRow("Label15", u"Website:"_s, "chkWebsite1", false, "edWebsite1", u"http://"_s,
        u"Website URL of clan/server host. (.WEBSITE) or (.WEBSITE1)"_s);
    editRow("Label20", u"Website 2:"_s, "chkWebsite2", false, "edWebsite2", {},
        u"Second website URL of clan/server host. (.WEBSITE2)"_s);
    editRow("Label16", u"Location:"_s, "chkLocation", false, "edLocation", {},
        u"Where the server is hosted. (.LOCATION)"_s);

    add(u"Label6"_s, u"Server Options"_s, u"Server Options"_s);
    add(u"Label26"_s, QString(), u"WARNING: Password fields are not protected..."_s);
    radioRow("Label22", u"Pure Server:"_s, "chkPure", u"Client package files must be pure to connect. (sv_pure)"_s,
        { { "rbPure1", "1", true }, { "rbPure0", "0", false } });
    editRow("Label31", u"Logfile:"_s, "chkLog", true, "edLog", u"games_mp.log"_s, u"Name of the log file. (g_log)"_s);
    editRow("Label23", u"Rcon Password:"_s, "chkRcon", true, "edRcon", {},
        u"Remote Console Password (Admin Password). (rconPassword)"_s);
    radioRow("Label32", u"Logsync:"_s, "chkLogsync", u"How to write the log file. (g_logsync)"_s,
        { { "rbB", "", true }, { "rbW", "", false } });
    editRow("Label24", u"Server Password:"_s, "chkSvpass", true, "edSvpass", {},
        u"To make the server private, set a password here. (g_password)"_s);
    editRow("Label37", u"Banned IPs:"_s, "chkBanned", true, "edBanned", {}, u"Banned IPs (set g_banips)"_s);
    editRow("Label25", u"PVT Clients pw:"_s, "chkPvtpw", true, "edPvtpw", {},
        u"Reserve slots for people who use this password to connect. (sv_privatePassword)"_s);
    editRow("Label36", u"Ban Duration(s):"_s, "chkBanD", true, "edBanD", u"300"_s,
        u"Temporary ban duration in seconds. (sv_kickBanTime)"_s);
    editRow("Label27", u"Reserved Slots:"_s, "chkPvtp", true, "edPvtp", u"0"_s,
        u"Number of slots reserved for players connecting with the private password. (sv_privateClients)"_s);
    editRow("Label35", u"Server FPS:"_s, "chkSvfps", true, "edSvfps", u"20"_s,
        u"The number of frames per second the server runs at. (sv_fps)"_s);
    editRow("Label28", u"Max Players:"_s, "chkMaxplayers", true, "edMaxplayers", u"20"_s,
        u"Maximum number of players able to connect. (sv_maxclients)"_s);
    radioRow("Label34", u"Allow Anonymous:"_s, "chkA", u"Allow Anonymous (set sv_allowanonymous)"_s,
        { { "rbA1", "1", false }, { "rbA0", "0", true } });
    radioRow("Label29", u"Allow client dl:"_s, "chkDl",
        u"Allow players to download custom packages they do not have from the server. (sv_allowDownload)"_s,
        { { "rbDl1", "1", true }, { "rbDl0", "0", false } });
    radioRow("Label33", u"Flood Protection:"_s, "chkFlood",
        u"Stop players from flooding chat messages. (sv_floodProtect)"_s,
        { { "rbFlood1", "1", true }, { "rbFlood0", "0", false } });
    radioRow("Label30", u"Allow cheats:"_s, "chkCheats",
        u"Allow players to use in-built cheats such as godmode. (sv_cheats)"_s,
        { { "rbCheats1", "1", false }, { "rbCheats0", "0", true } });

    add(u"Label5"_s, u"Network Options"_s, u"Network Options"_s);
    editRow(
        "Label42", u"Server IP:"_s, "chkIP", true, "edIP", {}, u"IP to listen on for multihomed servers. (net_ip)"_s);
    editRow("Label43", u"Server Port:"_s, "chkPort", true, "edPort", u"28950"_s, u"Port to listen on. (net_port)"_s);
    editRow("Label44", u"Max Rate:"_s, "chkRate", true, "edRate", u"0"_s,
        u"Maximum data transfer rate to players. (sv_maxRate)"_s);
    editRow("Label45", u"Max Ping:"_s, "chkMp", true, "edMp", u"0"_s,
        u"Maximum ping allowed before players are kicked. (sv_maxPing)"_s);
    editRow("Label46", u"Min Ping:"_s, "chkMip", true, "edMip", u"0"_s,
        u"Minimum ping allowed before players are kicked. (sv_minPing)"_s);
    editRow("Label99", u"Master Server:"_s, "chkMaster", false, "edMaster", u"master.bravenmark.example"_s,
        u"The master server the server details are sent to. (sv_master1)"_s);
    add(u"Label102"_s, QString(), u"Downloads (if allowed)"_s);
    add(u"Label105"_s, u"Server download redirection. (sv_wwwDownload)"_s, u"WWW Download:"_s);
    add(u"chkWWW"_s, include, false);
    add(u"chkWWWs"_s, u"Server download redirection. (sv_wwwDownload)"_s, false);
    editRow("Label104", u"Base URL:"_s, "chkBaseurl", false, "edBaseurl", {},
        u"Base directory where the files are stored (e.g. http://www.example.com/bravenmark/) (sv_wwwBaseURL)"_s);
    editRow("Label103", u"Download Disconnected:"_s, "chkDlD", false, "edDlD", {},
        u"Prevent clients from taking up a slot on the server while downloading. (sv_wwwDlDisconnected)"_s);
}

void ServerPagesTest::controlsAtStart()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QFETCH(QVariant, start);

    TForm1 form;
    QWidget *control = FormTest::control(form, name);
    QCOMPARE(control->statusTip(), hint);
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        QCOMPARE(edit->text(), start.toString());
        QVERIFY(!edit->hasFrame());
        QCOMPARE(edit->echoMode(), QLineEdit::Normal);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), start.toString());
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        if (start.typeId() == QMetaType::Bool)
            QCOMPARE(button->isChecked(), start.toBool());
        else
            QCOMPARE(button->text(), start.toString());
    } else {
        QFAIL("unexpected kind of control");
    }
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
