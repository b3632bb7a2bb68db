#include "generator/gameoptionspage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

VotesPage::VotesPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tabVotes"_s);
    PageKit::headingStrip(this, "Label98", u"Allowed Votes"_s, u"Allowed Votes"_s);
}

void VotesPage::writeVoteLines(ScriptWriter &) const
{
}

GameOptionsPage::GameOptionsPage(const VotesPage *votes, QWidget *parent)
    : QWidget(parent)
    , m_votes(votes)
{
    setObjectName(u"TabSheet4"_s);
    PageKit::headingStrip(this, "Label7", u"Game Options"_s, u"Game Options"_s);

    Button2 = new QPushButton(u"Allowed Votes"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->setGeometry(112 + 104, 200 + 8, 129, 17);
    connect(Button2, &QPushButton::clicked, this, &GameOptionsPage::allowedVotesRequested);
}

void GameOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Game Options"_s);
    m_votes->writeVoteLines(out);
    out.comment(u"//"_s);
}
