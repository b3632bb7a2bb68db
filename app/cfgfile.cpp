#include "app/cfgfile.h"

#include "script/linebreaks.h"
#include "script/scriptfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace CfgFile {

namespace {

using ScriptFile::codePage; // read back by ScriptFile::decode

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
            // A lone surrogate has no code point of its own: name the unit.
            const char32_t unit = length == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
            const QString codePoint = QString::number(unit, 16).toUpper();
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

QString absolutePath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString cannotCreate(const QString &path, const QString &reason)
{
    return u"Cannot create file \"%1\". %2."_s.arg(absolutePath(path), systemErrorText(reason));
}

const QString streamWriteError = u"Stream write error."_s;

// A file system that cannot sync a file (EINVAL) has nothing more to write back.
bool syncToDisk(int descriptor)
{
    return ::fsync(descriptor) == 0 || errno == EINVAL;
}

// QFileDevice keeps small writes in its buffer, and a failed flush of that
// buffer does not stop QSaveFile::commit(): every write is flushed and synced
// here, so a full disk shows before the old file is replaced.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush() && syncToDisk(file.handle());
}

// A replacement file is made by the saver; it must go on belonging to the
// owner of the file it replaces, or a server running under another account
// can no longer read its own script.
bool giveToOwnerOf(int descriptor, const struct stat &old)
{
    struct stat made { };
    if (::fstat(descriptor, &made) != 0)
        return false;
    return (made.st_uid == old.st_uid && made.st_gid == old.st_gid)
        || ::fchown(descriptor, old.st_uid, old.st_gid) == 0;
}

// Used where no replacement can be made: the folder takes no new file, or the
// saver may not give one to the old file's owner. Writing over a file cannot be
// atomic, so its bytes are read first and put back if the write fails. The new
// bytes go over the old ones before the file is cut to size: the old bytes'
// blocks stay allocated, so putting them back never needs more room.
std::optional<QString> writeInPlace(QFile &file, const QByteArray &bytes)
{
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return cannotCreate(file.fileName(), file.errorString());
    auto overwrite = [&file](const QByteArray &content) {
        return file.seek(0) && file.write(content) == content.size() && file.resize(content.size())
            && syncToDisk(file.handle());
    };
    if (overwrite(bytes))
        return std::nullopt;
    if (overwrite(old))
        return streamWriteError + u" The file's old contents were written back."_s;
    return streamWriteError
        + u" The file's old contents could not be written back either: %1."_s.arg(systemErrorText(file.errorString()));
}

} // namespace

std::optional<QByteArray> encode(const QString &text)
{
    // Stateless: a high surrogate at the very end is an error, not input
    // held back for a next call that never comes (it would vanish silently).
    QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(LineBreaks::withCrLf(text));
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::optional<QString> save(const QString &path, const QString &text)
{
    const std::optional<QByteArray> bytes = encode(text);
    if (!bytes) {
        // Qt has converters other than UTF and Latin-1 only when it is built with ICU.
        const QString reason = QStringEncoder(codePage).isValid()
            ? describeUnencodable(LineBreaks::withCrLf(text))
            : u"The Qt libraries this program runs on have no Windows-1252 encoder (they were built without ICU), "
              "and a .cfg file is written in Windows-1252."_s;
        return u"Cannot save file \"%1\". %2"_s.arg(absolutePath(path), reason);
    }

    struct stat old { };
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode);
    QFile inPlace(path);
    auto openInPlace = [&inPlace] { return inPlace.open(QIODevice::ReadWrite | QIODevice::Unbuffered); };

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (replacing && openInPlace())
            return writeInPlace(inPlace, *bytes);
        return cannotCreate(path, file.errorString());
    }
    if (replacing && !giveToOwnerOf(file.handle(), old)) {
        file.cancelWriting(); // the replacement is removed with `file`
        if (!openInPlace())
            return cannotCreate(path, inPlace.errorString());
        return writeInPlace(inPlace, *bytes);
    }
    if (!writeAll(file, *bytes)) {
        file.cancelWriting();
        return streamWriteError;
    }
    if (!file.commit())
        return file.error() == QFileDevice::RenameError ? cannotCreate(path, file.errorString()) : streamWriteError;
    return std::nullopt;
}

} // namespace CfgFile
