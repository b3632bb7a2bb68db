#include "app/scripthighlighter.h"

#include "app/servercommands.h"
#include "widgets/markunderline.h"

#include <QPalette>
#include <QTextBlock>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

double luminance(const QColor &colour)
{
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

// Below this a colour code gets a backdrop of its own.
constexpr double legibleContrast = 3.0;

QTextCharFormat foreground(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument *document, const QPalette &palette)
    : QSyntaxHighlighter(static_cast<QObject *>(document))
    , m_limit(new ExecLimit(document, this))
{
    // The limit and the lines follow each change before the changed lines are
    // drawn. A document without a layout tells no changes.
    document->documentLayout();
    m_following[0] = connect(document, &QTextDocument::contentsChange, this, &ScriptHighlighter::followLines);
    m_following[1] = connect(document, &QTextDocument::contentsChanged, this, &ScriptHighlighter::redrawMarked);
    followLines(0, 0, document->characterCount());
    setDocument(document);
    connect(m_limit, &ExecLimit::moved, this, &ScriptHighlighter::limitMoved);
    usePalette(palette);
}

// QSyntaxHighlighter's destructor takes its formats off the document, a change this part must not follow.
ScriptHighlighter::~ScriptHighlighter()
{
    for (const QMetaObject::Connection &connection : m_following)
        disconnect(connection);
}

void ScriptHighlighter::usePalette(const QPalette &palette)
{
    if (palette.color(QPalette::Base) == m_base)
        return;
    m_base = palette.color(QPalette::Base);
    const bool dark = m_base.lightnessF() < 0.5;
    m_comment = foreground(dark ? QColor(0x9a, 0xa0, 0xa6) : QColor(0x6a, 0x73, 0x7d));
    m_comment.setFontItalic(true);
    m_command = foreground(dark ? QColor(0x79, 0xb0, 0xf0) : QColor(0x1a, 0x4f, 0x96));
    m_name = foreground(dark ? QColor(0x6c, 0xc9, 0xb5) : QColor(0x17, 0x6b, 0x5e));
    m_quoted = foreground(dark ? QColor(0xe0, 0xa0, 0x70) : QColor(0x8a, 0x3b, 0x12));

    m_mark = markUnderline(m_base);

    for (int code = 0; code < 8; ++code)
        m_codeColours[code] = codeFormat(code, m_base);
    rehighlight();
}

// A code colour too close to the editor's background is shown on a
// backdrop that sets it off, so a white or yellow name stays readable.
QTextCharFormat ScriptHighlighter::codeFormat(int code, const QColor &base)
{
    const QColor backdrops[] = { QColor(0x20, 0x20, 0x20), QColor(0xf0, 0xf0, 0xf0) };
    const QColor colour = ConsoleReader::codeColour(code);
    QTextCharFormat format = foreground(colour);
    if (contrast(colour, base) < legibleContrast) {
        const bool darkBackdrop = contrast(colour, backdrops[0]) >= contrast(colour, backdrops[1]);
        format.setBackground(backdrops[darkBackdrop ? 0 : 1]);
    }
    return format;
}

double ScriptHighlighter::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void ScriptHighlighter::readValuesBy(const ValueCatalogue &values)
{
    m_checks.readValuesBy(values);
    rehighlight();
}

void ScriptHighlighter::followLines(int position, int, int added)
{
    const QTextDocument *text = document() ? document() : qobject_cast<QTextDocument *>(parent());
    QTextBlock last = text->findBlock(position + added);
    if (!last.isValid())
        last = text->lastBlock();
    qsizetype firstLine = text->findBlock(position).blockNumber();
    qsizetype replaced = last.blockNumber() - firstLine + 1 + m_checks.lineCount() - text->blockCount();
    if (replaced < 0 || firstLine + replaced > m_checks.lineCount()) {
        // Never seen; the whole text then.
        firstLine = 0;
        replaced = m_checks.lineCount();
        last = text->lastBlock();
    }
    QStringList texts;
    for (QTextBlock block = text->findBlockByNumber(int(firstLine)); block.isValid(); block = block.next()) {
        texts << block.text();
        if (block == last)
            break;
    }
    m_marksMoved << m_checks.replaceLines(firstLine, replaced, texts);
}

void ScriptHighlighter::redrawMarked()
{
    for (qsizetype line : std::exchange(m_marksMoved, {})) {
        if (const QTextBlock block = document()->findBlockByNumber(int(line)); block.isValid())
            rehighlightBlock(block);
    }
}

void ScriptHighlighter::compareWithServer(std::shared_ptr<const HeldValues::HeldByName> held)
{
    m_held = std::move(held);
    rehighlight();
}

void ScriptHighlighter::checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder, const QString &scriptPath)
{
    m_checks.checkAgainst(std::move(folder), scriptPath);
    rehighlight();
}

// The lines the mark left and the line it went to; the changed lines were drawn anew already.
void ScriptHighlighter::limitMoved(qsizetype from, qsizetype to)
{
    const QTextBlock left = from >= 0 ? document()->findBlock(int(from)) : QTextBlock();
    const QTextBlock reached = to >= 0 ? document()->findBlock(int(to)) : QTextBlock();
    if (left.isValid() && left != reached)
        rehighlightBlock(left);
    if (reached.isValid())
        rehighlightBlock(reached);
}

ConsoleReader::Reading ScriptHighlighter::readingOf(const QTextBlock &block) const
{
    ConsoleReader::Reading reading = m_checks.read(block.blockNumber(), block.text());
    if (m_held)
        ServerCommands::addHeldMarks(reading, block.text(), *m_held);
    if (const std::optional<ConsoleReader::Span> past = m_limit->pastIn(block))
        reading.marks.prepend({ *past, ConsoleReader::Problem::PastExecLimit, m_limit->size().sentence() });
    return reading;
}

void ScriptHighlighter::highlightBlock(const QString &)
{
    const ConsoleReader::Reading reading = readingOf(currentBlock());
    for (const ConsoleReader::Span &span : reading.quoted)
        setFormat(int(span.start), int(span.length), m_quoted);
    for (const ConsoleReader::Span &span : reading.commandWords)
        setFormat(int(span.start), int(span.length), m_command);
    for (const ConsoleReader::Span &span : reading.names)
        setFormat(int(span.start), int(span.length), m_name);
    for (const ConsoleReader::Span &span : reading.comments)
        setFormat(int(span.start), int(span.length), m_comment);
    for (const ConsoleReader::ColourRun &run : reading.colours)
        mergeFormat(run.span.start, run.span.length, m_codeColours[run.colour]);
    for (const ConsoleReader::Mark &mark : reading.marks)
        mergeFormat(mark.span.start, mark.span.length, m_mark);
}

// Lays `overlay` over what is already set, keeping the rest of each format.
void ScriptHighlighter::mergeFormat(qsizetype start, qsizetype length, const QTextCharFormat &overlay)
{
    qsizetype runStart = start;
    const qsizetype end = start + length;
    while (runStart < end) {
        const QTextCharFormat current = format(int(runStart));
        qsizetype runEnd = runStart + 1;
        while (runEnd < end && format(int(runEnd)) == current)
            ++runEnd;
        QTextCharFormat merged = current;
        merged.merge(overlay);
        setFormat(int(runStart), int(runEnd - runStart), merged);
        runStart = runEnd;
    }
}
