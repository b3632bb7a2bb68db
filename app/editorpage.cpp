#include "app/editorpage.h"

#include "generator/pagekit.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

EditorPage::EditorPage(QWidget *parent)
    : QWidget(parent)
    , editor(new QPlainTextEdit(this))
{
    setObjectName(u"tabEditor"_s);
    PageKit::headingStrip(this, "Label3", u"Your CFG"_s, u"Your CFG"_s);

    editor->setObjectName(u"editor"_s);
    editor->setGeometry(0, 40, 761, 265);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setAccessibleName(u"Your CFG"_s);
    PageKit::setHint(editor, u"You may edit your CFG here before save..."_s);

    const struct {
        const char *name;
        int top;
        QString text;
    } notes[] = {
        {"Label106", 312, u"Your cfg was created! you may edit or organize your cfg in the editor above."_s},
        {"Label4", 328, u"Press Save CFG to save as a .cfg format..."_s},
        {"Label107", 344, u"Thank you for using Corvane's Tallyforge!"_s},
    };
    for (const auto &note : notes) {
        auto *label = new QLabel(note.text, this);
        label->setObjectName(QLatin1StringView(note.name));
        label->adjustSize();
        label->move(0, note.top);
    }
    PageKit::picture(this, {728, 320, 33, 33}, u":/art/editor-corner.png"_s);
}
