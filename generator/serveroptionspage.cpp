#include "generator/serveroptionspage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>

using namespace Qt::StringLiterals;

namespace {

using Page = ServerOptionsPage;
using Choice = PageKit::RadioChoice<Page>;

const QColor yesColour(0, 0x80, 0);
const QColor noColour(0x80, 0, 0);
const QColor logsyncColour(0x80, 0x80, 0x80);

std::array<Choice, 2> yesNo(QRadioButton *Page::*yes, const char *yesName, QRadioButton *Page::*no, const char *noName)
{
    return PageKit::yesNo(yes, yesName, no, noName, { 72, 128 }, 41, { yesColour, noColour });
}

const std::array<Choice, 2> pureChoices = yesNo(&Page::rbPure1, "rbPure1", &Page::rbPure0, "rbPure0");
const std::array<Choice, 2> downloadChoices = yesNo(&Page::rbDl1, "rbDl1", &Page::rbDl0, "rbDl0");
const std::array<Choice, 2> cheatsChoices = yesNo(&Page::rbCheats1, "rbCheats1", &Page::rbCheats0, "rbCheats0");
const std::array<Choice, 2> anonymousChoices = yesNo(&Page::rbA1, "rbA1", &Page::rbA0, "rbA0");
const std::array<Choice, 2> floodChoices = yesNo(&Page::rbFlood1, "rbFlood1", &Page::rbFlood0, "rbFlood0");
const std::array<Choice, 2> logsyncChoices { {
    { &Page::rbB, "rbB", u"Buffered Writes", { 8, 8, 105, 17 }, logsyncColour, u"1" },
    { &Page::rbW, "rbW", u"Write immediately", { 120, 8, 113, 17 }, logsyncColour, u"0" },
} };

struct Column {
    int includeX;
    int labelRight;
    int valueX;
};
constexpr Column left { 8, 107, 120 };
constexpr Column right { 400, 504, 520 };

// One setting row. An edit row names its edit and start text; a radio row names its panel, the button
// selected at start and whether the buttons' hints carry their values.
struct Row {
    int top;
    Column column;
    const char *labelName;
    QStringView caption;
    QStringView hint;
    const char *includeName;
    PageKit::Setting<Page> setting;
    const char *valueName;
    QStringView text;
    QWidget *Page::*panel;
    qsizetype selected;
    bool valueInHints;
};

const Row rows[] = {
    { 64, left, "Label22", u"Pure Server:", u"Client package files must be pure to connect. (sv_pure)", "chkPure",
        { &Page::chkPure, u"sv_pure", nullptr, pureChoices }, "Panel2", {}, &Page::Panel2, 0, true },
    { 64, right, "Label31", u"Logfile:", u"Name of the log file. (g_log)", "chkLog",
        { &Page::chkLog, u"g_log", &Page::edLog }, "edLog", u"games_mp.log", nullptr, 0, false },
    { 96, left, "Label23", u"Rcon Password:", u"Remote Console Password (Admin Password). (rconPassword)", "chkRcon",
        { &Page::chkRcon, u"rconpassword", &Page::edRcon }, "edRcon", u"", nullptr, 0, false },
    { 96, right, "Label32", u"Logsync:", u"How to write the log file. (g_logsync)", "chkLogsync",
        { &Page::chkLogsync, u"g_logsync", nullptr, logsyncChoices }, "Panel5", {}, &Page::Panel5, 0, false },
    { 128, left, "Label24", u"Server Password:", u"To make the server private, set a password here. (g_password)",
        "chkSvpass", { &Page::chkSvpass, u"g_password", &Page::edSvpass }, "edSvpass", u"", nullptr, 0, false },
    { 128, right, "Label37", u"Banned IPs:", u"Banned IPs (set g_banips)", "chkBanned",
        { &Page::chkBanned, u"g_banips", &Page::edBanned }, "edBanned", u"", nullptr, 0, false },
    { 160, left, "Label25", u"PVT Clients pw:",
        u"Reserve slots for people who use this password to connect. (sv_privatePassword)", "chkPvtpw",
        { &Page::chkPvtpw, u"sv_privatepassword", &Page::edPvtpw }, "edPvtpw", u"", nullptr, 0, false },
    { 160, right, "Label36", u"Ban Duration(s):", u"Temporary ban duration in seconds. (sv_kickBanTime)", "chkBanD",
        { &Page::chkBanD, u"sv_kickbantime", &Page::edBanD }, "edBanD", u"300", nullptr, 0, false },
    { 192, { left.includeX, 109, left.valueX }, "Label27", u"Reserved Slots:",
        u"Number of slots reserved for players connecting with the private password. (sv_privateClients)", "chkPvtp",
        { &Page::chkPvtp, u"sv_privateclients", &Page::edPvtp }, "edPvtp", u"0", nullptr, 0, false },
    { 192, right, "Label35", u"Server FPS:", u"The number of frames per second the server runs at. (sv_fps)",
        "chkSvfps", { &Page::chkSvfps, u"sv_fps", &Page::edSvfps }, "edSvfps", u"20", nullptr, 0, false },
    { 224, left, "Label28", u"Max Players:", u"Maximum number of players able to connect. (sv_maxclients)",
        "chkMaxplayers", { &Page::chkMaxplayers, u"sv_maxclients", &Page::edMaxplayers }, "edMaxplayers", u"20",
        nullptr, 0, false },
    { 224, right, "Label34", u"Allow Anonymous:", u"Allow Anonymous (set sv_allowanonymous)", "chkA",
        { &Page::chkA, u"sv_allowanonymous", nullptr, anonymousChoices }, "Panel6", {}, &Page::Panel6, 1, true },
    { 256, left, "Label29", u"Allow client dl:",
        u"Allow players to download custom packages they do not have from the server. (sv_allowDownload)", "chkDl",
        { &Page::chkDl, u"sv_allowdownload", nullptr, downloadChoices }, "Panel3", {}, &Page::Panel3, 0, true },
    { 256, right, "Label33", u"Flood Protection:", u"Stop players from flooding chat messages. (sv_floodProtect)",
        "chkFlood", { &Page::chkFlood, u"sv_floodprotect", nullptr, floodChoices }, "Panel7", {}, &Page::Panel7, 0,
        true },
    { 288, left, "Label30", u"Allow cheats:", u"Allow players to use in-built cheats such as godmode. (sv_cheats)",
        "chkCheats", { &Page::chkCheats, u"sv_cheats", nullptr, cheatsChoices }, "Panel4", {}, &Page::Panel4, 1, true },
};

// The script lists the left column top to bottom, then the right one.
constexpr QCheckBox *Page::*lineOrder[] = {
    &Page::chkPure,
    &Page::chkRcon,
    &Page::chkSvpass,
    &Page::chkPvtpw,
    &Page::chkPvtp,
    &Page::chkMaxplayers,
    &Page::chkDl,
    &Page::chkCheats,
    &Page::chkLog,
    &Page::chkLogsync,
    &Page::chkBanned,
    &Page::chkBanD,
    &Page::chkSvfps,
    &Page::chkA,
    &Page::chkFlood,
};

} // namespace

ServerOptionsPage::ServerOptionsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet2"_s);
    PageKit::headingStrip(this, "Label6", u"Server Options"_s, u"Server Options"_s);
    PageKit::band(this, { 368, 56, 9, 225 });

    for (const Row &row : rows) {
        const QString hint = row.hint.toString();
        this->*row.setting.include = PageKit::includeBox(this, row.includeName, { row.column.includeX, row.top }, true);
        QLabel *label
            = PageKit::rowLabel(this, row.labelName, row.caption.toString(), row.column.labelRight, row.top, hint);
        const QRect strip(row.column.valueX - 8, row.top - 8, 241, 33);
        QWidget *value = nullptr;
        if (row.setting.edit) {
            PageKit::band(this, strip);
            value = this->*row.setting.edit = PageKit::flatEdit(
                this, row.valueName, { row.column.valueX, row.top - 3, 225, 19 }, row.text.toString(), hint);
        } else {
            QWidget *panel = PageKit::radioPanel(this, row.valueName, strip, systemColor(SystemColor::ButtonHighlight));
            value = this->*row.panel = panel;
            PageKit::addRadioChoices(*this, panel, row.setting.choices, row.selected, hint, row.valueInHints);
            PageKit::tabStopOnSelected(panel);
        }
        PageKit::nameRow(label, this->*row.setting.include, value);
    }

    Label26 = new QLabel(u"WARNING: Password fields are not protected..."_s, this);
    Label26->setObjectName(u"Label26"_s);
    Label26->adjustSize();
    Label26->move(8, 328);

    PageKit::picture(this, { 720, 312, 33, 33 }, u":/art/corner-serveroptions.png"_s);

    PageKit::setTabOrder({ chkPure, rbPure1, rbPure0, chkRcon, chkSvpass, chkPvtpw, chkPvtp, chkMaxplayers, chkDl,
        chkCheats, chkLog, chkLogsync, edRcon, chkBanned, chkBanD, chkSvfps, chkA, chkFlood, rbDl1, rbDl0, rbCheats1,
        rbCheats0, rbB, rbW, rbA1, rbA0, rbFlood1, rbFlood0, edSvpass, edPvtpw, edPvtp, edMaxplayers, edLog, edBanned,
        edBanD, edSvfps });
}

void ServerOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Server Options"_s);
    for (QCheckBox *Page::*include : lineOrder) {
        for (const Row &row : rows) {
            if (row.setting.include == include)
                PageKit::writeSetting(*this, out, row.setting);
        }
    }
    out.comment(u"//"_s);
}
