#include "generator/serverinfopage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

ServerInfoPage::ServerInfoPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tabMain"_s);
    PageKit::headingStrip(this, "Label2", u"Server Information"_s, u"Server Information"_s);
}

void ServerInfoPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Server Information"_s);
    out.comment(u"//"_s);
}
