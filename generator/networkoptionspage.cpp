#include "generator/networkoptionspage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using PageKit::Number;

using Page = NetworkOptionsPage;

constexpr PageKit::Column left { 8, 100, 120 };
constexpr PageKit::Column downloads { 440, 579, 592, 161 };

} // namespace

struct NetworkOptionsPage::Tables {
    static const PageKit::Row<Page> rows[];
};

// Top to bottom, the left column first: also the order of the script.
// clang-format off
const PageKit::Row<Page> NetworkOptionsPage::Tables::rows[] = {
    { .column = left, .top = 64, .include = &Page::chkIP, .includeName = "chkIP", .labelName = "Label42",
        .label = u"Server IP:", .hint = u"IP to listen on for multihomed servers. (net_ip)", .cvar = u"net_ip",
        .edit = &Page::edIP, .editName = "edIP" },
    { .column = left, .top = 104, .include = &Page::chkPort, .includeName = "chkPort", .labelName = "Label43",
        .label = u"Server Port:", .hint = u"Port to listen on. (net_port)", .cvar = u"net_port", .edit = &Page::edPort,
        .editName = "edPort", .text = u"28950", .number = Number::Whole },
    { .column = left, .top = 144, .include = &Page::chkRate, .includeName = "chkRate", .labelName = "Label44",
        .label = u"Max Rate:", .hint = u"Maximum data transfer rate to players. (sv_maxRate)", .cvar = u"sv_maxrate",
        .edit = &Page::edRate, .editName = "edRate", .text = u"0", .number = Number::Whole },
    { .column = left, .top = 184, .include = &Page::chkMp, .includeName = "chkMp", .labelName = "Label45",
        .label = u"Max Ping:", .hint = u"Maximum ping allowed before players are kicked. (sv_maxPing)",
        .cvar = u"sv_maxping", .edit = &Page::edMp, .editName = "edMp", .text = u"0", .number = Number::Whole },
    { .column = left, .top = 224, .include = &Page::chkMip, .includeName = "chkMip", .labelName = "Label46",
        .label = u"Min Ping:", .hint = u"Minimum ping allowed before players are kicked. (sv_minPing)",
        .cvar = u"sv_minping", .edit = &Page::edMip, .editName = "edMip", .text = u"0", .number = Number::Whole },
    { .column = left, .top = 264, .include = &Page::chkMaster, .includeName = "chkMaster", .included = false,
        .labelName = "Label99", .label = u"Master Server:",
        .hint = u"The master server the server details are sent to. (sv_master1)", .cvar = u"sv_master1",
        .edit = &Page::edMaster, .editName = "edMaster", .text = Page::defaultMasterServer },
    { .column = downloads, .top = 104, .include = &Page::chkWWW, .includeName = "chkWWW", .included = false,
        .labelName = "Label105", .label = u"WWW Download:", .hint = u"Server download redirection. (sv_wwwDownload)",
        .cvar = u"sv_wwwDownload", .box = &Page::chkWWWs, .boxName = "chkWWWs" },
    { .column = downloads, .top = 152, .include = &Page::chkBaseurl, .includeName = "chkBaseurl", .included = false,
        .labelName = "Label104", .label = u"Base URL:",
        .hint = u"Base directory where the files are stored (e.g. http://www.example.com/bravenmark/) (sv_wwwBaseURL)",
        .cvar = u"sv_wwwBaseURL", .edit = &Page::edBaseurl, .editName = "edBaseurl" },
    { .column = downloads, .top = 200, .include = &Page::chkDlD, .includeName = "chkDlD", .included = false,
        .labelName = "Label103", .label = u"Download Disconnected:",
        .hint = u"Prevent clients from taking up a slot on the server while downloading. (sv_wwwDlDisconnected)",
        .cvar = u"sv_wwwDlDisconnected", .edit = &Page::edDlD, .editName = "edDlD" },
};
// clang-format on

NetworkOptionsPage::NetworkOptionsPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"TabSheet3"_s);
}

void NetworkOptionsPage::buildControls()
{
    PageKit::headingStrip(this, "Label5", u"Network Options"_s, u"Network Options"_s);
    PageKit::band(this, { 368, 56, 9, 225 });

    PageKit::addRows<Page>(*this, Tables::rows);
    PageKit::band(this, { 440, 56, 321, 33 });
    Label102 = PageKit::boldLabel(this, "Label102", u"Downloads (if allowed)"_s, { 448, 64 }, Qt::black);

    PageKit::picture(this, { 720, 312, 33, 41 }, u"corner-network");

    PageKit::setTabOrder({ chkIP, chkPort, chkRate, chkMp, chkMip, edIP, edPort, edMip, edMp, edRate, edMaster,
        chkMaster, chkBaseurl, chkWWW, edBaseurl, chkDlD, edDlD, chkWWWs });
}

void NetworkOptionsPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Network Options"_s);
    PageKit::writeRows<Page>(*this, out, Tables::rows);
    out.comment(u"//"_s);
}

void NetworkOptionsPage::takeValues(OpenedScript &script)
{
    build();
    PageKit::takeRows<Page>(*this, script, Tables::rows);
}

void NetworkOptionsPage::declareValues(ValueCatalogue &values)
{
    PageKit::declareRows<Page>(values, Tables::rows);
}
