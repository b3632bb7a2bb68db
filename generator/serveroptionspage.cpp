#include "generator/serveroptionspage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

ServerOptionsPage::ServerOptionsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet2"_s);
    PageKit::headingStrip(this, "Label6", u"Server Options"_s, u"Server Options"_s);
}

void ServerOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Server Options"_s);
    out.comment(u"//"_s);
}
