#include "generator/weaponspage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

WeaponsPage::WeaponsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet1"_s);
    PageKit::headingStrip(this, "Label10", u"Allowed Weapons"_s, u"Allowed weapons"_s);
}

void WeaponsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Weapons"_s);

}
