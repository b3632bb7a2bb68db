#include "app/cfgfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace CfgFile {

namespace {

constexpr auto codePage = "windows-1252";

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineBreak(c)) {
            out += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out += u"\r\n"_s;
    }
    return out;
}

// Only called once encoding failed, to tell the user where.
QString describeUnencodable(const QString &text)
{
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ++line;
            continue;
        }
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
        const QByteArray encoded = encoder.encode(character); // encoding is lazy until converted
        if (encoder.hasError()) {
            const QString codePoint = QString::number(character.toUcs4().value(0), 16).toUpper();
            return u"Line %1 holds the character \"%2\" (U+%3), which a .cfg file cannot hold."_s.arg(
                QString::number(line), character, codePoint.rightJustified(4, u'0'));
        }
        i += length - 1;
    }
    return u"The text holds a character that a .cfg file cannot hold."_s;
}

QString systemErrorText(QString text)
{
    while (!text.isEmpty()
        && (text.back().isSpace() || text.back().category() == QChar::Other_Control || text.back() == u'.'))
        text.chop(1);
    return text;
}

QString cannotCreate(const QString &path, const QString &reason)
{
    const QString absolute = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return u"Cannot create file \"%1\". %2."_s.arg(absolute, systemErrorText(reason));
}

} // namespace

std::optional<QByteArray> encode(const QString &text, QString *problem)
{
    const QString fileText = withCrLf(text);
    // Stateless: a high surrogate at the very end is an error, not input
    // held back for a next call that never comes (it would vanish silently).
    QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(fileText);
    if (encoder.isValid() && !encoder.hasError())
        return bytes;
    if (problem)
        *problem = describeUnencodable(fileText);
    return std::nullopt;
}

QString write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotCreate(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return u"Stream write error."_s;
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::RenameError)
            return cannotCreate(path, file.errorString());
        return u"Stream write error."_s;
    }
    return {};
}

} // namespace CfgFile
