#pragma once

#include "script/consolereader.h"
#include "script/execsize.h"

#include <QObject>

#include <memory>
#include <optional>

class QTextBlock;
class QTextDocument;

// The size of a document as saved against what one exec takes, and the first
// position past that limit, kept current through every change of the text.
// It keeps positions only: a QTextBlock does not outlive a clear() of its
// document.
class ExecLimit : public QObject {
    Q_OBJECT

public:
    // Made before any highlighter of `document`, it is current again by the
    // time a highlighter draws the changed lines.
    ExecLimit(QTextDocument *document, QObject *parent);

    ExecSize::Size size() const { return m_size; }

    // The part of `block` past the limit, where the limit falls in it.
    std::optional<ConsoleReader::Span> pastIn(const QTextBlock &block) const;

Q_SIGNALS:
    // Once a change is done, the first position past the limit moved from
    // `from`, where it was drawn as the text stands now, to `to`: the lines
    // to draw anew. Either is -1 where there is no limit or where the change
    // drew that line itself (a highlighter draws the lines a change covers).
    void moved(qsizetype from, qsizetype to);

private:
    void follow(int position, int removed, int added);
    void settle();

    QTextDocument *const m_document;
    // The bytes that line breaks within blocks add, held by the blocks.
    const std::shared_ptr<qsizetype> m_extraBytes = std::make_shared<qsizetype>(0);
    ExecSize::Size m_size;
    // Where the limit was last told, moved along with the text; -1 once the
    // text there changed, which draws it anew.
    qsizetype m_told = -1;
    // The lines the last change covers, from the start of the first to the end
    // of the last: a highlighter drew them with the limit where it is now.
    qsizetype m_drawnFrom = 0, m_drawnTo = 0;
};
