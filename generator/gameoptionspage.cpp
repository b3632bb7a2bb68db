#include "generator/gameoptionspage.h"

#include "generator/pagekit.h"
#include "script/gametypes.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

using PageKit::Number;

using V = VotesPage;
using G = GameOptionsPage;
using Choice = PageKit::RadioChoice<G>;

struct VoteBox {
    QCheckBox *V::*box;
    const char *name;
    QPoint band; // the white band behind the box; the box stands 8 pixels lower
    int x;
    int width;
    QStringView caption;
    bool checked;
    QStringView hint;
    QStringView cvar;
};

const QColor grey(128, 128, 128);

constexpr PageKit::Column left { 8, 0, 0 };
constexpr PageKit::Column right { 400, 0, 0 };

} // namespace

struct VotesPage::Tables {
    static const VoteBox voteBoxes[];
};

struct GameOptionsPage::Tables {
    static const Choice gametypeChoices[], friendlyFireChoices[];
    static const std::array<Choice, 2> allowVoteChoices, drawFriendChoices, forceRespawnChoices, deadChatChoices,
        killcamChoices, freelookChoices, spectateChoices, penaltyChoices;
    static const PageKit::Row<G> rows[];
};

// Row by row, left to right: also the order of the lines.
const VoteBox VotesPage::Tables::voteBoxes[] = {
    { &V::chkKick, "chkKick", { 48, 48 }, 64, 97, u"Allow vote kick", false,
        u"Allow players to vote to kick a player. (g_allowVoteKick)", u"g_allowVoteKick" },
    { &V::chkMap, "chkMap", { 184, 48 }, 200, 97, u"Allow vote map", true,
        u"Allow players to vote to change a map. (g_allowVoteMap)", u"g_allowVoteMap" },
    { &V::chkRestart, "chkRestart", { 320, 48 }, 323, 126, u"Allow vote map restart", true,
        u"Allow players to vote to restart a map. (g_allowVoteMapRestart)", u"g_allowVoteMapRestart" },
    { &V::chkRotate, "chkRotate", { 456, 48 }, 460, 121, u"Allow vote map rotate", false,
        u"Allow players to vote to rotate to the next map. (g_allowVoteMapRotate)", u"g_allowVoteMapRotate" },
    { &V::chkBan, "chkBan", { 592, 48 }, 600, 121, u"Allow vote temp ban", false,
        u"Allow players to vote to temporarily ban a player. (g_allowVoteTempBanUser)", u"g_allowVoteTempBanUser" },
    { &V::chkGG, "chkGG", { 112, 88 }, 120, 121, u"Allow vote gametype", true,
        u"Allow players to vote to change the gametype. (g_allowVoteTypeMap)", u"g_allowVoteTypeMap" },
    { &V::chkTeam, "chkTeam", { 248, 88 }, 256, 121, u"Allow vote team icon", false,
        u"Allow players to vote to turn on/off team icons. (g_allowVoteDrawFriend)", u"g_allowVoteDrawFriend" },
    { &V::chkFF, "chkFF", { 384, 88 }, 387, 121, u"Allow vote friendly fire", true,
        u"Allow players to vote to turn on/off friendly fire. (g_allowVoteFriendlyFire)", u"g_allowVoteFriendlyFire" },
    { &V::chkKK, "chkKK", { 520, 88 }, 536, 113, u"Allow vote killcam", true,
        u"Allow players to vote to turn on/off killcam. (g_allowVoteKillCam)", u"g_allowVoteKillCam" },
};

namespace {

Choice gametypeChoice(QRadioButton *G::*button, const char *name, Gametypes::Index gametype, int top)
{
    const Gametypes::Gametype &row = Gametypes::all[gametype];
    return { button, name, row.caption, { 8, top, 225, 17 }, grey, row.word };
}

void writeVote(ScriptWriter &out, QStringView cvar, bool on)
{
    out.fixedLine(cvar, on ? u"1" : u"0");
}

} // namespace

// Each group in the order its buttons are tested; stacked buttons are 24 pixels apart.
// The gametypes in the page's own order, each a row of the game's table.
const Choice GameOptionsPage::Tables::gametypeChoices[] = {
    gametypeChoice(&G::gt1, "gt1", Gametypes::Deathmatch, 8),
    gametypeChoice(&G::gt2, "gt2", Gametypes::TeamDeathmatch, 32),
    gametypeChoice(&G::gt3, "gt3", Gametypes::BehindEnemyLines, 56),
    gametypeChoice(&G::gt4, "gt4", Gametypes::Retrieval, 80),
    gametypeChoice(&G::gt5, "gt5", Gametypes::SearchAndDestroy, 104),
    gametypeChoice(&G::gt6, "gt6", Gametypes::Headquarters, 128),
};
const std::array<Choice, 2> GameOptionsPage::Tables::allowVoteChoices
    = PageKit::yesNo(&G::rbAV1, "rbAV1", &G::rbAV0, "rbAV0", { 8, 56 }, 41, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::drawFriendChoices
    = PageKit::yesNo(&G::rbDF1, "rbDF1", &G::rbDF0, "rbDF0", { 8, 80 }, 65, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::forceRespawnChoices
    = PageKit::yesNo(&G::rbFR11, "rbFR11", &G::rbFR00, "rbFR00", { 8, 112 }, 97, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::deadChatChoices
    = PageKit::yesNo(&G::rbD1, "rbD1", &G::rbD0, "rbD0", { 8, 112 }, 97, { grey, grey });
const Choice GameOptionsPage::Tables::friendlyFireChoices[] = {
    { &G::rbFF0, "rbFF0", u"Off", { 8, 8, 225, 17 }, grey, u"0" },
    { &G::rbFF1, "rbFF1", u"On", { 8, 32, 225, 17 }, grey, u"1" },
    { &G::rbFF2, "rbFF2", u"Reflect", { 8, 56, 225, 17 }, grey, u"2" },
    { &G::rbFF3, "rbFF3", u"Share Damage", { 8, 80, 225, 17 }, grey, u"3" },
};
const std::array<Choice, 2> GameOptionsPage::Tables::killcamChoices
    = PageKit::yesNo(&G::rbKK1, "rbKK1", &G::rbKK0, "rbKK0", { 8, 120 }, 97, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::freelookChoices
    = PageKit::yesNo(&G::rbFL1, "rbFL1", &G::rbFL0, "rbFL0", { 8, 120 }, 97, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::spectateChoices
    = PageKit::yesNo(&G::rbSE1, "rbSE1", &G::rbSE0, "rbSE0", { 8, 120 }, 97, { grey, grey });
const std::array<Choice, 2> GameOptionsPage::Tables::penaltyChoices
    = PageKit::yesNo(&G::rbP1, "rbP1", &G::rbP0, "rbP0", { 8, 80 }, 65, { grey, grey });

// In the order of the script: the left column top to bottom, then the right column, then "Dead Chat:",
// which stands at the bottom of the left column. The vote lines follow the "Allow Voting:" line.
// clang-format off
const PageKit::Row<G> GameOptionsPage::Tables::rows[] = {
    { .column = left, .top = 48, .include = &G::chkGametype, .includeName = "chkGametype", .labelName = "Label47",
        .label = u"Gametype:", .hint = u"Select default gametype. (g_gametype)", .cvar = u"g_gametype",
        .panelName = "Panel8", .choices = gametypeChoices, .gametypes = true, .panelAt = { 112, 40, 241, 153 } },
    // "Allowed Votes" is not part of the Yes/No group: it stays usable whatever voting is set to.
    { .column = left, .top = 208, .include = &G::chkAllowVote, .includeName = "chkAllowVote", .labelName = "Label48",
        .label = u"Allow Voting:", .hint = u"Allow players to vote to change server settings. (g_allowvote)",
        .cvar = u"g_allowvote", .panelName = "Panel9", .choices = allowVoteChoices, .panelAt = { 112, 200, 241, 33 },
        .button = &G::Button2, .buttonName = "Button2", .buttonCaption = u"Allowed Votes",
        .buttonAt = { 104, 8, 129, 17 } },
    { .column = left, .top = 248, .include = &G::chkDrawti, .includeName = "chkDrawti", .labelName = "Label49",
        .label = u"Draw team icon over teammates:", .hint = u"Draw team icons above players. (scr_drawfriend)",
        .cvar = u"scr_drawfriend", .panelName = "Panel10", .choices = drawFriendChoices,
        .panelAt = { 200, 240, 153, 33 } },
    { .column = left, .top = 288, .include = &G::chkForceRespawn, .includeName = "chkForceRespawn",
        .labelName = "Label50", .label = u"Force respawning:",
        .hint = u"Force players to respawn after dieing. (scr_forcerespawn)", .cvar = u"scr_forcerespawn",
        .panelName = "Panel15", .choices = forceRespawnChoices, .panelAt = { 136, 280, 217, 33 } },
    { .column = right, .top = 48, .include = &G::chkFriendlyFire, .includeName = "chkFriendlyFire",
        .labelName = "Label51", .label = u"Friendly fire:",
        .hint = u"Whether players can damage teammates. (scr_friendlyfire)", .cvar = u"scr_friendlyfire",
        .panelName = "Panel12", .choices = friendlyFireChoices, .panelAt = { 512, 40, 241, 105 } },
    { .column = right, .top = 160, .include = &G::chkKillcam, .includeName = "chkKillcam", .labelName = "Label52",
        .label = u"Killcam:", .hint = u"Allow players to see the killcam. (scr_killcam)", .cvar = u"scr_killcam",
        .panelName = "Panel13", .choices = killcamChoices, .panelAt = { 512, 160, 241, 33 } },
    { .column = right, .top = 200, .include = &G::chkFreelook, .includeName = "chkFreelook", .labelName = "Label53",
        .label = u"Free look:", .hint = u"Allow players to spectate in freelook mode. (scr_freelook)",
        .cvar = u"scr_freelook", .panelName = "Panel14", .choices = freelookChoices, .panelAt = { 512, 192, 241, 33 } },
    { .column = right, .top = 240, .include = &G::chkSpectateenemy, .includeName = "chkSpectateenemy",
        .labelName = "Label54", .label = u"Spectate enemy:",
        .hint = u"Allow players to spectate enemies or only their own team. (scr_spectateenemy)",
        .cvar = u"scr_spectateenemy", .panelName = "Panel11", .choices = spectateChoices,
        .panelAt = { 512, 232, 241, 33 } },
    { .column = { 400, 0, 552, 193 }, .top = 280, .include = &G::chkMaxDiff, .includeName = "chkMaxDiff",
        .labelName = "Label55", .label = u"Max difference in teams:",
        .hint = u" X > 0 - Balances teams within X number of players. 0 turns it off. (scr_teambalance)",
        .cvar = u"scr_teambalance", .edit = &G::edMaxDiff, .editName = "edMaxDiff", .text = u"0",
        .number = Number::Whole },
    { .column = right, .top = 320, .include = &G::chkPenalty, .includeName = "chkPenalty", .labelName = "Label100",
        .label = u"Team score penalty:",
        .hint = u"Killing teammates or committing suicide during a TDM game reduce the team's score as well as the "
            u"clients. (scr_teamscorepenalty)",
        .cvar = u"scr_teamscorepenalty", .panelName = "Panel17", .choices = penaltyChoices,
        .panelAt = { 544, 312, 153, 33 } },    { .column = left, .top = 328, .include = &G::chkDead, .includeName = "chkDead", .labelName = "Label101",
        .label = u"Dead Chat:", .hint = u"Allow dead players to talk to alive players. (g_deadChat)",
        .cvar = u"g_deadchat", .panelName = "Panel18", .choices = deadChatChoices, .selected = 1,
        .panelAt = { 136, 320, 217, 33 } },

};
// clang-format on

VotesPage::VotesPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"tabVotes"_s);
}

void VotesPage::buildControls()
{
    PageKit::headingStrip(this, "Label98", u"Allowed Votes"_s, u"Allowed Votes"_s);

    for (const VoteBox &vote : Tables::voteBoxes)
        PageKit::band(this, { vote.band, QSize(129, 33) });
    for (const VoteBox &vote : Tables::voteBoxes) {
        auto *box = new QCheckBox(vote.caption.toString(), this);
        box->setObjectName(QLatin1StringView(vote.name));
        // The widths were drawn for a narrower face: a caption that would be
        // clipped widens its box into the gap after its band instead.
        box->setGeometry(vote.x, vote.band.y() + 8, std::max(vote.width, box->sizeHint().width()), 17);
        PageKit::fillBackground(box, systemColor(SystemColor::Highlight));
        box->setChecked(vote.checked);
        PageKit::setHint(box, vote.hint.toString());
        this->*vote.box = box;
    }
    PageKit::setTabOrder({ chkKick, chkKK, chkFF, chkTeam, chkGG, chkBan, chkRotate, chkRestart, chkMap });
}

void VotesPage::writeVoteLines(ScriptWriter &out) const
{
    Q_ASSERT_X(isBuilt(), "VotesPage::writeVoteLines", "the page is not built");
    for (const VoteBox &vote : Tables::voteBoxes)
        writeVote(out, vote.cvar, (this->*vote.box)->isChecked());
}

void VotesPage::takeValues(OpenedScript &script)
{
    build();
    for (const VoteBox &vote : Tables::voteBoxes)
        PageKit::takeOnOff(script, this->*vote.box, vote.cvar, vote.checked, writeVote);
}

void VotesPage::declareValues(ValueCatalogue &values)
{
    for (const VoteBox &vote : Tables::voteBoxes)
        values.declare(vote.cvar, PageKit::onOrOff());
}

GameOptionsPage::GameOptionsPage(VotesPage *votes, QWidget *parent)
    : SettingsPage(parent)
    , m_votes(votes)
{
    setObjectName(u"TabSheet4"_s);
}

void GameOptionsPage::buildControls()
{
    PageKit::headingStrip(this, "Label7", u"Game Options"_s, u"Game Options"_s);

    PageKit::band(this, { 368, 56, 9, 225 });
    PageKit::addRows<G>(*this, Tables::rows);
    connect(Button2, &QPushButton::clicked, this, &GameOptionsPage::allowedVotesRequested);

    PageKit::picture(this, { 712, 312, 49, 49 }, u"corner-gameoptions");

    PageKit::setTabOrder({ chkGametype, gt1, gt2, gt3, gt4, gt5, gt6, rbAV1, rbAV0, Button2, chkAllowVote, rbDF1, rbDF0,
        chkDrawti, rbSE1, rbSE0, chkForceRespawn, chkFriendlyFire, rbFF0, rbFF1, rbFF2, rbFF3, rbKK1, rbKK0, rbFL1,
        rbFL0, rbFR11, rbFR00, chkKillcam, chkFreelook, chkSpectateenemy, chkMaxDiff, edMaxDiff, rbP1, rbP0, chkPenalty,
        rbD1, rbD0, chkDead });
}

void GameOptionsPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Game Options"_s);
    for (const PageKit::Row<G> &row : Tables::rows) {
        PageKit::writeRow(*this, out, row);
        if (row.include == &G::chkAllowVote)
            m_votes->writeVoteLines(out);
    }
    out.comment(u"//"_s);
}

void GameOptionsPage::takeValues(OpenedScript &script)
{
    build();
    PageKit::takeRows<G>(*this, script, Tables::rows);
}

void GameOptionsPage::declareValues(ValueCatalogue &values)
{
    PageKit::declareRows<G>(values, Tables::rows);
}
