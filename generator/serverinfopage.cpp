#include "generator/serverinfopage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Page = ServerInfoPage;

struct Column {
    int includeX;
    int labelRight;
    int editX;
};
constexpr Column left { 8, 100, 120 };
constexpr Column right { 400, 501, 520 };

struct Row {
    int top;
    Column column;
    const char *labelName;
    QStringView caption;
    QStringView labelHint;
    QStringView editHint;
    QLineEdit *Page::*edit;
    const char *editName;
    QStringView text;
    QCheckBox *Page::*include;
    const char *includeName;
    bool included;
};

constexpr QStringView motdHint = u"The message of the day, displayed to players when they first connect. (scr_motd)";

// Top to bottom, the left column before the right at the same height. An empty edit hint is the label's.
const Row rows[] = {
    { 64, left, "Label1", u"Server name:",
        u"The name of your server, displayed in server browsers. (sv_hostname) you may use colors.", {},
        &Page::edServername, "edServername", u"BravenmarkHost", &Page::chkSvname, "chkSvname", true },
    { 96, left, "Label12", u"Motd:", motdHint,
        u"The message of the day, displayed to players when they first connect. (set scr_motd)", &Page::edMotd,
        "edMotd", u"Welcome to Bravenmark server.", &Page::chkMotd, "chkMotd", true },
    { 96, right, "Label21", u"Team Speak:", u"clan/server team speak ip (.TS)", {}, &Page::edTS, "edTS", u"",
        &Page::chkTS, "chkTS", false },
    { 128, left, "Label11", u"Administrator:", u"Declare the name of the server admin. (.ADMIN) or (.ADMIN1)", {},
        &Page::edAdmin1, "edAdmin1", u"", &Page::chkAdmin1, "chkAdmin1", false },
    { 128, right, "Label17", u"Administrator 2:", u"Declare the name of the second server admin. (.ADMIN2)", {},
        &Page::edAdmin2, "edAdmin2", u"", &Page::chkAdmin2, "chkAdmin2", false },
    { 160, left, "Label13", u"Email:", u"Contact e-mail address of the server admin. (.EMAIL) or (.EMAIL1)", {},
        &Page::edMail1, "edMail1", u"", &Page::chkMail1, "chkMail1", false },
    { 160, right, "Label18", u"Email 2:", u"Contact e-mail address of the second server admin. (.EMAIL2)", {},
        &Page::edMail2, "edMail2", u"", &Page::chkMail2, "chkMail2", false },
    { 192, left, "Label14", u"IRC:", u"Contact irc server/channel. (.IRC) or (.IRC1)", {}, &Page::edIRC1, "edIRC1", u"",
        &Page::chkIRC1, "chkIRC1", false },
    { 192, right, "Label19", u"IRC 2:", u"Second contact irc server/channel. (.IRC2)", {}, &Page::edIRC2, "edIRC2", u"",
        &Page::chkIRC2, "chkIRC2", false },
    { 224, left, "Label15", u"Website:", u"Website URL of clan/server host. (.WEBSITE) or (.WEBSITE1)", {},
        &Page::edWebsite1, "edWebsite1", u"http://", &Page::chkWebsite1, "chkWebsite1", false },
    { 224, right, "Label20", u"Website 2:", u"Second website URL of clan/server host. (.WEBSITE2)", {},
        &Page::edWebsite2, "edWebsite2", u"", &Page::chkWebsite2, "chkWebsite2", false },
    { 256, left, "Label16", u"Location:", u"Where the server is hosted. (.LOCATION)", {}, &Page::edLocation,
        "edLocation", u"", &Page::chkLocation, "chkLocation", false },
};

// The first entry's key is numbered only while the second entry is written too.
struct Pair {
    QCheckBox *Page::*firstInclude;
    QLineEdit *Page::*firstEdit;
    QStringView key;
    QStringView firstNumberedKey;
    QCheckBox *Page::*secondInclude;
    QLineEdit *Page::*secondEdit;
    QStringView secondKey;
};

// In the order of the script.
constexpr Pair pairs[] = {
    { &Page::chkAdmin1, &Page::edAdmin1, u".Admin", u".Admin1", &Page::chkAdmin2, &Page::edAdmin2, u".Admin2" },
    { &Page::chkMail1, &Page::edMail1, u".Email", u".Email1", &Page::chkMail2, &Page::edMail2, u".Email2" },
    { &Page::chkIRC1, &Page::edIRC1, u".Irc", u".Irc1", &Page::chkIRC2, &Page::edIRC2, u".Irc2" },
    { &Page::chkWebsite1, &Page::edWebsite1, u".Website", u".Website1", &Page::chkWebsite2, &Page::edWebsite2,
        u".Website2" },
};

} // namespace

ServerInfoPage::ServerInfoPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tabMain"_s);
    PageKit::headingStrip(this, "Label2", u"Server Information"_s, u"Server Information"_s);

    TextButton29 = new TTextButton(u"Click here to test colors"_s, this);
    TextButton29->setObjectName(u"TextButton29"_s);
    TextButton29->setGeometry(152, 40, 161, 17);
    connect(TextButton29, &TTextButton::clicked, this, &ServerInfoPage::colourTesterRequested);

    PageKit::band(this, { 368, 56, 9, 225 });
    for (const Row &row : rows) {
        const QString labelHint = row.labelHint.toString();
        const QString editHint = row.editHint.isEmpty() ? labelHint : row.editHint.toString();
        PageKit::band(this, { row.column.editX - 8, row.top - 8, 241, 33 });
        this->*row.include = PageKit::includeBox(this, row.includeName, { row.column.includeX, row.top }, row.included);
        QLabel *label
            = PageKit::rowLabel(this, row.labelName, row.caption.toString(), row.column.labelRight, row.top, labelHint);
        this->*row.edit = PageKit::flatEdit(
            this, row.editName, { row.column.editX, row.top - 3, 225, 19 }, row.text.toString(), editHint);
        PageKit::nameRow(label, this->*row.include, this->*row.edit);
    }

    PageKit::picture(this, { 696, 296, 57, 49 }, u":/art/corner-serverinfo.png"_s);

    PageKit::setTabOrder({ edServername, chkSvname, chkMotd, chkAdmin1, chkMail1, chkIRC1, chkWebsite1, chkLocation,
        chkAdmin2, chkMail2, chkIRC2, chkWebsite2, edMail2, edAdmin2, edMotd, edAdmin1, edMail1, edIRC1, edWebsite1,
        edLocation, edWebsite2, edIRC2, chkTS, edTS, TextButton29 });
}

void ServerInfoPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Server Information"_s);
    if (chkSvname->isChecked())
        out.valueLine(u"sv_hostname", edServername->text());
    if (chkMotd->isChecked())
        out.valueLine(u"scr_motd", edMotd->text());
    for (const Pair &pair : pairs) {
        const bool secondWritten = (this->*pair.secondInclude)->isChecked();
        if ((this->*pair.firstInclude)->isChecked())
            out.infoLine(secondWritten ? pair.firstNumberedKey : pair.key, (this->*pair.firstEdit)->text());
        if (secondWritten)
            out.infoLine(pair.secondKey, (this->*pair.secondEdit)->text());
    }
    if (chkLocation->isChecked())
        out.infoLine(u".Location", edLocation->text());
    if (chkTS->isChecked())
        out.infoLine(u".TS", edTS->text());
    out.comment(u"//"_s);
}
