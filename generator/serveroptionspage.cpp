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

using PageKit::Number;

using Page = ServerOptionsPage;
using Choice = PageKit::RadioChoice<Page>;

const QColor yesColour(0, 0x80, 0);
const QColor noColour(0x80, 0, 0);
const QColor logsyncColour(0x80, 0x80, 0x80);

std::array<Choice, 2> yesNo(QRadioButton *Page::*yes, const char *yesName, QRadioButton *Page::*no, const char *noName)
{
    return PageKit::yesNo(yes, yesName, no, noName, { 72, 128 }, 41, { yesColour, noColour });
}

constexpr PageKit::Column left { 8, 107, 120 };
constexpr PageKit::Column right { 400, 504, 520 };
constexpr SystemColor panelColour = SystemColor::ButtonHighlight;

} // namespace

struct ServerOptionsPage::Tables {
    static const std::array<Choice, 2> pureChoices, downloadChoices, cheatsChoices, anonymousChoices, floodChoices,
        logsyncChoices;
    static const PageKit::Row<Page> rows[];
};

const std::array<Choice, 2> ServerOptionsPage::Tables::pureChoices
    = yesNo(&Page::rbPure1, "rbPure1", &Page::rbPure0, "rbPure0");
const std::array<Choice, 2> ServerOptionsPage::Tables::downloadChoices
    = yesNo(&Page::rbDl1, "rbDl1", &Page::rbDl0, "rbDl0");
const std::array<Choice, 2> ServerOptionsPage::Tables::cheatsChoices
    = yesNo(&Page::rbCheats1, "rbCheats1", &Page::rbCheats0, "rbCheats0");
const std::array<Choice, 2> ServerOptionsPage::Tables::anonymousChoices
    = yesNo(&Page::rbA1, "rbA1", &Page::rbA0, "rbA0");
const std::array<Choice, 2> ServerOptionsPage::Tables::floodChoices
    = yesNo(&Page::rbFlood1, "rbFlood1", &Page::rbFlood0, "rbFlood0");
const std::array<Choice, 2> ServerOptionsPage::Tables::logsyncChoices { {
    { &Page::rbB, "rbB", u"Buffered Writes", { 8, 8, 105, 17 }, logsyncColour, u"1" },
    { &Page::rbW, "rbW", u"Write immediately", { 120, 8, 113, 17 }, logsyncColour, u"0" },
} };

// In the order of the script: the left column top to bottom, then the right one.
// clang-format off
const PageKit::Row<Page> ServerOptionsPage::Tables::rows[] = {
    { .column = left, .top = 64, .include = &Page::chkPure, .includeName = "chkPure", .labelName = "Label22",
        .label = u"Pure Server:", .hint = u"Client package files must be pure to connect. (sv_pure)",
        .cvar = u"sv_pure", .panelName = "Panel2", .panel = &Page::Panel2, .choices = pureChoices,
        .panelColour = panelColour },
    { .column = left, .top = 96, .include = &Page::chkRcon, .includeName = "chkRcon", .labelName = "Label23",
        .label = u"Rcon Password:", .hint = u"Remote Console Password (Admin Password). (rconPassword)",
        .cvar = u"rconpassword", .edit = &Page::edRcon, .editName = "edRcon" },
    { .column = left, .top = 128, .include = &Page::chkSvpass, .includeName = "chkSvpass", .labelName = "Label24",
        .label = u"Server Password:", .hint = u"To make the server private, set a password here. (g_password)",
        .cvar = u"g_password", .edit = &Page::edSvpass, .editName = "edSvpass" },
    { .column = left, .top = 160, .include = &Page::chkPvtpw, .includeName = "chkPvtpw", .labelName = "Label25",
        .label = u"PVT Clients pw:",
        .hint = u"Reserve slots for people who use this password to connect. (sv_privatePassword)",
        .cvar = u"sv_privatepassword", .edit = &Page::edPvtpw, .editName = "edPvtpw" },
    { .column = { 8, 109, 120 }, .top = 192, .include = &Page::chkPvtp, .includeName = "chkPvtp",
        .labelName = "Label27", .label = u"Reserved Slots:",
        .hint = u"Number of slots reserved for players connecting with the private password. (sv_privateClients)",
        .cvar = u"sv_privateclients", .edit = &Page::edPvtp, .editName = "edPvtp", .text = u"0",
        .number = Number::Whole },
    { .column = left, .top = 224, .include = &Page::chkMaxplayers, .includeName = "chkMaxplayers",
        .labelName = "Label28", .label = u"Max Players:",
        .hint = u"Maximum number of players able to connect. (sv_maxclients)", .cvar = u"sv_maxclients",
        .edit = &Page::edMaxplayers, .editName = "edMaxplayers", .text = u"20", .number = Number::Whole },
    { .column = left, .top = 256, .include = &Page::chkDl, .includeName = "chkDl", .labelName = "Label29",
        .label = u"Allow client dl:",
        .hint = u"Allow players to download custom packages they do not have from the server. (sv_allowDownload)",
        .cvar = u"sv_allowdownload", .panelName = "Panel3", .panel = &Page::Panel3, .choices = downloadChoices,
        .panelColour = panelColour },
    { .column = left, .top = 288, .include = &Page::chkCheats, .includeName = "chkCheats", .labelName = "Label30",
        .label = u"Allow cheats:", .hint = u"Allow players to use in-built cheats such as godmode. (sv_cheats)",
        .cvar = u"sv_cheats", .panelName = "Panel4", .panel = &Page::Panel4, .choices = cheatsChoices, .selected = 1,
        .panelColour = panelColour },    { .column = right, .top = 64, .include = &Page::chkLog, .includeName = "chkLog", .labelName = "Label31",
        .label = u"Logfile:", .hint = u"Name of the log file. (g_log)", .cvar = u"g_log", .edit = &Page::edLog,
        .editName = "edLog", .text = u"games_mp.log" },
    { .column = right, .top = 96, .include = &Page::chkLogsync, .includeName = "chkLogsync", .labelName = "Label32",
        .label = u"Logsync:", .hint = u"How to write the log file. (g_logsync)", .cvar = u"g_logsync",
        .panelName = "Panel5", .panel = &Page::Panel5, .choices = logsyncChoices, .valueInHints = false,
        .panelColour = panelColour },
    { .column = right, .top = 128, .include = &Page::chkBanned, .includeName = "chkBanned", .labelName = "Label37",
        .label = u"Banned IPs:", .hint = u"Banned IPs (set g_banips)", .cvar = u"g_banips", .edit = &Page::edBanned,
        .editName = "edBanned" },
    { .column = right, .top = 160, .include = &Page::chkBanD, .includeName = "chkBanD", .labelName = "Label36",
        .label = u"Ban Duration(s):", .hint = u"Temporary ban duration in seconds. (sv_kickBanTime)",
        .cvar = u"sv_kickbantime", .edit = &Page::edBanD, .editName = "edBanD", .text = u"300",
        .number = Number::Whole },
    { .column = right, .top = 192, .include = &Page::chkSvfps, .includeName = "chkSvfps", .labelName = "Label35",
        .label = u"Server FPS:", .hint = u"The number of frames per second the server runs at. (sv_fps)",
        .cvar = u"sv_fps", .edit = &Page::edSvfps, .editName = "edSvfps", .text = u"20", .number = Number::Whole },
    { .column = right, .top = 224, .include = &Page::chkA, .includeName = "chkA", .labelName = "Label34",
        .label = u"Allow Anonymous:", .hint = u"Allow Anonymous (set sv_allowanonymous)", .cvar = u"sv_allowanonymous",
        .panelName = "Panel6", .panel = &Page::Panel6, .choices = anonymousChoices, .selected = 1,
        .panelColour = panelColour },
    { .column = right, .top = 256, .include = &Page::chkFlood, .includeName = "chkFlood", .labelName = "Label33",
        .label = u"Flood Protection:", .hint = u"Stop players from flooding chat messages. (sv_floodProtect)",
        .cvar = u"sv_floodprotect", .panelName = "Panel7", .panel = &Page::Panel7, .choices = floodChoices,
        .panelColour = panelColour },

};
// clang-format on

ServerOptionsPage::ServerOptionsPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"TabSheet2"_s);
}

void ServerOptionsPage::buildControls()
{
    PageKit::headingStrip(this, "Label6", u"Server Options"_s, u"Server Options"_s);
    PageKit::band(this, { 368, 56, 9, 225 });
    PageKit::addRows<Page>(*this, Tables::rows);

    Label26 = new QLabel(u"WARNING: Password fields are not protected..."_s, this);
    Label26->setObjectName(u"Label26"_s);
    Label26->adjustSize();
    Label26->move(8, 328);

    PageKit::picture(this, { 720, 312, 33, 33 }, u"corner-serveroptions");

    PageKit::setTabOrder({ chkPure, rbPure1, rbPure0, chkRcon, chkSvpass, chkPvtpw, chkPvtp, chkMaxplayers, chkDl,
        chkCheats, chkLog, chkLogsync, edRcon, chkBanned, chkBanD, chkSvfps, chkA, chkFlood, rbDl1, rbDl0, rbCheats1,
        rbCheats0, rbB, rbW, rbA1, rbA0, rbFlood1, rbFlood0, edSvpass, edPvtpw, edPvtp, edMaxplayers, edLog, edBanned,
        edBanD, edSvfps });
}

void ServerOptionsPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Server Options"_s);
    PageKit::writeRows<Page>(*this, out, Tables::rows);
    out.comment(u"//"_s);
}

void ServerOptionsPage::takeValues(OpenedScript &script)
{
    build();
    PageKit::takeRows<Page>(*this, script, Tables::rows);
}

void ServerOptionsPage::declareValues(ValueCatalogue &values)
{
    PageKit::declareRows<Page>(values, Tables::rows);
}
