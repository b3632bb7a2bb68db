#include "generator/gametypespage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>

#include <span>

using namespace Qt::StringLiterals;

namespace {

using P = GametypesPage;

struct Field {
    PageKit::Setting<P> setting;
    const char *includeName;
    const char *editName; // none for the carrier pair
    int top; // of the edit, or of the carrier pair's panel
    QStringView start;
    const char *labelName;
    QStringView caption;
    const char *secondLabelName; // a caption of two lines straddles its value
    QStringView secondLine;
    QStringView hint;
};

struct Block {
    QStringView subHeading;
    const char *headingName;
    QStringView heading;
    QRect band; // include boxes stand at its left edge
    int valueX;
    std::span<const Field> fields;
};

const QColor grey(128, 128, 128);

const PageKit::RadioChoice<P> carrierChoices[] = {
    { &P::rbRe1, "rbRe1", u"Yes", { 8, 8, 40, 17 }, grey, u"1" },
    { &P::rbRe0, "rbRe0", u"No", { 48, 8, 41, 17 }, grey, u"0" },
};

// The hints are not worded alike from block to block; each is shown as it is.
const Field deathmatch[] = {
    { { &P::chkDm1, u"scr_dm_scorelimit", &P::edDm1 }, "chkDm1", "edDm1", 85, u"50", "Label62", u"Map score limit:",
        nullptr, {}, u"Map score limit. (scr_dm_scorelimit)" },
    { { &P::chkDm2, u"scr_dm_timelimit", &P::edDm2 }, "chkDm2", "edDm2", 117, u"30", "Label63",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit 0 to 1440, in minutes. (scr_dm_timelimit)" },
};
const Field teamDeathmatch[] = {
    { { &P::chkTdm1, u"scr_tdm_scorelimit", &P::edTdm1 }, "chkTdm1", "edTdm1", 85, u"100", "Label64",
        u"Map score limit:", nullptr, {}, u"Map score limit. (scr_tdm_scorelimit)" },
    { { &P::chkTdm2, u"scr_tdm_timelimit", &P::edTdm2 }, "chkTdm2", "edTdm2", 117, u"30", "Label65",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit 0 to 1440, in minutes. (scr_tdm_timelimit)" },
};
const Field behindEnemyLines[] = {
    { { &P::chkBel1, u"scr_bel_scorelimit", &P::edBel1 }, "chkBel1", "edBel1", 85, u"50", "Label68",
        u"Map score limit:", nullptr, {}, u"Map score limit. (scr_bel_scorelimit)" },
    { { &P::chkBel2, u"scr_bel_timelimit", &P::edBel2 }, "chkBel2", "edBel2", 109, u"30", "Label69",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit, in minutes 0 to 1440. (scr_bel_timelimit)" },
    { { &P::chkBel3, u"scr_bel_alivepointtime", &P::edBel3 }, "chkBel3", "edBel3", 141, u"10", "Label70",
        u"Time to stay alive to get", "Label71", u"a point as allied(seconds):",
        u"Number of seconds to get a point for staying alive as allied. (scr_bel_alivepointtime)" },
};
const Field retrieval[] = {
    { { &P::chkRe1, u"scr_re_scorelimit", &P::edRe1 }, "chkRe1", "edRe1", 213, u"10", "Label72", u"Map score limit:",
        nullptr, {}, u"Map team score limit per map. (scr_re_scorelimit)" },
    { { &P::chkRe2, u"scr_re_timelimit", &P::edRe2 }, "chkRe2", "edRe2", 237, u"0", "Label73",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit, in minutes 0 to 1440. (scr_re_timelimit)" },
    { { &P::chkRe3, u"scr_re_graceperiod", &P::edRe3 }, "chkRe3", "edRe3", 261, u"15", "Label74",
        u"Graceperiod (0-60s):", nullptr, {},
        u"Time at round start where spawning and weapon choosing is still allowed, 0 - 60 seconds. "
        u"(scr_re_graceperiod)" },
    { { &P::chkRe4, u"scr_re_roundlength", &P::edRe4 }, "chkRe4", "edRe4", 285, u"4", "Label75", u"Round length:",
        nullptr, {}, u"Round length in minutes. (scr_re_roundlength)" },
    { { &P::chkRe5, u"scr_re_roundlimit", &P::edRe5 }, "chkRe5", "edRe5", 309, u"0", "Label76", u"Round limit:",
        nullptr, {}, u"Max Number of round wins per map. (scr_re_roundlimit)" },
    { { &P::chkRe6, u"scr_re_showcarrier", nullptr, carrierChoices }, "chkRe6", nullptr, 328, {}, "Label77",
        u"Show objective carrier on", "Label78", u"compass:",
        u"Show the objective carrier on compass. (scr_re_showcarrier)" },
};
const Field searchAndDestroy[] = {
    { { &P::chkSd1, u"scr_sd_scorelimit", &P::edSd1 }, "chkSd1", "edSd1", 213, u"10", "Label79", u"Map score limit:",
        nullptr, {}, u"Map team score limit per map. (scr_sd_scorelimit)" },
    { { &P::chkSd2, u"scr_sd_timelimit", &P::edSd2 }, "chkSd2", "edSd2", 237, u"0", "Label84",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit, in minutes 0 to 1440. (scr_sd_timelimit)" },
    { { &P::chkSd3, u"scr_sd_graceperiod", &P::edSd3 }, "chkSd3", "edSd3", 261, u"15", "Label83",
        u"Graceperiod (0-60s):", nullptr, {},
        u"Time at round start where spawning and weapon choosing is still allowed, 0 - 60 seconds. "
        u"(scr_sd_graceperiod)" },
    { { &P::chkSd4, u"scr_sd_roundlength", &P::edSd4 }, "chkSd4", "edSd4", 285, u"4", "Label82", u"Round length:",
        nullptr, {}, u"Round length in minutes. (scr_sd_roundlength)" },
    { { &P::chkSd5, u"scr_sd_roundlimit", &P::edSd5 }, "chkSd5", "edSd5", 309, u"0", "Label80", u"Round limit:",
        nullptr, {}, u"Max Number of round wins per map. (scr_sd_roundlimit)" },
};
const Field headquarters[] = {
    { { &P::chkHq1, u"scr_hq_scorelimit", &P::edHq1 }, "chkHq1", "edHq1", 213, u"450", "Label85", u"Map score limit:",
        nullptr, {}, u"Map score limit. (scr_hq_scorelimit)" },
    { { &P::chkHq2, u"scr_hq_timelimit", &P::edHq2 }, "chkHq2", "edHq2", 237, u"30", "Label81",
        u"Map time limit (0-1440m):", nullptr, {}, u"Map time limit 0 to 1440, in minutes. (scr_hq_timelimit)" },
};

// In reading order, which is also the order of the blocks in the script.
// Headquarters is written like the others: a server that sets its limits
// here expects to find them in the file.
const Block blocks[] = {
    { u"//-- Deathmatch", "Label56", u"Deathmatch", { 0, 40, 233, 33 }, 160, deathmatch },
    { u"//-- Team Deathmatch", "Label57", u"Team Deathmatch", { 248, 40, 265, 33 }, 440, teamDeathmatch },
    { u"//-- Behind Enemy Lines", "Label58", u"Behind Enemy Lines", { 528, 40, 233, 33 }, 688, behindEnemyLines },
    { u"//-- Retrieval", "Label59", u"Retrieval", { 0, 168, 233, 33 }, 160, retrieval },
    { u"//-- Search and Destroy", "Label60", u"Search and Destroy", { 248, 168, 265, 33 }, 440, searchAndDestroy },
    { u"//-- Headquarters", "Label61", u"Headquarters", { 528, 168, 233, 33 }, 688, headquarters },
};

} // namespace

GametypesPage::GametypesPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet5"_s);
    PageKit::headingStrip(this, "Label8", u"Gametypes Configuration"_s, u"Gametypes"_s);

    QSet<QStringView> captions, sharedCaptions;
    for (const Block &block : blocks) {
        for (const Field &field : block.fields) {
            if (captions.contains(field.caption))
                sharedCaptions.insert(field.caption);
            captions.insert(field.caption);
        }
    }

    for (const Block &block : blocks) {
        PageKit::band(this, block.band);
        PageKit::boldLabel(
            this, block.headingName, block.heading.toString(), block.band.topLeft() + QPoint(8, 8), Qt::black);

        for (const Field &field : block.fields) {
            const QString hint = field.hint.toString();
            const bool isEdit = field.setting.edit != nullptr;
            // Box and caption line up with the edit's text, or with the buttons of the pair.
            const int rowTop = field.top + (isEdit ? 3 : 8);
            this->*field.setting.include
                = PageKit::includeBox(this, field.includeName, { block.band.x(), rowTop }, true);

            int valueLeft = block.valueX;
            QWidget *value = nullptr;
            if (isEdit) {
                value = this->*field.setting.edit = PageKit::flatEdit(
                    this, field.editName, { block.valueX, field.top, 73, 19 }, field.start.toString(), hint);
            } else {
                valueLeft = block.valueX - 8;
                QWidget *panel = value = PageKit::radioPanel(
                    this, "Panel16", { valueLeft, field.top, 89, 25 }, systemColor(SystemColor::Highlight));
                constexpr qsizetype no = 1;
                PageKit::addRadioChoices(*this, panel, field.setting.choices, no, hint);
                PageKit::tabStopOnSelected(panel);
            }

            const int rightEdge = valueLeft - 4;
            QString caption = field.caption.toString();
            QLabel *label = PageKit::rowLabel(this, field.labelName, caption, rightEdge, rowTop, hint);
            if (field.secondLabelName) {
                const int middle = rowTop + 8;
                label->move(label->x(), middle - label->height());
                PageKit::rowLabel(this, field.secondLabelName, field.secondLine.toString(), rightEdge, middle, hint);
                caption += u' ' + field.secondLine.toString();
            }
            PageKit::nameRow(label, this->*field.setting.include, value, field.secondLabelName ? caption : QString());
            // The blocks repeat their rows: a box is told apart by the variable it writes.
            if (sharedCaptions.contains(field.caption)) {
                QCheckBox *include = this->*field.setting.include;
                include->setAccessibleName(include->accessibleName() + hint.mid(hint.lastIndexOf(u'(') - 1));
            }
        }
    }

    PageKit::picture(this, { 712, 312, 49, 49 }, u":/art/corner-gametypes.png"_s);

    // Values first, then the include boxes. Team Deathmatch takes its time limit
    // first, and the boxes of the two round-based blocks run from the bottom up.
    PageKit::setTabOrder(
        { edDm1, edDm2, edTdm2, edTdm1, edBel1, edBel2, edBel3, edRe1, edRe2, edRe3, edRe4, edRe5, rbRe1, rbRe0, edSd1,
            edSd2, edSd3, edSd4, edSd5, edHq1, edHq2, chkDm1, chkDm2, chkTdm2, chkTdm1, chkBel1, chkBel2, chkBel3,
            chkRe6, chkRe5, chkRe4, chkRe3, chkRe2, chkRe1, chkSd5, chkSd4, chkSd3, chkSd2, chkSd1, chkHq1, chkHq2 });
}

void GametypesPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Gametypes Configuration"_s);
    for (const Block &block : blocks) {
        // Written whether or not any line of the block follows.
        out.comment(block.subHeading);
        for (const Field &field : block.fields)
            PageKit::writeSetting(*this, out, field.setting);
    }
    out.comment(u"//"_s);
}
