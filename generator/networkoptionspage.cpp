#include "generator/networkoptionspage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

NetworkOptionsPage::NetworkOptionsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet3"_s);
    PageKit::headingStrip(this, "Label5", u"Network Options"_s, u"Network Options"_s);
}

void NetworkOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Network Options"_s);
    out.comment(u"//"_s);
}
