#include "script/scriptwriter.h"

#include "script/linebreaks.h"

#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

ScriptWriter::ScriptWriter(QTextDocument *document, bool withComments)
    : m_cursor(document)
    , m_withComments(withComments)
{
    m_cursor.movePosition(QTextCursor::End);
}

ScriptWriter::ScriptWriter(bool withComments)
    : m_withComments(withComments)
{
}

ScriptWriter::~ScriptWriter()
{
    if (m_cursor.isNull())
        return;
    // One insert: the document takes the whole script as one change, and the
    // editor lays it out and colours it once.
    m_cursor.insertText(m_text);
}

void ScriptWriter::comment(QStringView text)
{
    if (m_withComments)
        appendLine(text.toString());
}

namespace {

// <command> <name> "<value>"
QString commandLine(QStringView command, QStringView name, QStringView value)
{
    QString line;
    line.reserve(command.size() + name.size() + value.size() + 4);
    line.append(command).append(u' ').append(name).append(u" \"").append(value).append(u'"');
    return line;
}

} // namespace

void ScriptWriter::valueLine(QStringView cvar, const QString &text)
{
    appendLine(commandLine(u"set", cvar, asOneLine(text)));
}

void ScriptWriter::infoLine(QStringView key, const QString &text)
{
    appendLine(commandLine(u"sets", key, asOneLine(text)));
}

void ScriptWriter::fixedLine(QStringView cvar, QStringView value)
{
    appendLine(commandLine(u"set", cvar, value));
}

void ScriptWriter::keptLine(QStringView line)
{
    appendLine(line.toString());
}

QString ScriptWriter::asOneLine(const QString &text)
{
    // The editor's document would start a new block at its frame markers too.
    auto isBreak = [](QChar c) { return LineBreaks::isLineBreak(c) || c == QChar(0xfdd0) || c == QChar(0xfdd1); };
    if (std::none_of(text.cbegin(), text.cend(), isBreak))
        return text;

    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBreak(text[i])) {
            line += u' ';
            i += std::max<qsizetype>(LineBreaks::breakLength(text, i), 1) - 1;
        } else {
            line += text[i];
        }
    }
    return line;
}

void ScriptWriter::appendLine(const QString &line)
{
    m_text.append(line).append(u'\n');
}
