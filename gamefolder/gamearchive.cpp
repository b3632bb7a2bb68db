#include "gamefolder/gamearchive.h"

#include "gamefolder/mapfile.h"
#include "script/wording.h"

#include <QFile>

#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace GameArchive {

namespace {

// The notes of one archive that are worth reading.
constexpr qsizetype mostProblems = 20;

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;
using ZipEntry = std::unique_ptr<zip_file_t, EntryCloser>;

QString errorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// A map or arena file directly in `folder` ("MAPS/MP/") with `suffix`; its
// name without both, or nothing.
std::optional<QString> nameIn(const QString &path, QStringView folder, QStringView suffix)
{
    const QString key = rankKey(path);
    if (!key.startsWith(folder) || !key.endsWith(suffix) || key.size() <= folder.size() + suffix.size())
        return std::nullopt;
    const QString name = path.sliced(folder.size(), path.size() - folder.size() - suffix.size());
    if (name.contains(u'/') || name.contains(u'\\'))
        return std::nullopt;
    return name;
}

class Reader {
public:
    Reader(zip_t *archive, Detail detail)
        : m_archive(archive)
        , m_detail(detail)
    {
    }

    Contents read()
    {
        const zip_int64_t count = zip_get_num_entries(m_archive, 0);
        if (count == 0)
            m_contents.problems << u"the archive is empty"_s;
        for (zip_int64_t index = 0; index < count; ++index) {
            const char *entryName = zip_get_name(m_archive, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
            if (!entryName)
                continue;
            const QString path = QString::fromUtf8(entryName);
            if (const std::optional<QString> name = nameIn(path, u"MAPS/MP/", u".BSP"))
                readMap(zip_uint64_t(index), path, *name);
            else if (nameIn(path, u"MP/", u".ARENA"))
                readArena(zip_uint64_t(index), path);
        }
        if (m_contents.problems.size() > mostProblems) {
            const qsizetype more = m_contents.problems.size() - mostProblems;
            m_contents.problems.resize(mostProblems);
            m_contents.problems << u"and %1 more entries like these"_s.arg(more);
        }
        return std::move(m_contents);
    }

private:
    // The declared size of an entry that may be read, within `ceiling`.
    std::optional<qint64> sizeOf(zip_uint64_t index, const QString &path, qint64 ceiling)
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
            m_contents.problems << u"%1: %2"_s.arg(path, QString::fromUtf8(zip_strerror(m_archive)));
            return std::nullopt;
        }
        if (stat.size > zip_uint64_t(ceiling)) {
            m_contents.problems << u"%1 is %2, over the %3 read of it"_s.arg(path,
                Wording::size(qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62))),
                Wording::size(ceiling));
            return std::nullopt;
        }
        if (m_spent + qint64(stat.size) > readBudget) {
            m_contents.problems << u"%1 is left unread: the archive's entries inflate to over %2"_s.arg(
                path, Wording::size(readBudget));
            return std::nullopt;
        }
        return qint64(stat.size);
    }

    ZipEntry open(zip_uint64_t index, const QString &path)
    {
        ZipEntry entry(zip_fopen_index(m_archive, index, 0));
        if (!entry)
            m_contents.problems << u"%1: %2"_s.arg(path, QString::fromUtf8(zip_strerror(m_archive)));
        return entry;
    }

    // Never past `size`: a hostile entry inflates to more than it declares.
    static qint64 readAtMost(zip_file_t *entry, char *to, qint64 n, qint64 &left)
    {
        const zip_int64_t got = zip_fread(entry, to, zip_uint64_t(std::min(n, left)));
        if (got > 0)
            left -= got;
        return got;
    }

    void readMap(zip_uint64_t index, const QString &path, const QString &name)
    {
        Map map { path, name, std::nullopt };
        if (m_detail == Detail::Spawns) {
            if (const std::optional<qint64> size = sizeOf(index, path, largestMap)) {
                if (ZipEntry entry = open(index, path)) {
                    qint64 left = *size;
                    const MapFile::Spawns spawns = MapFile::readSpawns(
                        *size, [&](char *to, qint64 n) { return readAtMost(entry.get(), to, n, left); });
                    m_spent += spawns.bytesRead;
                    map.gametypes = spawns.gametypes;
                    if (!spawns.gametypes) {
                        m_contents.problems << u"%1: %2"_s.arg(path,
                            spawns.error == u"it cannot be read"_s ? QString::fromUtf8(zip_file_strerror(entry.get()))
                                                                   : spawns.error);
                    }
                }
            }
        }
        m_contents.maps << map;
    }

    void readArena(zip_uint64_t index, const QString &path)
    {
        const std::optional<qint64> size = sizeOf(index, path, ArenaFile::largestFile);
        if (!size)
            return;
        ZipEntry entry = open(index, path);
        if (!entry)
            return;
        QByteArray text(*size, Qt::Uninitialized);
        qint64 filled = 0;
        while (filled < *size) {
            const zip_int64_t got = zip_fread(entry.get(), text.data() + filled, zip_uint64_t(*size - filled));
            if (got <= 0) {
                m_contents.problems << u"%1: %2"_s.arg(
                    path, got < 0 ? QString::fromUtf8(zip_file_strerror(entry.get())) : u"it ends early"_s);
                return;
            }
            filled += got;
        }
        m_spent += filled;
        m_contents.arenas << Arena { path, ArenaFile::read(text) };
    }

    zip_t *const m_archive;
    const Detail m_detail;
    Contents m_contents;
    qint64 m_spent = 0;
};

Contents readOpened(zip_t *archive, int error, Detail detail)
{
    if (!archive)
        return { {}, {}, { errorText(error) } };
    ZipArchive owned(archive);
    return Reader(archive, detail).read();
}

} // namespace

Contents read(const QString &path, Detail detail)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    return readOpened(archive, error, detail);
}

Contents read(QByteArrayView bytes, Detail detail)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (source && !archive)
        zip_source_free(source);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    return readOpened(archive, code, detail);
}

QString rankKey(QStringView name)
{
    QString key = name.toString();
    for (QChar &c : key) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
        else if (c == u'\\')
            c = u'/';
    }
    return key;
}

} // namespace GameArchive
