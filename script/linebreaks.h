#pragma once

#include <QString>
#include <QStringView>

// What ends a line of a script, in the editor and in the saved file.
namespace LineBreaks {

// CR, LF, and the Unicode line and paragraph separators a paste can bring.
constexpr bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The length of the line break at `i` (2 for CR LF), or 0 when none starts there.
constexpr qsizetype breakLength(QStringView text, qsizetype i)
{
    if (!isLineBreak(text[i]))
        return 0;
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
}

// The text as the game's file holds it: every line break becomes CR LF.
QString withCrLf(QStringView text);

} // namespace LineBreaks
