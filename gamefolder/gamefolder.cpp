#include "gamefolder/gamefolder.h"

#include "gamefolder/gscreader.h"
#include "gamefolder/serverscripts.h"
#include "script/execsize.h"
#include "script/wording.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrentMap>

#include <span>
#include <variant>

using namespace Qt::StringLiterals;

namespace GameFolder {

namespace {

// The game's own maps and what its own arena file offers on them: every
// gametype, but sd on two.
struct StockMap {
    QStringView name;
    bool sd;
};
const StockMap stockTable[] = {
    { u"mp_bocage", true },
    { u"mp_brecourt", true },
    { u"mp_carentan", true },
    { u"mp_chateau", false },
    { u"mp_dawnville", true },
    { u"mp_depot", true },
    { u"mp_harbor", true },
    { u"mp_hurtgen", true },
    { u"mp_neuville", true },
    { u"mp_pavlov", true },
    { u"mp_powcamp", true },
    { u"mp_railyard", true },
    { u"mp_rocket", true },
    { u"mp_ship", false },
    { u"mp_stalingrad", true },
    { u"mp_tigertown", true },
};

// What a stock map holds, as the gametypes it runs need.
MapFile::Holds stockHolds(bool sd)
{
    MapFile::Holds holds;
    for (const Gametypes::Gametype &gametype : Gametypes::all) {
        if (!sd && &gametype == &Gametypes::all[Gametypes::SearchAndDestroy])
            continue;
        for (const Gametypes::Need &need : gametype.needs) {
            if (need.kind == Gametypes::Need::Kind::Spawns && !holds.spawns.contains(need.name))
                holds.spawns << need.name;
        }
    }
    holds.radiosScripted = true; // the stock level scripts place them
    return holds;
}

// More archives than any server has; the rest are left unread.
constexpr qsizetype mostArchives = 4096;
constexpr qsizetype mostLooseMaps = 4096;

// What was read of a file, for as long as it stays as it was.
template<typename Read> class Remembered {
public:
    // Reads with `reader` unless remembered; remembers only what `whole` accepts.
    template<typename Reader, typename Whole> Read get(const QFileInfo &file, Detail detail, Reader reader, Whole whole)
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
        if (whole(read)) {
            QMutexLocker lock(&m_lock);
            m_read.insert(path, { size, modified, detail, read });
        }
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

Trouble readFailed(const QFile &file)
{
    return { Trouble::Kind::ReadFailed, {}, 0, 0, file.errorString() };
}

MapFile::Spawns readLooseMap(const QString &path, Detail detail)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { std::nullopt, readFailed(file) };
    if (detail == Detail::Names)
        return {};
    if (file.size() > GameArchive::largestMap)
        return { std::nullopt, Trouble { Trouble::Kind::OverCeiling, {}, file.size(), GameArchive::largestMap } };
    return MapFile::readSpawns(
        file.size(), [&file](char *to, qint64 n) { return file.read(to, n); }, [&file] { return file.errorString(); },
        [&file](qint64 to) { return file.seek(to); });
}

// Whether the loose level script at `path` names the radios; a trouble when it cannot be read.
std::variant<bool, Trouble> readLooseLevelScript(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readFailed(file);
    if (file.size() > MapFile::largestLevelScript)
        return Trouble { Trouble::Kind::OverCeiling, {}, file.size(), MapFile::largestLevelScript };
    const QByteArray text = file.read(MapFile::largestLevelScript);
    if (file.error() != QFileDevice::NoError)
        return readFailed(file);
    return MapFile::namesRadios(text);
}

// The entries of `folder` whose name is `name` whatever its letter case.
QFileInfoList entriesNamed(const QString &folder, QStringView name)
{
    QFileInfoList found = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    found.removeIf([name](const QFileInfo &entry) {
        return SearchOrder::nameKey(entry.fileName()) != SearchOrder::nameKey(name);
    });
    return found;
}

// A file that can be read, else why not.
std::optional<Trouble> unreadable(const QFileInfo &entry)
{
    if (entry.isSymLink() && !entry.exists())
        return Trouble { Trouble::Kind::BrokenLink };
    if (!entry.isFile())
        return Trouble { Trouble::Kind::NotAFile };
    return std::nullopt;
}

// A loose script of a folder as read: a .cfg or a .gsc, or why it could not be read.
struct LooseScript {
    std::optional<GameArchive::Config> config;
    std::optional<GameArchive::GameScript> gameScript;
    std::optional<Trouble> trouble;
};

Remembered<LooseScript> &rememberedLooseScripts()
{
    static Remembered<LooseScript> scripts;
    return scripts;
}

// A loose script read under the folder's budget, as an archive's are: none when the reading stops part-way.
LooseScript readLooseScript(const QString &path, GameArchive::ReadBudget &budget)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { std::nullopt, std::nullopt, readFailed(file) };
    if (path.endsWith(u".cfg"_s, Qt::CaseInsensitive)) {
        // exec runs none of a larger one: its size is all there is to say.
        GameArchive::Config config { {}, file.size(), std::nullopt };
        if (config.bytes <= ExecSize::largestBytes) {
            config.text = file.read(ExecSize::largestBytes + 1);
            if (file.error() != QFileDevice::NoError)
                return { std::nullopt, std::nullopt, readFailed(file) };
            config.bytes = config.text->size();
        }
        return { config, std::nullopt, std::nullopt };
    }
    if (file.size() > GameArchive::largestGameScript)
        return { std::nullopt, std::nullopt,
            Trouble { Trouble::Kind::OverCeiling, {}, file.size(), GameArchive::largestGameScript } };
    GscReader reader;
    QByteArray piece(64 << 10, Qt::Uninitialized);
    for (qint64 left = file.size(); left > 0;) {
        const qint64 wanted = std::min<qint64>(piece.size(), left);
        if (budget.stopped())
            return {};
        if (!budget.take(wanted))
            return { std::nullopt, std::nullopt, Trouble { Trouble::Kind::OverBudget, {}, 0, budget.total() } };
        const qint64 got = file.read(piece.data(), wanted);
        if (got < 0)
            return { std::nullopt, std::nullopt, readFailed(file) };
        if (got == 0)
            break;
        reader.read(QByteArrayView(piece).first(got));
        left -= got;
    }
    LooseScript script { std::nullopt, GameArchive::GameScript { {}, reader.finish() }, std::nullopt };
    if (script.gameScript->script.cut)
        script.trouble = Trouble { Trouble::Kind::TooManyNames, {}, 0, GscLexer::mostStrings };
    return script;
}

// What a file read is made of, for telling that a folder is read again unchanged.
void addStamp(QCryptographicHash &stamps, const QFileInfo &file)
{
    stamps.addData(QFile::encodeName(file.absoluteFilePath()));
    const qint64 numbers[] = { file.size(), file.lastModified().toMSecsSinceEpoch() };
    stamps.addData(QByteArrayView(reinterpret_cast<const char *>(numbers), sizeof numbers));
}

// The server's scripts made last from the same files: a folder read again unchanged makes none anew.
std::shared_ptr<const ServerScripts> rememberedScripts(
    const QByteArray &stamp, const std::function<std::shared_ptr<const ServerScripts>()> &make)
{
    static QMutex lock;
    static QList<std::pair<QByteArray, std::shared_ptr<const ServerScripts>>> made;
    {
        QMutexLocker locked(&lock);
        for (const auto &[madeStamp, scripts] : std::as_const(made)) {
            if (madeStamp == stamp)
                return scripts;
        }
    }
    std::shared_ptr<const ServerScripts> scripts = make();
    QMutexLocker locked(&lock);
    // The window's folder, a chosen one and one --check reads: a few are enough.
    if (made.size() == 4)
        made.removeFirst();
    made.append({ stamp, scripts });
    return scripts;
}

// The loose scripts anywhere under `folder`: the .cfg files exec may run, the names the .gsc files hold.
ServerScripts::Place looseScripts(const QString &folder, const Stopped &stopped,
    const std::function<void(const QString &file, const Trouble &trouble)> &note, QCryptographicHash &stamps,
    GameArchive::ReadBudget &budget)
{
    bool overKept = false;
    qint64 keptLeft = GameArchive::keptBudget;
    auto keep = [&](const QString &file, qint64 bytes) {
        if (bytes <= keptLeft) {
            keptLeft -= bytes;
            return true;
        }
        if (!std::exchange(overKept, true))
            note(file, { Trouble::Kind::OverKept, {}, 0, GameArchive::keptBudget });
        return false;
    };
    ServerScripts::Place place { folder };
    const QDir dir(folder);
    // Links to folders are not followed: they may lead round to where they start.
    QDirIterator it(
        folder, { u"*.cfg"_s, u"*.gsc"_s }, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext() && !(stopped && stopped())) {
        const QString path = it.next();
        const QString relative = dir.relativeFilePath(path);
        const bool isConfig = path.endsWith(u".cfg"_s, Qt::CaseInsensitive);
        const qsizetype read = isConfig ? place.configs.size() : place.gameScripts.size();
        if (read == GameArchive::mostScripts) {
            note(relative, { Trouble::Kind::TooManyScripts, {}, 0, GameArchive::mostScripts });
            place.gameScriptsWhole = false;
            break;
        }
        if (const std::optional<Trouble> why = unreadable(it.fileInfo())) {
            note(relative, *why);
            continue;
        }
        addStamp(stamps, it.fileInfo());
        if (overKept && !isConfig) {
            // Past what may be kept, what the game scripts read is not known: reading more tells nothing.
            place.gameScriptsWhole = false;
            continue;
        }
        LooseScript script = rememberedLooseScripts().get(
            it.fileInfo(), Detail::Names,
            [&budget](const QString &path, Detail) { return readLooseScript(path, budget); },
            [&budget](const LooseScript &script) {
                return !budget.stopped()
                    && (!script.trouble
                        || (script.trouble->kind != Trouble::Kind::ReadFailed
                            && script.trouble->kind != Trouble::Kind::OverBudget));
            });
        if (script.trouble) {
            note(relative, *script.trouble);
            place.gameScriptsWhole = place.gameScriptsWhole && isConfig;
        }
        if (script.config) {
            script.config->path = relative;
            if (script.config->text && !keep(relative, script.config->text->size())) {
                script.config->text.reset();
                script.config->kept = false;
            }
            place.configs << *script.config;
        } else if (script.gameScript) {
            script.gameScript->path = relative;
            if (keep(relative, script.gameScript->script.cost()))
                place.gameScripts << *script.gameScript;
            else
                place.gameScriptsWhole = false;
        }
    }
    return place;
}

// Holds the scripts of `places`, in the order the game searches them, to what one folder keeps: those past it keep
// neither their text nor their names, and each place that loses some says so once.
void keepInSearchOrder(QList<ServerScripts::Place> &places, QList<Note> &notes)
{
    qint64 left = GameArchive::keptBudget;
    for (ServerScripts::Place &place : places) {
        const QString file = place.archive;
        bool said = std::any_of(notes.cbegin(), notes.cend(), [&](const Note &note) {
            return note.trouble.kind == Trouble::Kind::OverKept && note.folder == place.folder
                && (file.isEmpty() || note.file == file);
        });
        auto keeps = [&](const QString &path, qint64 bytes) {
            if (bytes <= left) {
                left -= bytes;
                return true;
            }
            if (!std::exchange(said, true)) {
                notes.append({ file.isEmpty() ? path : file,
                    { Trouble::Kind::OverKept, file.isEmpty() ? QString() : path, 0, GameArchive::keptBudget },
                    place.folder });
            }
            return false;
        };
        for (GameArchive::Config &config : place.configs) {
            if (config.text && !keeps(config.path, config.text->size())) {
                config.text.reset();
                config.kept = false;
            }
        }
        const qsizetype gameScripts = place.gameScripts.size();
        place.gameScripts.removeIf(
            [&](const GameArchive::GameScript &script) { return !keeps(script.path, script.script.cost()); });
        place.gameScriptsWhole = place.gameScriptsWhole && place.gameScripts.size() == gameScripts;
    }
}

// The loose files directly under `folder`'s maps/mp with `suffix` (".bsp"), any letter case in the folders' names.
QFileInfoList looseFiles(const QString &folder, QStringView suffix)
{
    QFileInfoList files;
    for (const QFileInfo &mapsFolder : entriesNamed(folder, u"maps")) {
        for (const QFileInfo &mpFolder : entriesNamed(mapsFolder.filePath(), u"mp")) {
            for (const QFileInfo &entry :
                QDir(mpFolder.filePath()).entryInfoList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name)) {
                if (entry.fileName().endsWith(suffix, Qt::CaseInsensitive) && entry.fileName().size() > suffix.size())
                    files << entry;
            }
        }
    }
    return files;
}

bool holdsMainBeside(const QString &folder)
{
    const QFileInfo info(folder);
    return info.fileName() != u"main"_s && QFileInfo(QDir(info.absolutePath()).filePath(u"main"_s)).isDir();
}

// One place the game searches: an archive, the stock maps standing in for the game's archives, or a folder's
// loose files.
struct Source {
    QString folder;
    std::optional<QFileInfo> archive = {};
    bool stock = false;
};

// A level script that may be the one of a map of its name.
struct LevelScriptAt {
    QString name;
    bool loose;
    QString path; // the loose file's, absolute
    std::optional<bool> namesRadios; // a loose one's is read when a map asks
};

} // namespace

const QStringList &stockMaps()
{
    static const QStringList maps = [] {
        QStringList names;
        for (const auto &map : stockTable)
            names << map.name.toString();
        return names;
    }();
    return maps;
}

bool isGamesOwn(const Map &map)
{
    return (map.origin == Origin::Stock || (map.origin == Origin::Archive && SearchOrder::isGameArchive(map.file)))
        && stockMaps().contains(map.name, Qt::CaseInsensitive);
}

std::optional<Folders> foldersFor(const QString &script, const QString &chosen, const QString &fsGame)
{
    QString folder = chosen;
    if (folder.isEmpty()) {
        const QString own = QFileInfo(script).absolutePath();
        if (script.isEmpty() || !(isGameFolder(own) || holdsMainBeside(own)))
            return std::nullopt;
        folder = own;
    }
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // A server's install folder: the game reads the main folder in it.
    if (const QString main = QDir(folder).filePath(u"main"_s);
        !chosen.isEmpty() && !isGameFolder(folder) && QFileInfo(main).isDir())
        folder = main;
    Folders folders { folder };
    if (holdsMainBeside(folder))
        folders = { QDir(QFileInfo(folder).absolutePath()).filePath(u"main"_s), folder };
    if (!fsGame.isEmpty())
        folders.mod = QDir(QFileInfo(folders.game).absolutePath()).filePath(fsGame);
    if (folders.mod == folders.game)
        folders.mod.clear();
    return folders;
}

bool isGameFolder(const QString &folder)
{
    // The window asks on every open and save: stop at the first archive rather than list a large folder.
    return QFileInfo(QDir(folder).filePath(u"maps/mp"_s)).isDir()
        || QDirIterator(folder, { u"*.pk3"_s }, QDir::Files | QDir::System | QDir::Hidden).hasNext();
}

QList<Gametypes::Need> lacking(const Map &map, const Gametypes::Gametype &gametype)
{
    return map.holds ? MapFile::lacking(*map.holds, gametype) : QList<Gametypes::Need>();
}

bool notOfferedByArena(const Map &map, const Gametypes::Gametype &gametype)
{
    if (map.origin != Origin::Stock || &gametype != &Gametypes::all[Gametypes::SearchAndDestroy])
        return false;
    return std::any_of(std::begin(stockTable), std::end(stockTable),
        [&map](const StockMap &stock) { return !stock.sd && stock.name.compare(map.name, Qt::CaseInsensitive) == 0; });
}

Contents read(const QString &folder, Detail detail)
{
    return read(Folders { folder }, detail);
}

Contents read(const Folders &folders, Detail detail, const Stopped &stopped, QThreadPool *pool)
{
    Contents contents { folders.game, {}, {}, folders.mod };
    contents.gameFolder = isGameFolder(folders.game);
    contents.holdsMain = !contents.gameFolder && QFileInfo(QDir(folders.game).filePath(u"main"_s)).isDir();

    QList<Source> sources; // in the order the game searches them
    QFileInfoList archives;
    bool gameArchives = false;
    const QStringList searched
        = folders.mod.isEmpty() ? QStringList { folders.game } : QStringList { folders.mod, folders.game };
    for (const QString &folder : searched) {
        auto note = [&](const QString &file, const Trouble &trouble) {
            contents.notes.append({ file, trouble, folder });
        };
        const QFileInfo info(folder);
        if (!info.exists()) {
            note(folder, { Trouble::Kind::FolderMissing });
            continue;
        }
        if (!info.isDir() || !info.isReadable()) {
            note(folder, { Trouble::Kind::FolderUnreadable });
            continue;
        }
        QFileInfoList found;
        for (const QFileInfo &entry :
            QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (!SearchOrder::isSearched(entry.fileName(), folders.language))
                continue;
            if (const std::optional<Trouble> why = unreadable(entry))
                note(entry.fileName(), *why);
            else if (archives.size() + found.size() == mostArchives)
                note(entry.fileName(), { Trouble::Kind::TooManyArchives, {}, 0, mostArchives });
            else
                found << entry;
        }
        std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
            return SearchOrder::searchedBefore(a.fileName(), b.fileName());
        });
        for (const QFileInfo &archive : std::as_const(found)) {
            sources.append({ folder, archive });
            gameArchives = gameArchives || SearchOrder::isGameArchive(archive.fileName());
        }
        archives += found;
        if (folder == folders.game)
            sources.append({ folder, std::nullopt, true });
        sources.append({ folder });
    }

    GameArchive::ReadBudget budget(GameArchive::folderBudget, stopped);
    const QList<GameArchive::Contents> read = QtConcurrent::blockingMapped(
        pool ? pool : QThreadPool::globalInstance(), archives, [detail, &budget](const QFileInfo &archive) {
            return rememberedArchives().get(
                archive, detail,
                [&budget](const QString &path, Detail d) { return GameArchive::read(path, d, budget); },
                [](const GameArchive::Contents &contents) { return contents.whole; });
        });

    QList<ServerScripts::Place> scriptPlaces; // in the order the game searches them
    QCryptographicHash stamps(QCryptographicHash::Sha1); // of every file they are read from
    for (const QFileInfo &archive : std::as_const(archives))
        addStamp(stamps, archive);
    QList<Map> maps; // in the order the game searches them
    QSet<QString> archived; // the names an archive or the stock maps answer, as keys: nothing after them does
    QSet<QString> loosePaths; // a loose file's path in its folder: one in a later folder is never opened
    QList<LevelScriptAt> levelScripts;
    QHash<QString, QList<ArenaFile::Entry>> arenas;
    QStringList arenaOrder;
    qsizetype looseMaps = 0;
    auto addArchived = [&](Map map) {
        const QString key = SearchOrder::nameKey(map.name);
        if (!archived.contains(key)) {
            archived.insert(key);
            maps << map;
        }
    };
    qsizetype next = 0;
    for (const Source &source : std::as_const(sources)) {
        if (stopped && stopped())
            return contents;
        auto note = [&](const QString &file, const Trouble &trouble) {
            contents.notes.append({ file, trouble, source.folder });
        };
        if (source.archive) {
            const GameArchive::Contents &archive = read[next++];
            const QString fileName = source.archive->fileName();
            for (const Trouble &trouble : archive.troubles) {
                // Said once for the folders: every archive is left unread alike.
                if (trouble.kind == Trouble::Kind::NoLibZip && std::exchange(contents.archivesUnread, true))
                    continue;
                note(fileName, trouble);
            }
            for (const GameArchive::Map &map : archive.maps)
                addArchived({ map.name, Origin::Archive, fileName, {}, {}, map.holds, source.folder });
            for (const GameArchive::Arena &arena : archive.arenas) {
                const QString key = SearchOrder::nameKey(arena.path);
                if (!arenas.contains(key)) {
                    arenas.insert(key, arena.entries);
                    arenaOrder << key;
                }
            }
            for (const GameArchive::LevelScript &script : archive.levelScripts)
                levelScripts.append({ script.name, false, {}, script.namesRadios });
            scriptPlaces.append({ source.folder, fileName, SearchOrder::isGameArchive(fileName), archive.configs,
                archive.gameScripts, archive.gameScriptsWhole && archive.whole });
        } else if (source.stock) {
            // The stock maps stand in for the game's archives, so a loose file does not replace one either.
            for (const auto &stock : gameArchives ? std::span<const StockMap>() : std::span(stockTable))
                addArchived({ stock.name.toString(), Origin::Stock, {}, {}, {}, stockHolds(stock.sd) });
        } else {
            const QDir dir(source.folder);
            for (const QFileInfo &entry : looseFiles(source.folder, u".bsp")) {
                const QString name = entry.fileName().chopped(4);
                const QString path = dir.relativeFilePath(entry.absoluteFilePath());
                if (archived.contains(SearchOrder::nameKey(name)) || loosePaths.contains(path))
                    continue; // an earlier place answers for it
                if (++looseMaps > mostLooseMaps) {
                    note(path, { Trouble::Kind::TooManyLooseMaps, {}, 0, mostLooseMaps });
                    break;
                }
                loosePaths.insert(path);
                Map map { name, Origin::Loose, path, {}, {}, {}, source.folder };
                if (const std::optional<Trouble> why = unreadable(entry)) {
                    note(path, *why);
                } else {
                    const MapFile::Spawns spawns = rememberedLooseMaps().get(entry, detail, readLooseMap,
                        [&stopped](const MapFile::Spawns &) { return !(stopped && stopped()); });
                    map.holds = spawns.holds;
                    if (spawns.trouble)
                        note(path, *spawns.trouble);
                }
                maps << map;
            }
            scriptPlaces.append(looseScripts(source.folder, stopped, note, stamps, budget));
            if (detail == Detail::Spawns) {
                for (const QFileInfo &entry : looseFiles(source.folder, u".gsc"))
                    levelScripts.append({ entry.fileName().chopped(4), true, entry.absoluteFilePath(), {} });
            }
        }
    }

    keepInSearchOrder(scriptPlaces, contents.notes);

    // A map's level script is found as the map is: the first in the search that answers its name.
    for (Map &map : maps) {
        if (!map.holds)
            continue;
        if (MapFile::wantsLevelScript(*map.holds)) {
            const QString key = SearchOrder::nameKey(map.name);
            for (LevelScriptAt &script : levelScripts) {
                if (script.loose ? script.name != map.name : SearchOrder::nameKey(script.name) != key)
                    continue;
                if (!script.namesRadios) {
                    const std::variant<bool, Trouble> read = readLooseLevelScript(script.path);
                    if (const Trouble *trouble = std::get_if<Trouble>(&read)) {
                        contents.notes.append({ QDir(map.folder).relativeFilePath(script.path), *trouble, map.folder });
                        script.namesRadios = false;
                    } else {
                        script.namesRadios = std::get<bool>(read);
                    }
                }
                map.holds->radiosScripted = *script.namesRadios;
                break;
            }
        }
        map.gametypes = MapFile::gametypesRun(*map.holds);
    }

    // The first arena file in the search that names a map gives its long name.
    QHash<QString, QString> longNames;
    for (const QString &key : std::as_const(arenaOrder)) {
        for (const ArenaFile::Entry &entry : arenas.value(key)) {
            if (const QString map = SearchOrder::nameKey(entry.map); !longNames.contains(map))
                longNames.insert(map, entry.longName);
        }
    }
    for (Map &map : maps)
        map.longName = longNames.value(SearchOrder::nameKey(map.name));
    std::stable_sort(maps.begin(), maps.end(),
        [](const Map &a, const Map &b) { return SearchOrder::nameKey(a.name) < SearchOrder::nameKey(b.name); });
    contents.maps = std::move(maps);
    QStringList mapNames;
    for (const Map &map : std::as_const(contents.maps)) {
        mapNames << map.name;
        stamps.addData(map.name.toUtf8() + '\n');
    }
    for (const ServerScripts::Place &place : std::as_const(scriptPlaces))
        stamps.addData(place.gameScriptsWhole ? "whole\n" : "cut\n");
    if (!contents.archivesUnread) {
        contents.scripts = rememberedScripts(stamps.result(),
            [&] { return std::make_shared<const ServerScripts>(scriptPlaces, mapNames, Gametypes::words()); });
        if (const QStringList &unfollowed = contents.scripts->unfollowed(); !unfollowed.isEmpty())
            contents.notes.append({ unfollowed.constFirst(), { Trouble::Kind::NotFollowed, {}, unfollowed.size() } });
        if (contents.scripts->overBuilt())
            contents.notes.append({ contents.folder, { Trouble::Kind::OverBuilt, {}, 0, GameArchive::keptBudget } });
    }
    return contents;
}

namespace {

// The maps named `name` whatever its letter case: neighbours, as the maps are sorted by their keys, in the order
// the game searches them.
std::pair<QList<Map>::const_iterator, QList<Map>::const_iterator> sameName(const QList<Map> &maps, QStringView name)
{
    const QString key = SearchOrder::nameKey(name);
    const auto first = std::lower_bound(maps.cbegin(), maps.cend(), key,
        [](const Map &map, const QString &key) { return SearchOrder::nameKey(map.name) < key; });
    const auto last
        = std::find_if(first, maps.cend(), [&key](const Map &map) { return SearchOrder::nameKey(map.name) != key; });
    return { first, last };
}

} // namespace

const Map *Contents::find(QStringView name) const
{
    const auto [first, last] = sameName(maps, name);
    // The server opens a loose map by the exact path maps/mp/NAME.bsp.
    const auto found = std::find_if(first, last, [name](const Map &map) {
        return map.origin != Origin::Loose || map.file == u"maps/mp/"_s + name.toString() + u".bsp"_s;
    });
    return found == last ? nullptr : &*found;
}

const Map *Contents::caseOnly(QStringView name) const
{
    if (find(name))
        return nullptr;
    const auto [first, last] = sameName(maps, name);
    const auto found = std::find_if(first, last, [](const Map &map) { return map.origin == Origin::Loose; });
    return found == last ? nullptr : &*found;
}

qsizetype Contents::mapCount() const
{
    return std::count_if(maps.begin(), maps.end(), [this](const Map &map) { return finds(map); });
}

namespace {

// The maps the game finds in the folders themselves, and the stock ones taken as there.
std::pair<qsizetype, qsizetype> countedMaps(const Contents &contents)
{
    const qsizetype stock = std::count_if(
        contents.maps.begin(), contents.maps.end(), [](const Map &map) { return map.origin == Origin::Stock; });
    return { contents.mapCount() - stock, stock };
}

QString mapsOwn(qsizetype own)
{
    return Wording::counted(own, u"map", u"maps");
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

QString Contents::folderNames() const
{
    const QString game = QDir(folder).dirName();
    return modFolder.isEmpty() ? game : QDir(modFolder).dirName() + u" + "_s + game;
}

QString Contents::summary() const
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (!gameFolder) {
        QString text = u"%1 is not a game folder: it holds no .pk3 archive and no maps/mp folder, so the maps are "
                       "not checked."_s.arg(shown);
        if (holdsMain)
            text += u" It holds main/, where a server keeps its game folder."_s;
        return text;
    }
    QString text = modFolder.isEmpty() ? u"Read the game folder %1: %2"_s.arg(shown, mapsCounted())
                                       : u"Read the mod folder %1 and the game folder %2: %3"_s.arg(
                                           QDir::toNativeSeparators(modFolder), shown, mapsCounted());
    if (std::any_of(maps.begin(), maps.end(), [](const Map &map) { return map.origin == Origin::Stock; })) {
        text += modFolder.isEmpty() ? u" since it holds"_s : u" since they hold"_s;
        text += u" none of the game's archives (pak0.pk3 to pak8.pk3)"_s;
    }
    if (archivesUnread)
        text += u"; its archives were left unread, so nothing is said of the maps and the scripts"_s;
    // One archive gives a note per entry it could not read, so the files are counted, not the notes.
    QSet<std::pair<QString, QString>> files;
    for (const Note &note : notes)
        files.insert({ note.folder, note.file });
    if (!files.isEmpty()) {
        text += u"; "_s + Wording::counted(files.size(), u"file", u"files")
            + (modFolder.isEmpty() ? u" in it could not be read whole"_s : u" in them could not be read whole"_s);
    }
    return text + u'.';
}

} // namespace GameFolder
