#pragma once

#include <QLocale>
#include <QString>

// The small wordings every sentence of the program shares, in English
// whatever the system's language, as the sentences are. Inline, so that a
// reader built on its own (a fuzz target) takes them without the library.
namespace Wording {

// 1,048,576.
inline QString thousands(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

// A long text, such as a value, shown by its two ends around a "…".
inline constexpr qsizetype shortenedLongest = 80;
inline constexpr qsizetype shortenedFront = 50;
inline constexpr qsizetype shortenedBack = 20;
inline QString shortened(const QString &text)
{
    return text.size() <= shortenedLongest ? text
                                           : text.left(shortenedFront) + QChar(0x2026) + text.right(shortenedBack);
}

// Bytes in KiB below 1 MiB, else in MiB, rounded up: never less than there are.
inline QString size(qint64 bytes)
{
    constexpr qint64 kib = 1 << 10;
    constexpr qint64 mib = 1 << 20;
    return bytes < mib ? QStringLiteral("%1 KiB").arg((bytes + kib - 1) / kib)
                       : QStringLiteral("%1 MiB").arg((bytes + mib - 1) / mib);
}

// "1 map", "1,000 maps": `n` and the words that go with it.
inline QString counted(qint64 n, QStringView one, QStringView many)
{
    return thousands(n) + QLatin1Char(' ') + (n == 1 ? one : many).toString();
}

} // namespace Wording
