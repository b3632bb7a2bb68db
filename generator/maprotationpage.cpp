#include "generator/maprotationpage.h"

#include "generator/pagekit.h"
#include "generator/scriptwriter.h"

using namespace Qt::StringLiterals;

MapRotationPage::MapRotationPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet6"_s);
    PageKit::headingStrip(this, "Label9", u"Map Rotation"_s, u"Map Rotation"_s);
}

void MapRotationPage::writeRotationLine(ScriptWriter &) const
{
}
