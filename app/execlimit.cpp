#include "app/execlimit.h"

#include <QTextBlock>
#include <QTextDocument>

#include <utility>

namespace {

// The bytes a block takes as saved beyond one a character: a line break
// inside it (a pasted line separator) is saved as CR LF. Kept with its block,
// so that the document's total follows blocks as they split, join and go.
class ExtraBytes : public QTextBlockUserData {
public:
    ExtraBytes(qsizetype bytes, std::shared_ptr<qsizetype> total)
        : bytes(bytes)
        , m_total(std::move(total))
    {
        *m_total += bytes;
    }
    ~ExtraBytes() override { *m_total -= bytes; }

    const qsizetype bytes;

private:
    std::shared_ptr<qsizetype> m_total;
};

// The position of the first character past `limit` bytes that is not a line
// break, or -1; only the blocks up to it are read.
qsizetype firstPastLimit(const QTextDocument *document, qsizetype limit)
{
    qsizetype bytes = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        if (block.next().isValid())
            text += QChar::ParagraphSeparator;
        if (const qsizetype past = ExecSize::firstPast(text, ExecSize::Breaks::Saved, limit, bytes); past >= 0)
            return block.position() + past;
        bytes += ExecSize::bytesOf(text, ExecSize::Breaks::Saved);
    }
    return -1;
}

} // namespace

ExecLimit::ExecLimit(QTextDocument *document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    setObjectName(QStringLiteral("execLimit"));
    connect(document, &QTextDocument::contentsChange, this, &ExecLimit::follow);
    connect(document, &QTextDocument::contentsChanged, this, &ExecLimit::settle);
    follow(0, 0, document->characterCount());
    m_told = m_size.firstPast;
}

std::optional<ConsoleReader::Span> ExecLimit::pastIn(const QTextBlock &block) const
{
    if (m_size.firstPast < 0 || !block.isValid() || !block.contains(int(m_size.firstPast)))
        return std::nullopt;
    const qsizetype start = m_size.firstPast - block.position();
    return ConsoleReader::Span { start, block.length() - 1 - start };
}

// Runs within the change, so that a highlighter drawing the changed lines
// after it finds the limit where it now is. A clear() ends on this signal alone.
void ExecLimit::follow(int position, int removed, int added)
{
    const QTextBlock first = m_document->findBlock(position);
    const QTextBlock last = m_document->findBlock(position + added);
    m_drawnFrom = first.isValid() ? first.position() : 0;
    m_drawnTo = last.isValid() ? last.position() + last.length() : m_drawnFrom;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const QString text = block.text();
        const qsizetype extra = ExecSize::bytesOf(text, ExecSize::Breaks::Saved) - text.size();
        const auto *held = static_cast<const ExtraBytes *>(block.userData());
        if ((held ? held->bytes : 0) != extra)
            block.setUserData(extra > 0 ? new ExtraBytes(extra, m_extraBytes) : nullptr);
        if (block == last)
            break;
    }

    if (m_told >= position + removed)
        m_told += added - removed;
    else if (m_told >= position)
        m_told = -1;

    // One byte a character and two a line break, without reading the text.
    const ExecSize::Size previous = m_size;
    m_size = { m_document->characterCount() - 1 + m_document->blockCount() - 1 + *m_extraBytes };
    if (!m_size.fits()) {
        // What lies before the first character past the limit decides it.
        const bool kept
            = previous.firstPast >= 0 && position > previous.firstPast && previous.limit() == m_size.limit();
        m_size.firstPast = kept ? previous.firstPast : firstPastLimit(m_document, m_size.limit());
    }
}

// A line of a megabyte takes as long to draw anew as to lay out: one the change drew is not drawn again.
void ExecLimit::settle()
{
    const auto undrawn
        = [this](qsizetype position) { return position >= m_drawnFrom && position < m_drawnTo ? -1 : position; };
    if (m_told == m_size.firstPast)
        return;
    const qsizetype from = undrawn(std::exchange(m_told, m_size.firstPast));
    const qsizetype to = undrawn(m_size.firstPast);
    if (from >= 0 || to >= 0)
        Q_EMIT moved(from, to);
}
