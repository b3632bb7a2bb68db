#include "generator/gametypespage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

GametypesPage::GametypesPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet5"_s);
    PageKit::headingStrip(this, "Label8", u"Gametypes Configuration"_s, u"Gametypes"_s);
}

void GametypesPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Gametypes Configuration"_s);
    for (const auto *heading : {u"//-- Deathmatch", u"//-- Team Deathmatch", u"//-- Behind Enemy Lines", u"//-- Retrieval", u"//-- Search and Destroy", u"//"})
        out.comment(QStringView(heading));
}
