#include "gamefolder/gamefolder.h"

#include "gamefolder/gamearchive.h"
#include "gamefolder/mapfile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QtConcurrentMap>

using namespace Qt::StringLiterals;

namespace GameFolder {

namespace {

constexpr QStringView stockNames[]
    = { u"bocage", u"brecourt", u"carentan", u"chateau", u"dawnville", u"depot", u"harbor", u"hurtgen", u"neuville",
          u"pavlov", u"powcamp", u"railyard", u"rocket", u"ship", u"stalingrad", u"tigertown" };

// More archives than any server has; the rest are left unread.
constexpr qsizetype mostArchives = 4096;
constexpr qsizetype mostLooseMaps = 4096;

// What was read of a file, for as long as it stays as it was.
template<typename Read> class Remembered {
public:
    template<typename Reader> Read get(const QFileInfo &file, Detail detail, Reader reader)
    {
        const QString path = file.absoluteFilePath();
        const qint64 size = file.size();
        const qint64 modified = file.lastModified().toMSecsSinceEpoch();
        {
            QMutexLocker lock(&m_lock);
            const auto found = m_read.constFind(path);
            if (found != m_read.cend() && found->size == size && found->modified == modified
                && (found->detail == Detail::Spawns || detail == Detail::Names))
                return found->read;
        }
        Read read = reader(path, detail);
        QMutexLocker lock(&m_lock);
        m_read.insert(path, { size, modified, detail, read });
        return read;
    }

private:
    struct Entry {
        qint64 size;
        qint64 modified;
        Detail detail;
        Read read;
    };
    QMutex m_lock;
    QHash<QString, Entry> m_read;
};

Remembered<GameArchive::Contents> &rememberedArchives()
{
    static Remembered<GameArchive::Contents> archives;
    return archives;
}

Remembered<MapFile::Spawns> &rememberedLooseMaps()
{
    static Remembered<MapFile::Spawns> maps;
    return maps;
}

MapFile::Spawns readLooseMap(const QString &path, Detail detail)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { std::nullopt, file.errorString() };
    if (detail == Detail::Names)
        return {};
    if (file.size() > GameArchive::largestMap) {
        return { std::nullopt, u"it is over the %1 MiB read of a map"_s.arg(GameArchive::largestMap >> 20) };
    }
    return MapFile::readSpawns(file.size(), [&file](char *to, qint64 n) { return file.read(to, n); });
}

// The entries of `folder` whose name is `name` whatever its letter case.
QFileInfoList entriesNamed(const QString &folder, QStringView name)
{
    QFileInfoList found = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    found.removeIf([name](const QFileInfo &entry) {
        return GameArchive::rankKey(entry.fileName()) != GameArchive::rankKey(name);
    });
    return found;
}

bool isArchiveName(const QString &fileName)
{
    return fileName.endsWith(u".pk3"_s, Qt::CaseInsensitive);
}

// A file that can be read, else a note on why not.
std::optional<QString> unreadable(const QFileInfo &entry)
{
    if (entry.isSymLink() && !entry.exists())
        return u"a link that leads nowhere, or round to itself"_s;
    if (!entry.isFile())
        return u"not a file"_s;
    return std::nullopt;
}

} // namespace

const QStringList &stockMaps()
{
    static const QStringList maps = [] {
        QStringList names;
        for (QStringView name : stockNames)
            names << u"mp_"_s + name.toString();
        return names;
    }();
    return maps;
}

bool isGameArchive(QStringView fileName)
{
    return fileName.startsWith(u"pak"_s, Qt::CaseInsensitive);
}

bool isGamesOwn(const Map &map)
{
    return (map.origin == Origin::Stock || (map.origin == Origin::Archive && isGameArchive(map.file)))
        && stockMaps().contains(map.name, Qt::CaseInsensitive);
}

bool isGameFolder(const QString &folder)
{
    // The window asks on every open and save: stop at the first archive rather than list a large folder.
    return QFileInfo(QDir(folder).filePath(u"maps/mp"_s)).isDir()
        || QDirIterator(folder, { u"*.pk3"_s }, QDir::Files | QDir::System | QDir::Hidden).hasNext();
}

Contents read(const QString &folder, Detail detail)
{
    Contents contents { folder, {}, {} };
    const QDir dir(folder);
    auto note = [&](const QString &file, const QString &reason) { contents.notes.append({ file, reason }); };
    if (!QFileInfo(folder).isDir() || !QFileInfo(folder).isReadable()) {
        note(folder, u"the folder cannot be read"_s);
        return contents;
    }

    QFileInfoList archives;
    for (const QFileInfo &entry :
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!isArchiveName(entry.fileName()))
            continue;
        if (const std::optional<QString> why = unreadable(entry))
            note(entry.fileName(), *why);
        else if (archives.size() == mostArchives)
            note(entry.fileName(), u"left unread: the folder holds over %1 archives"_s.arg(mostArchives));
        else
            archives << entry;
    }
    std::sort(archives.begin(), archives.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return std::pair(GameArchive::rankKey(a.fileName()), a.fileName())
            < std::pair(GameArchive::rankKey(b.fileName()), b.fileName());
    });
    const QList<GameArchive::Contents> read
        = QtConcurrent::blockingMapped(archives, [detail](const QFileInfo &archive) {
              return rememberedArchives().get(archive, detail == Detail::Spawns ? Detail::Spawns : Detail::Names,
                  [](const QString &path, Detail d) {
                      return GameArchive::read(
                          path, d == Detail::Spawns ? GameArchive::Detail::Spawns : GameArchive::Detail::Names);
                  });
          });

    // Later archives replace earlier ones' files at the same path.
    QHash<QString, Map> maps;
    QHash<QString, QList<ArenaFile::Entry>> arenas;
    QStringList arenaOrder;
    bool gameArchives = false;
    for (qsizetype k = 0; k < archives.size(); ++k) {
        const QString fileName = archives[k].fileName();
        gameArchives = gameArchives || isGameArchive(fileName);
        for (const QString &problem : read[k].problems)
            note(fileName, problem);
        for (const GameArchive::Map &map : read[k].maps)
            maps.insert(GameArchive::rankKey(map.name), { map.name, Origin::Archive, fileName, {}, map.gametypes });
        for (const GameArchive::Arena &arena : read[k].arenas) {
            const QString key = GameArchive::rankKey(arena.path);
            arenaOrder.removeOne(key);
            arenaOrder << key;
            arenas.insert(key, arena.entries);
        }
    }

    // The stock maps stand in for the game's archives, so a loose file does not replace one either.
    if (!gameArchives) {
        for (const QString &name : stockMaps()) {
            if (!maps.contains(GameArchive::rankKey(name)))
                maps.insert(GameArchive::rankKey(name), { name, Origin::Stock, {}, {}, std::nullopt });
        }
    }

    // Loose files rank below every archive; their case must match.
    qsizetype looseMaps = 0;
    for (const QFileInfo &mapsFolder : entriesNamed(folder, u"maps")) {
        for (const QFileInfo &mpFolder : entriesNamed(mapsFolder.filePath(), u"mp")) {
            const QFileInfoList files
                = QDir(mpFolder.filePath()).entryInfoList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
            for (const QFileInfo &entry : files) {
                const QString fileName = entry.fileName();
                const QString path = dir.relativeFilePath(entry.absoluteFilePath());
                if (!fileName.endsWith(u".bsp"_s, Qt::CaseInsensitive) || fileName.size() <= 4)
                    continue;
                const QString name = fileName.chopped(4);
                if (maps.contains(GameArchive::rankKey(name)))
                    continue; // an archive's
                if (++looseMaps > mostLooseMaps) {
                    note(path, u"left unread: the folder holds over %1 loose maps"_s.arg(mostLooseMaps));
                    break;
                }
                Map map { name, Origin::Loose, path, {}, std::nullopt };
                if (const std::optional<QString> why = unreadable(entry)) {
                    note(path, *why);
                } else {
                    const MapFile::Spawns spawns = rememberedLooseMaps().get(entry, detail, readLooseMap);
                    map.gametypes = spawns.gametypes;
                    if (!spawns.error.isEmpty())
                        note(path, spawns.error);
                }
                // Two loose files may differ in case only; each keeps its own entry.
                maps.insert(GameArchive::rankKey(name) + u'/' + name, map);
            }
        }
    }
    QHash<QString, QString> longNames;
    for (const QString &key : std::as_const(arenaOrder)) {
        for (const ArenaFile::Entry &entry : arenas.value(key))
            longNames.insert(GameArchive::rankKey(entry.map), entry.longName);
    }
    for (Map &map : maps) {
        map.longName = longNames.value(GameArchive::rankKey(map.name));
        contents.maps << map;
    }
    std::sort(contents.maps.begin(), contents.maps.end(), [](const Map &a, const Map &b) {
        return std::pair(GameArchive::rankKey(a.name), a.name) < std::pair(GameArchive::rankKey(b.name), b.name);
    });
    return contents;
}

namespace {

// The maps named `name` whatever its letter case: neighbours, as the maps are sorted by their rank keys.
std::pair<QList<Map>::const_iterator, QList<Map>::const_iterator> sameRank(const QList<Map> &maps, QStringView name)
{
    const QString key = GameArchive::rankKey(name);
    const auto first = std::lower_bound(maps.cbegin(), maps.cend(), key,
        [](const Map &map, const QString &key) { return GameArchive::rankKey(map.name) < key; });
    const auto last
        = std::find_if(first, maps.cend(), [&key](const Map &map) { return GameArchive::rankKey(map.name) != key; });
    return { first, last };
}

} // namespace

const Map *Contents::find(QStringView name) const
{
    const auto [first, last] = sameRank(maps, name);
    const auto found = std::find_if(first, last, [name](const Map &map) {
        return map.origin != Origin::Loose || map.file == u"maps/mp/"_s + name.toString() + u".bsp"_s;
    });
    return found == last ? nullptr : &*found;
}

const Map *Contents::caseOnly(QStringView name) const
{
    if (find(name))
        return nullptr;
    const auto [first, last] = sameRank(maps, name);
    const auto found = std::find_if(first, last, [](const Map &map) { return map.origin == Origin::Loose; });
    return found == last ? nullptr : &*found;
}

qsizetype Contents::mapCount() const
{
    return std::count_if(maps.begin(), maps.end(), [this](const Map &map) { return find(map.name) == &map; });
}

namespace {

// The maps the game finds in the folder itself, and the stock ones taken as there.
std::pair<qsizetype, qsizetype> countedMaps(const Contents &contents)
{
    const qsizetype stock = std::count_if(
        contents.maps.begin(), contents.maps.end(), [](const Map &map) { return map.origin == Origin::Stock; });
    return { contents.mapCount() - stock, stock };
}

QString mapsOwn(qsizetype own)
{
    return own == 1 ? u"1 map"_s : u"%1 maps"_s.arg(own);
}

} // namespace

QString Contents::mapsCounted() const
{
    const auto [own, stock] = countedMaps(*this);
    return stock > 0 ? mapsOwn(own) + u", and the game's %1 taken as there"_s.arg(stock) : mapsOwn(own);
}

QString Contents::mapsCountedBriefly() const
{
    const auto [own, stock] = countedMaps(*this);
    return stock > 0 ? mapsOwn(own) + u" + %1 stock"_s.arg(stock) : mapsOwn(own);
}

QString Contents::summary() const
{
    QString text = u"Read the game folder %1: %2"_s.arg(QDir::toNativeSeparators(folder), mapsCounted());
    if (std::any_of(maps.begin(), maps.end(), [](const Map &map) { return map.origin == Origin::Stock; }))
        text += u" since it holds none of the game's archives (pak*.pk3)"_s;
    // One archive gives a note per entry it could not read, so the files are counted, not the notes.
    QStringList files;
    for (const Note &note : notes) {
        if (!files.contains(note.file))
            files << note.file;
    }
    if (files.size() == 1)
        text += u"; 1 file in it could not be read whole"_s;
    else if (!files.isEmpty())
        text += u"; %1 files in it could not be read whole"_s.arg(files.size());
    return text + u'.';
}

} // namespace GameFolder
