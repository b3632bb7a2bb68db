#include "widgets/readabletooltips.h"

#include <QApplication>
#include <QLabel>

using namespace Qt::StringLiterals;

void ReadableToolTips::install()
{
    if (qApp->findChild<ReadableToolTips *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    auto *tips = new ReadableToolTips(qApp);
    tips->setObjectName(u"ReadableToolTips"_s);
    qApp->installEventFilter(tips);
}

// Qt sizes its tooltip label to the text, then shows it or, for a tip shown already, moves it: the label is made
// narrower whenever it is sized wider than a reader's line.
bool ReadableToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() != QEvent::Resize && event->type() != QEvent::Show) || !watched->isWidgetType())
        return false;
    auto *tip = qobject_cast<QLabel *>(watched);
    if (!tip || tip->wordWrap() || tip->objectName() != u"qtooltip_label"_s)
        return false;
    const int readable = tip->fontMetrics().averageCharWidth() * readableCharacters;
    const QMargins margins = tip->contentsMargins();
    if (tip->width() <= readable + margins.left() + margins.right() + 2 * tip->margin())
        return false;
    tip->setWordWrap(true);
    const int width = readable + margins.left() + margins.right() + 2 * tip->margin();
    tip->resize(width, tip->heightForWidth(width));
    return false;
}
