#include "gamefolder/gamearchive.h"

#include "gamefolder/gscreader.h"
#include "gamefolder/libzip.h"
#include "gamefolder/searchorder.h"
#include "script/execsize.h"

#include <QFile>
#include <QScopeGuard>

#include <memory>

using namespace Qt::StringLiterals;

namespace GameArchive {

namespace {

// The troubles of one archive that are worth reading.
constexpr qsizetype mostTroubles = 20;

struct ZipCloser {
    const LibZip *zip;
    void operator()(zip_t *archive) const { zip->discard(archive); }
};
struct EntryCloser {
    const LibZip *zip;
    void operator()(zip_file_t *entry) const { zip->fclose(entry); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;
using ZipEntry = std::unique_ptr<zip_file_t, EntryCloser>;

QString errorText(const LibZip &zip, int code)
{
    zip_error_t error;
    zip.error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip.error_strerror(&error));
    zip.error_fini(&error);
    return text;
}

// A file directly in `folder` ("MAPS/MP/") with `suffix`; its name without both, or nothing.
std::optional<QString> nameIn(const QString &path, QStringView folder, QStringView suffix)
{
    const QString key = SearchOrder::nameKey(path);
    if (!key.startsWith(folder) || !key.endsWith(suffix) || key.size() <= folder.size() + suffix.size())
        return std::nullopt;
    const QString name = path.sliced(folder.size(), path.size() - folder.size() - suffix.size());
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(u':'))
        return std::nullopt;
    return name;
}

class Reader {
public:
    Reader(const LibZip &zip, zip_t *archive, Detail detail, ReadBudget &budget)
        : m_zip(zip)
        , m_archive(archive)
        , m_detail(detail)
        , m_budget(budget)
    {
    }

    Contents read()
    {
        const zip_int64_t count = m_zip.get_num_entries(m_archive, 0);
        if (count == 0)
            m_contents.troubles << Trouble { Trouble::Kind::EmptyArchive };
        for (zip_int64_t index = 0; index < count && !cut(); ++index) {
            const char *entryName = m_zip.get_name(m_archive, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
            if (!entryName)
                continue;
            const QString path = QString::fromUtf8(entryName);
            if (const std::optional<QString> name = nameIn(path, u"MAPS/MP/", u".BSP"))
                readMap(zip_uint64_t(index), path, *name);
            else if (const std::optional<QString> script = nameIn(path, u"MAPS/MP/", u".GSC"))
                readLevelScript(zip_uint64_t(index), path, *script);
            else if (nameIn(path, u"MP/", u".ARENA"))
                readArena(zip_uint64_t(index), path);
            if (path.endsWith(u".gsc"_s, Qt::CaseInsensitive))
                readGameScript(zip_uint64_t(index), path);
            else if (path.endsWith(u".cfg"_s, Qt::CaseInsensitive))
                readConfig(zip_uint64_t(index), path);
        }
        if (m_contents.troubles.size() > mostTroubles) {
            const qsizetype more = m_contents.troubles.size() - mostTroubles;
            m_contents.troubles.resize(mostTroubles);
            m_contents.troubles << Trouble { Trouble::Kind::MoreLikeThese, {}, more };
        }
        m_contents.whole = !cut() && !m_overKept;
        return std::move(m_contents);
    }

private:
    bool cut() const { return m_overBudget || m_budget.stopped(); }

    void note(const QString &path, Trouble trouble)
    {
        trouble.entry = path;
        m_contents.troubles << trouble;
    }

    // The declared size of an entry that may be read, within `ceiling`.
    std::optional<qint64> sizeOf(zip_uint64_t index, const QString &path, qint64 ceiling)
    {
        zip_stat_t stat;
        m_zip.stat_init(&stat);
        if (m_zip.stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
            note(path, { Trouble::Kind::ReadFailed, {}, 0, 0, QString::fromUtf8(m_zip.strerror(m_archive)) });
            return std::nullopt;
        }
        if (stat.size > zip_uint64_t(ceiling)) {
            note(path,
                { Trouble::Kind::OverCeiling, {}, qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62)),
                    ceiling });
            return std::nullopt;
        }
        return qint64(stat.size);
    }

    ZipEntry open(zip_uint64_t index, const QString &path)
    {
        ZipEntry entry(m_zip.fopen_index(m_archive, index, 0), EntryCloser { &m_zip });
        if (!entry)
            note(path, { Trouble::Kind::ReadFailed, {}, 0, 0, QString::fromUtf8(m_zip.strerror(m_archive)) });
        return entry;
    }

    // Never past `left`: a hostile entry inflates to more than it declares. Every byte is paid from the budget
    // first, and nothing is read once the reading is no longer wanted.
    qint64 readAtMost(zip_file_t *entry, char *to, qint64 n, qint64 &left)
    {
        n = std::min(n, left);
        if (m_budget.stopped())
            return -1;
        if (!m_budget.take(n)) {
            m_overBudget = true;
            return -1;
        }
        const zip_int64_t got = m_zip.fread(entry, to, zip_uint64_t(n));
        if (got > 0)
            left -= got;
        return got;
    }

    // The whole of a small entry, or nothing.
    std::optional<QByteArray> readWhole(zip_uint64_t index, const QString &path, qint64 ceiling)
    {
        const std::optional<qint64> size = sizeOf(index, path, ceiling);
        if (!size)
            return std::nullopt;
        ZipEntry entry = open(index, path);
        if (!entry)
            return std::nullopt;
        QByteArray text(*size, Qt::Uninitialized);
        qint64 left = *size;
        for (qint64 filled = 0; filled < *size;) {
            const qint64 got = readAtMost(entry.get(), text.data() + filled, *size - filled, left);
            if (got <= 0) {
                troubleReading(path, entry.get(), got);
                return std::nullopt;
            }
            filled += got;
        }
        return text;
    }

    void troubleReading(const QString &path, zip_file_t *entry, qint64 got)
    {
        if (m_budget.stopped())
            return;
        if (m_overBudget)
            note(path, { Trouble::Kind::OverBudget, {}, 0, m_budget.total() });
        else if (got < 0)
            note(path, { Trouble::Kind::ReadFailed, {}, 0, 0, QString::fromUtf8(m_zip.file_strerror(entry)) });
        else
            note(path, { Trouble::Kind::EndsEarly });
    }

    void readMap(zip_uint64_t index, const QString &path, const QString &name)
    {
        Map map { path, name, std::nullopt };
        if (m_detail == Detail::Spawns) {
            if (const std::optional<qint64> size = sizeOf(index, path, largestMap)) {
                if (ZipEntry entry = open(index, path)) {
                    qint64 left = *size;
                    const MapFile::Spawns spawns = MapFile::readSpawns(
                        *size, [&](char *to, qint64 n) { return readAtMost(entry.get(), to, n, left); },
                        [&] { return QString::fromUtf8(m_zip.file_strerror(entry.get())); });
                    map.holds = spawns.holds;
                    if (m_overBudget)
                        troubleReading(path, entry.get(), -1);
                    else if (spawns.trouble && !m_budget.stopped())
                        note(path, *spawns.trouble);
                }
            }
        }
        m_contents.maps << map;
    }

    void readLevelScript(zip_uint64_t index, const QString &path, const QString &name)
    {
        if (m_detail == Detail::Names)
            return;
        if (const std::optional<QByteArray> text = readWhole(index, path, MapFile::largestLevelScript))
            m_contents.levelScripts << LevelScript { path, name, MapFile::namesRadios(*text) };
    }

    // Whether `bytes` more of a script's text or names may be kept; notes the first that may not.
    bool keep(const QString &path, qint64 bytes)
    {
        if (bytes <= m_keptLeft) {
            m_keptLeft -= bytes;
            return true;
        }
        if (!std::exchange(m_overKept, true))
            note(path, { Trouble::Kind::OverKept, {}, 0, keptBudget });
        return false;
    }

    // Whether another script of a kind that already counts `read` may be read; notes the first that may not.
    bool roomFor(const QString &path, qsizetype read)
    {
        if (read == mostScripts)
            note(path, { Trouble::Kind::TooManyScripts, {}, 0, mostScripts });
        return read < mostScripts;
    }

    void readConfig(zip_uint64_t index, const QString &path)
    {
        if (!roomFor(path, m_contents.configs.size()))
            return;
        zip_stat_t stat;
        m_zip.stat_init(&stat);
        if (m_zip.stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            return note(path, { Trouble::Kind::ReadFailed, {}, 0, 0, QString::fromUtf8(m_zip.strerror(m_archive)) });
        // exec runs none of a larger one: its size is all there is to say.
        const qint64 bytes = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62));
        Config config { path, bytes, std::nullopt };
        if (bytes <= ExecSize::largestBytes) {
            config.text = readWhole(index, path, ExecSize::largestBytes);
            if (!config.text)
                return;
            if (!keep(path, config.text->size())) {
                config.text.reset();
                config.kept = false;
            }
        }
        m_contents.configs << config;
    }

    // Read in pieces as it inflates: a script costs no more memory than its names.
    void readGameScript(zip_uint64_t index, const QString &path)
    {
        // Unless its names are all read, nothing can be said of what the server reads.
        bool whole = false;
        const auto unread = qScopeGuard([&] { m_contents.gameScriptsWhole = m_contents.gameScriptsWhole && whole; });
        if (m_overKept || !roomFor(path, m_contents.gameScripts.size()))
            return; // past what may be kept, what the scripts read is not known: reading more tells nothing
        const std::optional<qint64> size = sizeOf(index, path, largestGameScript);
        if (!size)
            return;
        ZipEntry entry = open(index, path);
        if (!entry)
            return;
        GscReader reader;
        m_piece.resize(64 << 10);
        qint64 left = *size;
        while (left > 0) {
            const qint64 got = readAtMost(entry.get(), m_piece.data(), m_piece.size(), left);
            if (got <= 0)
                return troubleReading(path, entry.get(), got);
            reader.read(QByteArrayView(m_piece).first(got));
        }
        GscScript script = reader.finish();
        if (script.cut && !std::exchange(m_tooManyNames, true))
            note(path, { Trouble::Kind::TooManyNames, {}, 0, GscLexer::mostStrings });
        if (!keep(path, script.cost()))
            return;
        whole = !script.cut;
        m_contents.gameScripts << GameScript { path, std::move(script) };
    }

    void readArena(zip_uint64_t index, const QString &path)
    {
        if (const std::optional<QByteArray> text = readWhole(index, path, ArenaFile::largestFile))
            m_contents.arenas << Arena { path, ArenaFile::read(*text) };
    }

    const LibZip &m_zip;
    zip_t *const m_archive;
    const Detail m_detail;
    ReadBudget &m_budget;
    Contents m_contents;
    QByteArray m_piece; // of a game script, as it inflates
    bool m_overBudget = false;
    qint64 m_keptLeft = keptBudget;
    bool m_overKept = false;
    bool m_tooManyNames = false; // noted once an archive
};

Contents readOpened(const LibZip &zip, zip_t *archive, int error, Detail detail, ReadBudget &budget)
{
    if (!archive) {
        Contents contents;
        contents.troubles << Trouble { Trouble::Kind::NotAnArchive, {}, 0, 0, errorText(zip, error) };
        return contents;
    }
    ZipArchive owned(archive, ZipCloser { &zip });
    return Reader(zip, archive, detail, budget).read();
}

// libzip, or a trouble saying why it cannot be loaded.
const LibZip *loaded(Contents &contents)
{
    QString why;
    const LibZip *zip = LibZip::get(&why);
    if (!zip)
        contents.troubles << Trouble { Trouble::Kind::NoLibZip, {}, 0, 0, why };
    return zip;
}

} // namespace

Contents read(const QString &path, Detail detail, ReadBudget &budget)
{
    Contents contents;
    if (budget.stopped()) {
        contents.whole = false;
        return contents;
    }
    const LibZip *zip = loaded(contents);
    if (!zip)
        return contents;
    int error = 0;
    zip_t *archive = zip->open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    return readOpened(*zip, archive, error, detail, budget);
}

Contents read(QByteArrayView bytes, Detail detail)
{
    Contents contents;
    const LibZip *zip = loaded(contents);
    if (!zip)
        return contents;
    zip_error_t error;
    zip->error_init(&error);
    zip_source_t *source = zip->source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t *archive = source ? zip->open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (source && !archive)
        zip->source_free(source);
    const int code = zip->error_code_zip(&error);
    zip->error_fini(&error);
    ReadBudget budget;
    return readOpened(*zip, archive, code, detail, budget);
}

} // namespace GameArchive
