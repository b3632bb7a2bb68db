#include "script/scriptfile.h"

#include "script/execsize.h"
#include "script/wording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ScriptFile {

namespace {

// Calls `line(start, end, next)` for each line of `text` until it returns
// false: the line's text runs from `start` to `end`, its line break (CR LF,
// LF or a lone CR) up to `next`. A final line break does not start another line.
template<typename Line> void forEachLine(QStringView text, Line line)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        const qsizetype end = i;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        if (!line(start, end, i + 1))
            return;
        start = i + 1;
    }
    if (start < text.size())
        line(start, text.size(), text.size());
}

// The system's description of `error`, without the full stop some add.
QString systemError(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u'.'))
        text.chop(1);
    return text;
}

QString cannotOpen(const QString &path, const QString &reason)
{
    return u"Cannot open file \"%1\". %2."_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}

// Only a regular file has an end to read to: a pipe or a device may wait
// forever or never end.
QString notAFile(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return u"It is a folder"_s;
    if (S_ISFIFO(mode))
        return u"It is a pipe, not a file"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"It is a device, not a file"_s;
    if (S_ISSOCK(mode))
        return u"It is a socket, not a file"_s;
    return u"It is not a regular file"_s;
}

QString tooLarge()
{
    return u"It is larger than %1 bytes, the most a script may have here; one exec takes %2"_s.arg(
        Wording::thousands(largestBytes), Wording::thousands(ExecSize::largestBytes));
}

class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// Reads to the end of the file, or to one byte past largestBytes, which is
// enough to know it is too large; `sizeHint` is what the file said its size was
// (a file in /proc says 0). Sets errno and returns nothing on a read error.
std::optional<QByteArray> readAtMostLargest(int descriptor, qint64 sizeHint)
{
    QByteArray bytes(std::min(sizeHint, largestBytes) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > largestBytes)
                break;
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, largestBytes + 1));
        }
        const ssize_t count = ::read(descriptor, bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        got += count;
    }
    bytes.truncate(got);
    return bytes;
}

QStringDecoder decoder()
{
    return QStringDecoder(codePage, QStringDecoder::Flag::Stateless);
}

// Puts the file's bytes in `bytes`, or returns why it cannot.
QString readBytes(const QString &path, QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening some devices already does something.
    struct stat status { };
    if (::stat(name.constData(), &status) != 0)
        return systemError(errno);
    if (QString reason = notAFile(status.st_mode); !reason.isEmpty())
        return reason;
    // It may have been replaced by a pipe since: opening without blocking and
    // looking again at what was opened leaves no moment to wait in.
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return systemError(errno);
    if (QString reason = notAFile(status.st_mode); !reason.isEmpty())
        return reason;
    if (status.st_size > largestBytes)
        return tooLarge();
    std::optional<QByteArray> read = readAtMostLargest(file.get(), status.st_size);
    if (!read)
        return systemError(errno);
    if (read->size() > largestBytes)
        return tooLarge();
    if (!decoder().isValid())
        return u"This build of Qt has no %1 decoder"_s.arg(QLatin1StringView(codePage));
    bytes = std::move(*read);
    return {};
}

} // namespace

Loaded load(const QString &path)
{
    Loaded loaded;
    QByteArray bytes;
    QString reason = readBytes(path, bytes);
    if (reason.isEmpty()) {
        loaded.text = decode(bytes);
        // The game's console reads a script as one C string: whatever follows
        // a NUL would look read but never run.
        if (const qsizetype nul = loaded.text.indexOf(QChar(0)); nul >= 0) {
            const qsizetype line = positionOf(loaded.text, nul).line + 1;
            reason = u"Line %1 holds a NUL byte: it is not a text file"_s.arg(Wording::thousands(line));
        }
    }
    if (!reason.isEmpty())
        return { {}, {}, cannotOpen(path, reason) };
    loaded.lines = splitLines(loaded.text);
    return loaded;
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder toText = decoder();
    return toText.decode(bytes);
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&](qsizetype start, qsizetype end, qsizetype) {
        lines.append(text.sliced(start, end - start).toString());
        return true;
    });
    return lines;
}

QList<qsizetype> lineEnds(QStringView text)
{
    QList<qsizetype> ends;
    forEachLine(text, [&](qsizetype, qsizetype, qsizetype next) {
        ends.append(next);
        return true;
    });
    return ends;
}

Position positionOf(QStringView text, qsizetype index)
{
    Position position;
    qsizetype lineStart = 0;
    forEachLine(text, [&](qsizetype start, qsizetype end, qsizetype next) {
        lineStart = start;
        if (index < next || end == next) // the last line without a line break holds what follows
            return false;
        ++position.line;
        lineStart = next;
        return true;
    });
    position.column = index - lineStart;
    return position;
}

} // namespace ScriptFile
