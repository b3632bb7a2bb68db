#include "generator/serverinfopage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Page = ServerInfoPage;

constexpr PageKit::Column left { 8, 100, 120 };
constexpr PageKit::Column right { 400, 501, 520 };

// A server info entry, or a pair of them: the first entry's key is numbered only while the second entry is
// written too.
struct InfoEntry {
    QCheckBox *Page::*include;
    QLineEdit *Page::*edit;
    QStringView key;
    QStringView numberedKey = {};
    QCheckBox *Page::*secondInclude = nullptr;
    QLineEdit *Page::*secondEdit = nullptr;
    QStringView secondKey = {};
};

} // namespace

struct ServerInfoPage::Tables {
    static const PageKit::Row<Page> valueRows[];
    static const PageKit::Row<Page> infoRows[];
    static const InfoEntry infoEntries[];
};

// Top to bottom, the left column before the right at the same height: the two rows that set variables, in
// the order of the script, then those whose values go into the server info (see `infoEntries`).
// clang-format off
const PageKit::Row<Page> ServerInfoPage::Tables::valueRows[] = {
    { .column = left, .top = 64, .include = &Page::chkSvname, .includeName = "chkSvname", .labelName = "Label1",
        .label = u"Server name:",
        .hint = u"The name of your server, displayed in server browsers. (sv_hostname) you may use colors.",
        .cvar = u"sv_hostname", .edit = &Page::edServername, .editName = "edServername", .text = u"BravenmarkHost" },
    { .column = left, .top = 96, .include = &Page::chkMotd, .includeName = "chkMotd", .labelName = "Label12",
        .label = u"Motd:", .hint = u"The message of the day, displayed to players when they first connect. (scr_motd)",
        .cvar = u"scr_motd", .edit = &Page::edMotd, .editName = "edMotd", .text = u"Welcome to Bravenmark server.",
        .editHint = u"The message of the day, displayed to players when they first connect. (set scr_motd)" },
};
const PageKit::Row<Page> ServerInfoPage::Tables::infoRows[] = {
    { .column = right, .top = 96, .include = &Page::chkTS, .includeName = "chkTS", .included = false,
        .labelName = "Label21", .label = u"Team Speak:", .hint = u"clan/server team speak ip (.TS)",
        .edit = &Page::edTS, .editName = "edTS" },
    { .column = left, .top = 128, .include = &Page::chkAdmin1, .includeName = "chkAdmin1", .included = false,
        .labelName = "Label11", .label = u"Administrator:",
        .hint = u"Declare the name of the server admin. (.ADMIN) or (.ADMIN1)", .edit = &Page::edAdmin1,
        .editName = "edAdmin1" },
    { .column = right, .top = 128, .include = &Page::chkAdmin2, .includeName = "chkAdmin2", .included = false,
        .labelName = "Label17", .label = u"Administrator 2:",
        .hint = u"Declare the name of the second server admin. (.ADMIN2)", .edit = &Page::edAdmin2,
        .editName = "edAdmin2" },
    { .column = left, .top = 160, .include = &Page::chkMail1, .includeName = "chkMail1", .included = false,
        .labelName = "Label13", .label = u"Email:",
        .hint = u"Contact e-mail address of the server admin. (.EMAIL) or (.EMAIL1)", .edit = &Page::edMail1,
        .editName = "edMail1" },
    { .column = right, .top = 160, .include = &Page::chkMail2, .includeName = "chkMail2", .included = false,
        .labelName = "Label18", .label = u"Email 2:",
        .hint = u"Contact e-mail address of the second server admin. (.EMAIL2)", .edit = &Page::edMail2,
        .editName = "edMail2" },
    { .column = left, .top = 192, .include = &Page::chkIRC1, .includeName = "chkIRC1", .included = false,
        .labelName = "Label14", .label = u"IRC:", .hint = u"Contact irc server/channel. (.IRC) or (.IRC1)",
        .edit = &Page::edIRC1, .editName = "edIRC1" },
    { .column = right, .top = 192, .include = &Page::chkIRC2, .includeName = "chkIRC2", .included = false,
        .labelName = "Label19", .label = u"IRC 2:", .hint = u"Second contact irc server/channel. (.IRC2)",
        .edit = &Page::edIRC2, .editName = "edIRC2" },
    { .column = left, .top = 224, .include = &Page::chkWebsite1, .includeName = "chkWebsite1", .included = false,
        .labelName = "Label15", .label = u"Website:",
        .hint = u"Website URL of clan/server host. (.WEBSITE) or (.WEBSITE1)", .edit = &Page::edWebsite1,
        .editName = "edWebsite1", .text = u"http://" },
    { .column = right, .top = 224, .include = &Page::chkWebsite2, .includeName = "chkWebsite2", .included = false,
        .labelName = "Label20", .label = u"Website 2:", .hint = u"Second website URL of clan/server host. (.WEBSITE2)",
        .edit = &Page::edWebsite2, .editName = "edWebsite2" },
    { .column = left, .top = 256, .include = &Page::chkLocation, .includeName = "chkLocation", .included = false,
        .labelName = "Label16", .label = u"Location:", .hint = u"Where the server is hosted. (.LOCATION)",
        .edit = &Page::edLocation, .editName = "edLocation" },
};
// clang-format on

// The server info entries in the order of the script.
constexpr InfoEntry ServerInfoPage::Tables::infoEntries[] = {
    { &Page::chkAdmin1, &Page::edAdmin1, u".Admin", u".Admin1", &Page::chkAdmin2, &Page::edAdmin2, u".Admin2" },
    { &Page::chkMail1, &Page::edMail1, u".Email", u".Email1", &Page::chkMail2, &Page::edMail2, u".Email2" },
    { &Page::chkIRC1, &Page::edIRC1, u".Irc", u".Irc1", &Page::chkIRC2, &Page::edIRC2, u".Irc2" },
    { &Page::chkWebsite1, &Page::edWebsite1, u".Website", u".Website1", &Page::chkWebsite2, &Page::edWebsite2,
        u".Website2" },
    { &Page::chkLocation, &Page::edLocation, u".Location" },
    { &Page::chkTS, &Page::edTS, u".TS" },
};

namespace {

void writeEntry(const Page &page, ScriptWriter &out, const InfoEntry &entry)
{
    const bool secondWritten = entry.secondInclude && (page.*entry.secondInclude)->isChecked();
    if ((page.*entry.include)->isChecked())
        out.infoLine(secondWritten ? entry.numberedKey : entry.key, (page.*entry.edit)->text());
    if (secondWritten)
        out.infoLine(entry.secondKey, (page.*entry.secondEdit)->text());
}

// An entry takes its keys only in the shapes writeEntry() gives them: ".Admin" alone, ".Admin2" alone, or
// ".Admin1" with ".Admin2". Where the file sets ".Admin" beside both, that line stays as written.
void takeEntry(Page &page, OpenedScript &script, const InfoEntry &entry)
{
    const std::optional<QString> alone = script.ask(entry.key);
    const bool paired = entry.secondInclude;
    const std::optional<QString> numbered = paired ? script.ask(entry.numberedKey) : std::nullopt;
    const std::optional<QString> second = paired ? script.ask(entry.secondKey) : std::nullopt;
    const bool both = numbered && second;
    const std::optional<QString> first = both ? numbered : alone;
    const std::optional<QString> last = both || !alone ? second : std::nullopt;
    QStringList keys;
    if (first) {
        (page.*entry.edit)->setText(*first);
        keys << (both ? entry.numberedKey : entry.key).toString();
    }
    (page.*entry.include)->setChecked(bool(first));
    if (paired) {
        if (last) {
            (page.*entry.secondEdit)->setText(*last);
            keys << entry.secondKey.toString();
        }
        (page.*entry.secondInclude)->setChecked(bool(last));
    }
    if (keys.isEmpty()
        || script.offer(keys, PageKit::writtenBy([&](ScriptWriter &out) { writeEntry(page, out, entry); })))
        return;
    (page.*entry.include)->setChecked(false);
    if (paired)
        (page.*entry.secondInclude)->setChecked(false);
}

} // namespace

ServerInfoPage::ServerInfoPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"tabMain"_s);
}

void ServerInfoPage::buildControls()
{
    PageKit::headingStrip(this, "Label2", u"Server Information"_s, u"Server Information"_s);

    PageKit::band(this, { 368, 56, 9, 225 });
    PageKit::addRows<Page>(*this, Tables::valueRows);
    PageKit::addRows<Page>(*this, Tables::infoRows);

    // After the rows: the band of the first one reaches up to the button's bottom edge.
    TextButton29 = new TTextButton(u"Click here to test colors"_s, this);
    TextButton29->setObjectName(u"TextButton29"_s);
    TextButton29->setGeometry(152, 40, 161, 17);
    connect(TextButton29, &TTextButton::clicked, this, &ServerInfoPage::colourTesterRequested);

    PageKit::picture(this, { 696, 296, 57, 49 }, u"corner-serverinfo");

    PageKit::setTabOrder({ edServername, chkSvname, chkMotd, chkAdmin1, chkMail1, chkIRC1, chkWebsite1, chkLocation,
        chkAdmin2, chkMail2, chkIRC2, chkWebsite2, edMail2, edAdmin2, edMotd, edAdmin1, edMail1, edIRC1, edWebsite1,
        edLocation, edWebsite2, edIRC2, chkTS, edTS, TextButton29 });
}

void ServerInfoPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Server Information"_s);
    PageKit::writeRows<Page>(*this, out, Tables::valueRows);
    for (const InfoEntry &entry : Tables::infoEntries)
        writeEntry(*this, out, entry);
    out.comment(u"//"_s);
}

void ServerInfoPage::takeValues(OpenedScript &script)
{
    build();
    PageKit::takeRows<Page>(*this, script, Tables::valueRows);
    for (const InfoEntry &entry : Tables::infoEntries)
        takeEntry(*this, script, entry);
}

void ServerInfoPage::declareValues(ValueCatalogue &values)
{
    PageKit::declareRows<Page>(values, Tables::valueRows);
}
