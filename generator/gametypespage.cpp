#include "generator/gametypespage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using P = GametypesPage;

const QColor grey(128, 128, 128);

using PageKit::Number;

// The gametype scripts use these instead of a larger value.
constexpr ValueCatalogue::Clamp longestTime { 1440, u"the longest time limit it allows" };
constexpr ValueCatalogue::Clamp longestRound { 10, u"the longest round it allows" };
constexpr ValueCatalogue::Clamp longestGrace { 60, u"the longest grace period it allows" };

// The three columns of blocks; the rows carry no bands.
constexpr PageKit::Column left { 0, 156, 160, 73, false };
constexpr PageKit::Column middle { 248, 436, 440, 73, false };
constexpr PageKit::Column right { 528, 684, 688, 73, false };

// A heading over each block and its rows. In reading order, which is also the order of the blocks in the
// script. Headquarters is written like the others: a server that sets its limits here expects to find them in
// the file.
struct Block {
    QStringView subHeading;
    const char *headingName;
    QStringView heading;
    QRect band;
    std::span<const PageKit::Row<P>> rows;
};

} // namespace

struct GametypesPage::Tables {
    static const PageKit::RadioChoice<P> carrierChoices[];
    static const PageKit::Row<P> deathmatch[], teamDeathmatch[], behindEnemyLines[], retrieval[], searchAndDestroy[],
        headquarters[];
    static const Block blocks[];
};

const PageKit::RadioChoice<P> GametypesPage::Tables::carrierChoices[] = {
    { &P::rbRe1, "rbRe1", u"Yes", { 8, 8, 40, 17 }, grey, u"1" },
    { &P::rbRe0, "rbRe0", u"No", { 48, 8, 41, 17 }, grey, u"0" },
};

// The rows of each block, top to bottom. The hints are not worded alike from block to block; each is shown as it is.
// clang-format off
const PageKit::Row<P> GametypesPage::Tables::deathmatch[] = {
    { .column = left, .top = 88, .include = &P::chkDm1, .includeName = "chkDm1", .labelName = "Label62",
        .label = u"Map score limit:", .hint = u"Map score limit. (scr_dm_scorelimit)", .cvar = u"scr_dm_scorelimit",
        .edit = &P::edDm1, .editName = "edDm1", .text = u"50", .number = Number::Whole, .emptyIsDefault = true },
    { .column = left, .top = 120, .include = &P::chkDm2, .includeName = "chkDm2", .labelName = "Label63",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit 0 to 1440, in minutes. (scr_dm_timelimit)",
        .cvar = u"scr_dm_timelimit", .edit = &P::edDm2, .editName = "edDm2", .text = u"30",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
};
const PageKit::Row<P> GametypesPage::Tables::teamDeathmatch[] = {
    { .column = middle, .top = 88, .include = &P::chkTdm1, .includeName = "chkTdm1", .labelName = "Label64",
        .label = u"Map score limit:", .hint = u"Map score limit. (scr_tdm_scorelimit)", .cvar = u"scr_tdm_scorelimit",
        .edit = &P::edTdm1, .editName = "edTdm1", .text = u"100", .number = Number::Whole, .emptyIsDefault = true },
    { .column = middle, .top = 120, .include = &P::chkTdm2, .includeName = "chkTdm2", .labelName = "Label65",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit 0 to 1440, in minutes. (scr_tdm_timelimit)",
        .cvar = u"scr_tdm_timelimit", .edit = &P::edTdm2, .editName = "edTdm2", .text = u"30",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
};
const PageKit::Row<P> GametypesPage::Tables::behindEnemyLines[] = {
    { .column = right, .top = 88, .include = &P::chkBel1, .includeName = "chkBel1", .labelName = "Label68",
        .label = u"Map score limit:", .hint = u"Map score limit. (scr_bel_scorelimit)", .cvar = u"scr_bel_scorelimit",
        .edit = &P::edBel1, .editName = "edBel1", .text = u"50", .number = Number::Whole, .emptyIsDefault = true },
    { .column = right, .top = 112, .include = &P::chkBel2, .includeName = "chkBel2", .labelName = "Label69",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit, in minutes 0 to 1440. (scr_bel_timelimit)",
        .cvar = u"scr_bel_timelimit", .edit = &P::edBel2, .editName = "edBel2", .text = u"30",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
    { .column = right, .top = 144, .include = &P::chkBel3, .includeName = "chkBel3", .labelName = "Label70",
        .label = u"Time to stay alive to get",
        .hint = u"Number of seconds to get a point for staying alive as allied. (scr_bel_alivepointtime)",
        .cvar = u"scr_bel_alivepointtime", .edit = &P::edBel3, .editName = "edBel3", .text = u"10",
        .number = Number::Whole, .emptyIsDefault = true,
        .secondLabelName = "Label71", .secondLine = u"a point as allied(seconds):" },
};
const PageKit::Row<P> GametypesPage::Tables::retrieval[] = {
    { .column = left, .top = 216, .include = &P::chkRe1, .includeName = "chkRe1", .labelName = "Label72",
        .label = u"Map score limit:", .hint = u"Map team score limit per map. (scr_re_scorelimit)",
        .cvar = u"scr_re_scorelimit", .edit = &P::edRe1, .editName = "edRe1", .text = u"10",
        .number = Number::Whole, .emptyIsDefault = true },
    { .column = left, .top = 240, .include = &P::chkRe2, .includeName = "chkRe2", .labelName = "Label73",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit, in minutes 0 to 1440. (scr_re_timelimit)",
        .cvar = u"scr_re_timelimit", .edit = &P::edRe2, .editName = "edRe2", .text = u"0",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
    { .column = left, .top = 264, .include = &P::chkRe3, .includeName = "chkRe3", .labelName = "Label74",
        .label = u"Graceperiod (0-60s):",
        .hint = u"Time at round start where spawning and weapon choosing is still allowed, 0 - 60 seconds. "
            u"(scr_re_graceperiod)",
        .cvar = u"scr_re_graceperiod", .edit = &P::edRe3, .editName = "edRe3", .text = u"15",
        .number = Number::Decimal, .clamp = longestGrace, .emptyIsDefault = true },
    { .column = left, .top = 288, .include = &P::chkRe4, .includeName = "chkRe4", .labelName = "Label75",
        .label = u"Round length:", .hint = u"Round length in minutes. (scr_re_roundlength)",
        .cvar = u"scr_re_roundlength", .edit = &P::edRe4, .editName = "edRe4", .text = u"4",
        .number = Number::Decimal, .clamp = longestRound, .emptyIsDefault = true },
    { .column = left, .top = 312, .include = &P::chkRe5, .includeName = "chkRe5", .labelName = "Label76",
        .label = u"Round limit:", .hint = u"Max Number of round wins per map. (scr_re_roundlimit)",
        .cvar = u"scr_re_roundlimit", .edit = &P::edRe5, .editName = "edRe5", .text = u"0",
        .number = Number::Whole, .emptyIsDefault = true },
    { .column = { 0, 148, 160 }, .top = 336, .include = &P::chkRe6, .includeName = "chkRe6", .labelName = "Label77",
        .label = u"Show objective carrier on", .hint = u"Show the objective carrier on compass. (scr_re_showcarrier)",
        .cvar = u"scr_re_showcarrier", .panelName = "Panel16", .choices = carrierChoices, .selected = 1,
        .panelAt = { 152, 328, 89, 25 }, .secondLabelName = "Label78", .secondLine = u"compass:" },
};
const PageKit::Row<P> GametypesPage::Tables::searchAndDestroy[] = {
    { .column = middle, .top = 216, .include = &P::chkSd1, .includeName = "chkSd1", .labelName = "Label79",
        .label = u"Map score limit:", .hint = u"Map team score limit per map. (scr_sd_scorelimit)",
        .cvar = u"scr_sd_scorelimit", .edit = &P::edSd1, .editName = "edSd1", .text = u"10",
        .number = Number::Whole, .emptyIsDefault = true },
    { .column = middle, .top = 240, .include = &P::chkSd2, .includeName = "chkSd2", .labelName = "Label84",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit, in minutes 0 to 1440. (scr_sd_timelimit)",
        .cvar = u"scr_sd_timelimit", .edit = &P::edSd2, .editName = "edSd2", .text = u"0",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
    { .column = middle, .top = 264, .include = &P::chkSd3, .includeName = "chkSd3", .labelName = "Label83",
        .label = u"Graceperiod (0-60s):",
        .hint = u"Time at round start where spawning and weapon choosing is still allowed, 0 - 60 seconds. "
            u"(scr_sd_graceperiod)",
        .cvar = u"scr_sd_graceperiod", .edit = &P::edSd3, .editName = "edSd3", .text = u"15",
        .number = Number::Decimal, .clamp = longestGrace, .emptyIsDefault = true },
    { .column = middle, .top = 288, .include = &P::chkSd4, .includeName = "chkSd4", .labelName = "Label82",
        .label = u"Round length:", .hint = u"Round length in minutes. (scr_sd_roundlength)",
        .cvar = u"scr_sd_roundlength", .edit = &P::edSd4, .editName = "edSd4", .text = u"4",
        .number = Number::Decimal, .clamp = longestRound, .emptyIsDefault = true },
    { .column = middle, .top = 312, .include = &P::chkSd5, .includeName = "chkSd5", .labelName = "Label80",
        .label = u"Round limit:", .hint = u"Max Number of round wins per map. (scr_sd_roundlimit)",
        .cvar = u"scr_sd_roundlimit", .edit = &P::edSd5, .editName = "edSd5", .text = u"0",
        .number = Number::Whole, .emptyIsDefault = true },
};
const PageKit::Row<P> GametypesPage::Tables::headquarters[] = {
    { .column = right, .top = 216, .include = &P::chkHq1, .includeName = "chkHq1", .labelName = "Label85",
        .label = u"Map score limit:", .hint = u"Map score limit. (scr_hq_scorelimit)", .cvar = u"scr_hq_scorelimit",
        .edit = &P::edHq1, .editName = "edHq1", .text = u"450", .number = Number::Whole, .emptyIsDefault = true },
    { .column = right, .top = 240, .include = &P::chkHq2, .includeName = "chkHq2", .labelName = "Label81",
        .label = u"Map time limit (0-1440m):", .hint = u"Map time limit 0 to 1440, in minutes. (scr_hq_timelimit)",
        .cvar = u"scr_hq_timelimit", .edit = &P::edHq2, .editName = "edHq2", .text = u"30",
        .number = Number::Decimal, .clamp = longestTime, .emptyIsDefault = true },
};
// clang-format on

const Block GametypesPage::Tables::blocks[] = {
    { u"//-- Deathmatch", "Label56", u"Deathmatch", { 0, 40, 233, 33 }, deathmatch },
    { u"//-- Team Deathmatch", "Label57", u"Team Deathmatch", { 248, 40, 265, 33 }, teamDeathmatch },
    { u"//-- Behind Enemy Lines", "Label58", u"Behind Enemy Lines", { 528, 40, 233, 33 }, behindEnemyLines },
    { u"//-- Retrieval", "Label59", u"Retrieval", { 0, 168, 233, 33 }, retrieval },
    { u"//-- Search and Destroy", "Label60", u"Search and Destroy", { 248, 168, 265, 33 }, searchAndDestroy },
    { u"//-- Headquarters", "Label61", u"Headquarters", { 528, 168, 233, 33 }, headquarters },
};

GametypesPage::GametypesPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"TabSheet5"_s);
}

void GametypesPage::buildControls()
{
    PageKit::headingStrip(this, "Label8", u"Gametypes Configuration"_s, u"Gametypes"_s);

    for (const Block &block : Tables::blocks) {
        PageKit::band(this, block.band);
        PageKit::boldLabel(
            this, block.headingName, block.heading.toString(), block.band.topLeft() + QPoint(8, 8), Qt::black);
    }
    std::vector<std::span<const PageKit::Row<P>>> rows;
    for (const Block &block : Tables::blocks)
        rows.push_back(block.rows);
    PageKit::addRows<P>(*this, rows);

    PageKit::picture(this, { 712, 312, 49, 49 }, u"corner-gametypes");

    // Values first, then the include boxes. Team Deathmatch takes its time limit
    // first, and the boxes of the two round-based blocks run from the bottom up.
    PageKit::setTabOrder(
        { edDm1, edDm2, edTdm2, edTdm1, edBel1, edBel2, edBel3, edRe1, edRe2, edRe3, edRe4, edRe5, rbRe1, rbRe0, edSd1,
            edSd2, edSd3, edSd4, edSd5, edHq1, edHq2, chkDm1, chkDm2, chkTdm2, chkTdm1, chkBel1, chkBel2, chkBel3,
            chkRe6, chkRe5, chkRe4, chkRe3, chkRe2, chkRe1, chkSd5, chkSd4, chkSd3, chkSd2, chkSd1, chkHq1, chkHq2 });
}

void GametypesPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Gametypes Configuration"_s);
    for (const Block &block : Tables::blocks) {
        // Written whether or not any line of the block follows.
        out.comment(block.subHeading);
        PageKit::writeRows<P>(*this, out, block.rows);
    }
    out.comment(u"//"_s);
}

void GametypesPage::takeValues(OpenedScript &script)
{
    build();
    for (const Block &block : Tables::blocks)
        PageKit::takeRows<P>(*this, script, block.rows);
}

void GametypesPage::declareValues(ValueCatalogue &values)
{
    for (const Block &block : Tables::blocks)
        PageKit::declareRows<P>(values, block.rows);
}
