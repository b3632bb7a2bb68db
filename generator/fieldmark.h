#pragma once

#include "script/consolereader.h"
#include "script/valuecatalogue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTextLayout>

#include <memory>

namespace GameFolder {
struct Contents;
}
class QLineEdit;

// Shows in a page's field what the game reads from the line its row writes,
// read by the editor's own reader: the editor's wavy underline under the text
// the game reads otherwise than it looks, and what the game does: after the
// field's hint in the status bar while the pointer is over the field or while
// it has the keyboard focus, in a tooltip, and in its description for
// assistive technology. The status bar is told as every hint tells it, by a
// QStatusTipEvent to the window. The field's start value reads as it looks, so
// nothing is read before its text first changes. Neither the text nor what
// the row writes ever changes. Where the field holds several marks, it names
// the one under the pointer, else the one at the caret, else the first.
class FieldMark : public QObject {
public:
    // Watches `edit`, which holds the value of `variable`, accepted as `accepted`.
    static FieldMark *watch(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted);

    // Marks the maps the value loads as the editor does against `folder`; none without one.
    void checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FieldMark(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted);

    void read();
    void pickSentence();
    void underline();
    QString marked() const;
    void tell();
    // Puts `tip` in the window's status bar, or takes what this field put there away for none.
    void say(const QString &tip);

    QLineEdit *const m_edit;
    const QString m_variable;
    ValueCatalogue m_values;
    std::shared_ptr<const GameFolder::Contents> m_folder;
    QString m_line; // the row writes
    ConsoleReader::Reading m_reading; // of m_line
    qsizetype m_valueStart = 0; // where the field's text starts in that line
    qsizetype m_pointedAt = -1; // the position in the text under the pointer, while over a mark
    QString m_sentence;
    QList<QTextLayout::FormatRange> m_underlined; // as the field shows them
    QList<QTextLayout::FormatRange> m_marks; // as read
    bool m_composing = false; // an input method is composing text in the field
    QString m_told; // what this field put in the status bar, while no other tip came after it
};
