#include "generator/gameoptionspage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

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

// Row by row, left to right: also the order of the lines.
const VoteBox voteBoxes[] = {
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

const QColor grey(128, 128, 128);

// Each group in the order its buttons are tested; stacked buttons are 24 pixels apart.
const Choice gametypeChoices[] = {
    { &G::gt1, "gt1", u"Deathmatch", { 8, 8, 225, 17 }, grey, u"dm" },
    { &G::gt2, "gt2", u"Team Deathmatch", { 8, 32, 225, 17 }, grey, u"tdm" },
    { &G::gt3, "gt3", u"Behind Enemy Lines", { 8, 56, 225, 17 }, grey, u"bel" },
    { &G::gt4, "gt4", u"Retrieval", { 8, 80, 225, 17 }, grey, u"re" },
    { &G::gt5, "gt5", u"Search and Destroy", { 8, 104, 225, 17 }, grey, u"sd" },
    { &G::gt6, "gt6", u"Headquarters", { 8, 128, 225, 17 }, grey, u"hq" },
};
const auto allowVoteChoices = PageKit::yesNo(&G::rbAV1, "rbAV1", &G::rbAV0, "rbAV0", { 8, 56 }, 41, { grey, grey });
const auto drawFriendChoices = PageKit::yesNo(&G::rbDF1, "rbDF1", &G::rbDF0, "rbDF0", { 8, 80 }, 65, { grey, grey });
const auto forceRespawnChoices
    = PageKit::yesNo(&G::rbFR11, "rbFR11", &G::rbFR00, "rbFR00", { 8, 112 }, 97, { grey, grey });
const auto deadChatChoices = PageKit::yesNo(&G::rbD1, "rbD1", &G::rbD0, "rbD0", { 8, 112 }, 97, { grey, grey });
const Choice friendlyFireChoices[] = {
    { &G::rbFF0, "rbFF0", u"Off", { 8, 8, 225, 17 }, grey, u"0" },
    { &G::rbFF1, "rbFF1", u"On", { 8, 32, 225, 17 }, grey, u"1" },
    { &G::rbFF2, "rbFF2", u"Reflect", { 8, 56, 225, 17 }, grey, u"2" },
    { &G::rbFF3, "rbFF3", u"Share Damage", { 8, 80, 225, 17 }, grey, u"3" },
};
const auto killcamChoices = PageKit::yesNo(&G::rbKK1, "rbKK1", &G::rbKK0, "rbKK0", { 8, 120 }, 97, { grey, grey });
const auto freelookChoices = PageKit::yesNo(&G::rbFL1, "rbFL1", &G::rbFL0, "rbFL0", { 8, 120 }, 97, { grey, grey });
const auto spectateChoices = PageKit::yesNo(&G::rbSE1, "rbSE1", &G::rbSE0, "rbSE0", { 8, 120 }, 97, { grey, grey });
const auto penaltyChoices = PageKit::yesNo(&G::rbP1, "rbP1", &G::rbP0, "rbP0", { 8, 80 }, 65, { grey, grey });

struct Row {
    PageKit::Setting<G> setting;
    const char *includeName;
    QPoint at; // the include box; the label follows it on the same line
    const char *labelName;
    QStringView caption;
    QStringView hint;
    const char *panelName; // the panel of the radio group; none for the edit row
    QRect panel;
    qsizetype selected;
};

constexpr int leftColumn = 8;
constexpr int rightColumn = 400;

// Left column top to bottom, then the right column.
const Row rows[] = {
    { { &G::chkGametype, u"g_gametype", nullptr, gametypeChoices }, "chkGametype", { leftColumn, 48 }, "Label47",
        u"Gametype:", u"Select default gametype. (g_gametype)", "Panel8", { 112, 40, 241, 153 }, 0 },
    { { &G::chkAllowVote, u"g_allowvote", nullptr, allowVoteChoices }, "chkAllowVote", { leftColumn, 208 }, "Label48",
        u"Allow Voting:", u"Allow players to vote to change server settings. (g_allowvote)", "Panel9",
        { 112, 200, 241, 33 }, 0 },
    { { &G::chkDrawti, u"scr_drawfriend", nullptr, drawFriendChoices }, "chkDrawti", { leftColumn, 248 }, "Label49",
        u"Draw team icon over teammates:", u"Draw team icons above players. (scr_drawfriend)", "Panel10",
        { 200, 240, 153, 33 }, 0 },
    { { &G::chkForceRespawn, u"scr_forcerespawn", nullptr, forceRespawnChoices }, "chkForceRespawn",
        { leftColumn, 288 }, "Label50", u"Force respawning:",
        u"Force players to respawn after dieing. (scr_forcerespawn)", "Panel15", { 136, 280, 217, 33 }, 0 },
    { { &G::chkDead, u"g_deadchat", nullptr, deadChatChoices }, "chkDead", { leftColumn, 328 }, "Label101",
        u"Dead Chat:", u"Allow dead players to talk to alive players. (g_deadChat)", "Panel18", { 136, 320, 217, 33 },
        1 },
    { { &G::chkFriendlyFire, u"scr_friendlyfire", nullptr, friendlyFireChoices }, "chkFriendlyFire",
        { rightColumn, 48 }, "Label51", u"Friendly fire:", u"Whether players can damage teammates. (scr_friendlyfire)",
        "Panel12", { 512, 40, 241, 105 }, 0 },
    { { &G::chkKillcam, u"scr_killcam", nullptr, killcamChoices }, "chkKillcam", { rightColumn, 160 }, "Label52",
        u"Killcam:", u"Allow players to see the killcam. (scr_killcam)", "Panel13", { 512, 160, 241, 33 }, 0 },
    { { &G::chkFreelook, u"scr_freelook", nullptr, freelookChoices }, "chkFreelook", { rightColumn, 200 }, "Label53",
        u"Free look:", u"Allow players to spectate in freelook mode. (scr_freelook)", "Panel14", { 512, 192, 241, 33 },
        0 },
    { { &G::chkSpectateenemy, u"scr_spectateenemy", nullptr, spectateChoices }, "chkSpectateenemy",
        { rightColumn, 240 }, "Label54", u"Spectate enemy:",
        u"Allow players to spectate enemies or only their own team. (scr_spectateenemy)", "Panel11",
        { 512, 232, 241, 33 }, 0 },
    { { &G::chkMaxDiff, u"scr_teambalance", &G::edMaxDiff }, "chkMaxDiff", { rightColumn, 280 }, "Label55",
        u"Max difference in teams:",
        u" X > 0 - Balances teams within X number of players. 0 turns it off. (scr_teambalance)", nullptr, {}, 0 },
    { { &G::chkPenalty, u"scr_teamscorepenalty", nullptr, penaltyChoices }, "chkPenalty", { rightColumn, 320 },
        "Label100", u"Team score penalty:",
        u"Killing teammates or committing suicide during a TDM game reduce the team's score as well as the clients. "
        u"(scr_teamscorepenalty)",
        "Panel17", { 544, 312, 153, 33 }, 0 },
};

// "Dead Chat:" stands at the bottom of the left column but is written last;
// the vote lines follow the "Allow Voting:" line.
constexpr QCheckBox *G::*lineOrder[] = {
    &G::chkGametype,
    &G::chkAllowVote,
    &G::chkDrawti,
    &G::chkForceRespawn,
    &G::chkFriendlyFire,
    &G::chkKillcam,
    &G::chkFreelook,
    &G::chkSpectateenemy,
    &G::chkMaxDiff,
    &G::chkPenalty,
    &G::chkDead,
};

const Row &rowOf(QCheckBox *G::*include)
{
    return *std::find_if(
        std::begin(rows), std::end(rows), [include](const Row &row) { return row.setting.include == include; });
}

} // namespace

VotesPage::VotesPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tabVotes"_s);
    PageKit::headingStrip(this, "Label98", u"Allowed Votes"_s, u"Allowed Votes"_s);

    for (const VoteBox &vote : voteBoxes)
        PageKit::band(this, { vote.band, QSize(129, 33) });
    for (const VoteBox &vote : voteBoxes) {
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
    for (const VoteBox &vote : voteBoxes)
        out.fixedLine(vote.cvar, (this->*vote.box)->isChecked() ? u"1" : u"0");
}

GameOptionsPage::GameOptionsPage(const VotesPage *votes, QWidget *parent)
    : QWidget(parent)
    , m_votes(votes)
{
    setObjectName(u"TabSheet4"_s);
    PageKit::headingStrip(this, "Label7", u"Game Options"_s, u"Game Options"_s);

    PageKit::band(this, { 368, 56, 9, 225 });
    PageKit::band(this, { 544, 272, 209, 33 });

    QWidget *allowVotePanel = nullptr;
    for (const Row &row : rows) {
        const QString hint = row.hint.toString();
        this->*row.setting.include = PageKit::includeBox(this, row.includeName, row.at, true);

        auto *label = new QLabel(row.caption.toString(), this);
        label->setObjectName(QLatin1StringView(row.labelName));
        label->adjustSize();
        label->move(row.at.x() + 24, row.at.y());
        PageKit::setHint(label, hint);

        if (row.setting.edit) {
            this->*row.setting.edit = PageKit::flatEdit(this, "edMaxDiff", { 552, 277, 193, 19 }, u"0"_s, hint);
            PageKit::nameRow(label, this->*row.setting.include, this->*row.setting.edit);
            continue;
        }
        QWidget *panel = PageKit::radioPanel(this, row.panelName, row.panel, systemColor(SystemColor::Highlight));
        PageKit::nameRow(label, this->*row.setting.include, panel);
        PageKit::addRadioChoices(*this, panel, row.setting.choices, row.selected, hint);
        PageKit::tabStopOnSelected(panel);
        if (row.setting.include == &G::chkAllowVote)
            allowVotePanel = panel;
    }

    // Not part of the Yes/No group: it stays usable whatever voting is set to.
    Button2 = new QPushButton(u"Allowed Votes"_s, allowVotePanel);
    Button2->setObjectName(u"Button2"_s);
    Button2->setGeometry(104, 8, 129, 17);
    connect(Button2, &QPushButton::clicked, this, &GameOptionsPage::allowedVotesRequested);

    PageKit::picture(this, { 712, 312, 49, 49 }, u":/art/corner-gameoptions.png"_s);

    PageKit::setTabOrder({ chkGametype, gt1, gt2, gt3, gt4, gt5, gt6, rbAV1, rbAV0, Button2, chkAllowVote, rbDF1, rbDF0,
        chkDrawti, rbSE1, rbSE0, chkForceRespawn, chkFriendlyFire, rbFF0, rbFF1, rbFF2, rbFF3, rbKK1, rbKK0, rbFL1,
        rbFL0, rbFR11, rbFR00, chkKillcam, chkFreelook, chkSpectateenemy, chkMaxDiff, edMaxDiff, rbP1, rbP0, chkPenalty,
        rbD1, rbD0, chkDead });
}

void GameOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Game Options"_s);
    for (QCheckBox *G::*include : lineOrder) {
        PageKit::writeSetting(*this, out, rowOf(include).setting);
        if (include == &G::chkAllowVote)
            m_votes->writeVoteLines(out);
    }
    out.comment(u"//"_s);
}
