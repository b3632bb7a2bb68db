// Reading a game folder: archives and map files made here with libzip, each
// rule of where a map is and which gametypes it runs, and hostile input. With
// TALLYFORGE_FUZZ_SEEDS set to a folder, every small file made is kept there
// as a seed for the fuzzer.

#include "app/foldermapsview.h"
#include "app/gamefolderreader.h"
#include "app/scriptcheck.h"
#include "formtest.h"
#include "gamefiles.h"
#include "gamefolder/arenafile.h"
#include "gamefolder/gamefolder.h"
#include "gamefolder/mapfile.h"
#include "gamefolder/mapmarks.h"
#include "generator/pagelist.h"
#include "modalwatcher.h"
#include "script/scriptreader.h"
#include "script/valuecatalogue.h"
#include "testmain.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTreeView>

#include <cstring>
#include <limits>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void keepSeed(const QByteArray &bytes)
{
    TestRunner::keepFuzzSeed(u"gamefolder", bytes);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    keepSeed(bytes);
}

void makeArchive(const QString &path, const QList<GameFiles::Entry> &entries)
{
    QVERIFY(GameFiles::writeArchive(path, entries));
    QFile file(path);
    if (file.size() < (256 << 10) && file.open(QIODevice::ReadOnly))
        keepSeed(file.readAll());
}

// The spawn points a gametype needs, in the test's own words.
const QHash<QString, QStringList> spawnsFor = {
    { u"dm"_s, { u"mp_deathmatch_spawn"_s } },
    { u"team"_s, { u"mp_teamdeathmatch_spawn"_s } },
    { u"sd"_s, { u"mp_searchanddestroy_spawn_allied"_s, u"mp_searchanddestroy_spawn_axis"_s } },
    { u"re"_s, { u"mp_retrieval_spawn_allied"_s, u"mp_retrieval_spawn_axis"_s } },
};

// A map with the spawn points of `kinds` ("dm team"), and an HQ radio for each "radio" (three for "radios"), as its
// file.
QByteArray mapWith(const QString &kinds)
{
    QStringList classnames;
    int radios = 0;
    for (const QString &kind : kinds.split(u' ', Qt::SkipEmptyParts)) {
        if (kind == u"radio" || kind == u"radios")
            radios += kind == u"radio" ? 1 : 3;
        else
            classnames << spawnsFor.value(kind, { kind });
    }
    const QByteArray bytes = GameFiles::map(GameFiles::entities(classnames, radios));
    keepSeed(bytes);
    return bytes;
}

// Lays out a folder from lines "ARCHIVE|PATH=CONTENT": an empty ARCHIVE is a
// loose file; a .bsp's CONTENT names its spawn points, anything else's is its text.
void makeFolder(const QString &folder, const QStringList &files)
{
    QVERIFY(QDir().mkpath(folder));
    QMap<QString, QList<GameFiles::Entry>> archives;
    for (const QString &line : files) {
        const qsizetype bar = line.indexOf(u'|');
        const qsizetype equals = line.indexOf(u'=');
        const QString archive = line.left(bar);
        const QString path = line.mid(bar + 1, equals - bar - 1);
        const QString content = line.mid(equals + 1);
        const QByteArray bytes = path.endsWith(u".bsp"_s, Qt::CaseInsensitive) ? mapWith(content) : content.toUtf8();
        if (archive.isEmpty())
            writeFile(QDir(folder).filePath(path), bytes);
        else
            archives[archive] << GameFiles::Entry { path, bytes };
    }
    for (auto it = archives.cbegin(); it != archives.cend(); ++it)
        makeArchive(QDir(folder).filePath(it.key()), it.value());
}

// Where the game finds `name`, its gametypes and long name, in the test's words.
QString found(const GameFolder::Contents &contents, const QString &name)
{
    if (const GameFolder::Map *map = contents.caseOnly(name))
        return u"case only: "_s + map->file;
    const GameFolder::Map *map = contents.find(name);
    if (!map)
        return u"missing"_s;
    QString text = map->origin == GameFolder::Origin::Stock ? u"stock"_s : map->file;
    if (map->folder.endsWith(u"/mymod"_s))
        text.prepend(u"mymod:"_s);
    if (map->gametypes)
        text += u" runs "_s + map->gametypes->join(u' ');
    if (!map->longName.isEmpty())
        text += u" \""_s + map->longName + u'"';
    return text;
}

} // namespace

class GameFolderTest : public QObject {
    Q_OBJECT

private slots:
    void spawnsDecideGametypes_data();
    void spawnsDecideGametypes();
    void mapHeaderWrittenByHand();
    void badMapHeaders_data();
    void badMapHeaders();
    void arenaLongNames_data();
    void arenaLongNames();
    void whereMapsAre_data();
    void whereMapsAre();
    void gameFolderIsRecognised();
    void marksOnMaps_data();
    void marksOnMaps();
    void checkFindsTheServersFolders();
    void windowOffersAndMarksTheFoldersMaps();
    void rotationBoxMarksWhatItHolds();
    void folderMapsViewListsEveryMap();
    void changedArchiveIsReadAgain();
    void budgetCoversTheWholeFolder();
    void readingStopsWhenNotWanted();
    void badInputLeavesGoodMaps_data();
    void badInputLeavesGoodMaps();
};

void GameFolderTest::spawnsDecideGametypes_data()
{
    QTest::addColumn<QStringList>("classnames");
    QTest::addColumn<int>("radios");
    QTest::addColumn<QString>("runs");
    QTest::newRow("deathmatch spawns") << QStringList { u"mp_deathmatch_spawn"_s } << 0 << u"dm"_s;
    QTest::newRow("team spawns serve tdm and bel") << QStringList { u"mp_teamdeathmatch_spawn"_s } << 0 << u"tdm bel"_s;
    QTest::newRow("hq needs three radios too") << QStringList { u"mp_teamdeathmatch_spawn"_s } << 3 << u"tdm bel hq"_s;
    QTest::newRow("two radios are too few") << QStringList { u"mp_teamdeathmatch_spawn"_s } << 2 << u"tdm bel"_s;
    QTest::newRow("radios without team spawns") << QStringList { u"mp_deathmatch_spawn"_s } << 3 << u"dm"_s;
    QTest::newRow("sd needs both sides") << QStringList { u"mp_searchanddestroy_spawn_allied"_s } << 0 << QString();
    QTest::newRow("sd with both sides") << QStringList { u"mp_searchanddestroy_spawn_axis"_s,
        u"mp_searchanddestroy_spawn_allied"_s }
                                        << 0 << u"sd"_s;
    QTest::newRow("re needs both sides") << QStringList { u"mp_retrieval_spawn_axis"_s } << 0 << QString();
    QTest::newRow("re with both sides") << QStringList { u"mp_retrieval_spawn_allied"_s, u"mp_retrieval_spawn_axis"_s }
                                        << 0 << u"re"_s;
    QTest::newRow("intermission points are no spawns")
        << QStringList { u"mp_deathmatch_intermission"_s, u"mp_retrieval_intermission"_s } << 0 << QString();
    QTest::newRow("everything, in the game's order")
        << spawnsFor.value(u"re"_s) + spawnsFor.value(u"sd"_s) + spawnsFor.value(u"team"_s) + spawnsFor.value(u"dm"_s)
        << 3 << u"dm tdm sd re bel hq"_s;
}

void GameFolderTest::spawnsDecideGametypes()
{
    QFETCH(QStringList, classnames);
    QFETCH(int, radios);
    QFETCH(QString, runs);
    const QByteArray bytes = GameFiles::map(GameFiles::entities(classnames, radios), 5000);
    keepSeed(bytes);
    qsizetype at = 0;
    const MapFile::Spawns spawns = MapFile::readSpawns(bytes.size(), [&](char *to, qint64 n) {
        n = std::min<qint64>({ n, bytes.size() - at, 7 }); // in small pieces, as an archive may give them
        std::memcpy(to, bytes.constData() + at, size_t(n));
        at += n;
        return n;
    });
    QVERIFY2(spawns.holds, qPrintable(spawns.trouble ? describe(*spawns.trouble) : QString()));
    QCOMPARE(MapFile::gametypesRun(*spawns.holds).join(u' '), runs);
}

// A map header written out byte by byte: "IBSP", version 59, then 33 lumps,
// each its length and then its offset, as 32-bit little-endian numbers. The
// entity text is lump 29; lump 0 is empty, as the map writer makes it.
void GameFolderTest::mapHeaderWrittenByHand()
{
    const QByteArray entityText("{\n\"classname\" \"mp_deathmatch_spawn\"\n}\n\0", 39);
    QByteArray golden("IBSP\x3b\0\0\0", 8);
    golden += QByteArray("\0\0\0\0\x10\x01\0\0", 8); // lump 0: 0 bytes at 272
    golden += QByteArray(28 * 8, '\0'); // lumps 1 to 28
    golden += QByteArray("\x27\0\0\0\x10\x01\0\0", 8); // lump 29: 39 bytes at 272
    golden += QByteArray(3 * 8, '\0'); // lumps 30 to 32
    QCOMPARE(golden.size(), 272);
    golden += entityText;

    QCOMPARE(GameFiles::map(entityText, 0), golden);
    qsizetype at = 0;
    const MapFile::Spawns spawns = MapFile::readSpawns(golden.size(), [&](char *to, qint64 n) {
        n = std::min<qint64>(n, golden.size() - at);
        std::memcpy(to, golden.constData() + at, size_t(n));
        at += n;
        return n;
    });
    QVERIFY(spawns.holds);
    QCOMPARE(spawns.holds->spawns, QStringList { u"mp_deathmatch_spawn"_s });
    QCOMPARE(spawns.bytesRead, golden.size());
}

void GameFolderTest::badMapHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QByteArray good = GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s }));
    auto patched = [&](qsizetype at, qint32 value) {
        QByteArray bytes = good;
        qToLittleEndian<qint32>(value, bytes.data() + at);
        return bytes;
    };
    const qsizetype entityLength = 8 + 29 * 8;
    QTest::newRow("not a map") << QByteArray("PK\3\4").leftJustified(400, 'x') << u"not a map file"_s;
    QTest::newRow("shorter than a header") << good.left(100) << u"not a map file"_s;
    QTest::newRow("another version") << patched(4, 46) << u"a map of version 46, not 59"_s;
    QTest::newRow("entities past the end")
        << patched(entityLength + 4, qint32(good.size())) << u"its entities lie past the end of the file"_s;
    QTest::newRow("negative length") << patched(entityLength, -5) << u"its entities lie past the end of the file"_s;
    QTest::newRow("entities inside the header")
        << patched(entityLength + 4, 8) << u"its entities lie past the end of the file"_s;
    QTest::newRow("ends early") << good.left(good.size() - 4) << u"its entities lie past the end of the file"_s;
    QTest::newRow("entities over 8 MiB") << patched(entityLength, 9 << 20).append(QByteArray(9 << 20, ' '))
                                         << u"its entities are over 8 MiB"_s;
}

void GameFolderTest::badMapHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    keepSeed(bytes);
    qsizetype at = 0;
    const MapFile::Spawns spawns = MapFile::readSpawns(bytes.size(), [&](char *to, qint64 n) {
        n = std::min<qint64>(n, bytes.size() - at);
        std::memcpy(to, bytes.constData() + at, size_t(n));
        at += n;
        return n;
    });
    QVERIFY(!spawns.holds && spawns.trouble);
    QCOMPARE(describe(*spawns.trouble), error);
}

void GameFolderTest::arenaLongNames_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("entries"); // "map=long name"
    QTest::newRow("one block") << QByteArray("{ map \"mp_x\" longname \"The X\" gametype \"dm tdm\" }")
                               << QStringList { u"mp_x=The X"_s };
    QTest::newRow("blocks on lines") << QByteArray("{\n\tmap \"mp_a\"\n\tlongname \"A\"\n}\n{\n\tmap \"mp_b\"\n}\n")
                                     << QStringList { u"mp_a=A"_s, u"mp_b="_s };
    QTest::newRow("comments") << QByteArray(
        "// { map \"mp_no\" }\n{ map \"mp_c\" /* longname \"No\" */ longname \"C\" } /* { map \"mp_n\" } */")
                              << QStringList { u"mp_c=C"_s };
    QTest::newRow("a value stands on its key's line")
        << QByteArray("{ map \"mp_d\" longname\n\"D\" }") << QStringList { u"mp_d="_s };
    QTest::newRow("keys in any case, bare values")
        << QByteArray("{ MAP mp_e LongName \"E e\" }") << QStringList { u"mp_e=E e"_s };
    QTest::newRow("a block without a map") << QByteArray("{ longname \"F\" }") << QStringList();
    QTest::newRow("cut short") << QByteArray("{ map \"mp_g\" longname \"G") << QStringList();
}

void GameFolderTest::arenaLongNames()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, entries);
    keepSeed(text);
    QStringList read;
    for (const ArenaFile::Entry &entry : ArenaFile::read(text))
        read << entry.map + u'=' + entry.longName;
    QCOMPARE(read, entries);
}

void GameFolderTest::whereMapsAre_data()
{
    QTest::addColumn<QStringList>("files"); // in main
    QTest::addColumn<QStringList>("modFiles"); // in mymod beside it, read as its mod folder
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("archives ignore case, loose files do not")
        << QStringList { u"x.pk3|maps/mp/Mp_Arch.bsp=dm"_s, u"|maps/mp/mp_loose.bsp=team"_s,
               u"|Maps/mp/mp_folder.bsp=dm"_s, u"|maps/mp/mp_ext.BSP=dm"_s }
        << QStringList()
        << QStringList { u"mp_arch"_s, u"MP_ARCH"_s, u"mp_loose"_s, u"MP_Loose"_s, u"mp_folder"_s, u"mp_ext"_s }
        << QStringList { u"x.pk3 runs dm"_s, u"x.pk3 runs dm"_s, u"maps/mp/mp_loose.bsp runs tdm bel"_s,
               u"case only: maps/mp/mp_loose.bsp"_s, u"case only: Maps/mp/mp_folder.bsp"_s,
               u"case only: maps/mp/mp_ext.BSP"_s };
    // Names compare with a-z upper-cased: "a" sorts before "B", though not in ASCII, and "_" after "Z".
    QTest::newRow("the archive whose name sorts last first, loose files last")
        << QStringList { u"a.pk3|maps/mp/mp_x.bsp=dm"_s, u"B.pk3|maps/mp/MP_X.bsp=sd"_s, u"a.pk3|maps/mp/mp_y.bsp=re"_s,
               u"|maps/mp/mp_y.bsp=dm"_s, u"zz.pk3|maps/mp/mp_u.bsp=dm"_s, u"z_x.pk3|maps/mp/mp_u.bsp=sd"_s }
        << QStringList() << QStringList { u"mp_x"_s, u"mp_y"_s, u"mp_u"_s }
        << QStringList { u"B.pk3 runs sd"_s, u"a.pk3 runs re"_s, u"z_x.pk3 runs sd"_s };
    // ":" and "\" read as "/", which sorts before the digits.
    QTest::newRow("colons and backslashes in archive names")
        << QStringList { u"a0.pk3|maps/mp/mp_c.bsp=dm"_s, u"a:b.pk3|maps/mp/mp_c.bsp=re"_s,
               u"b\\c.pk3|maps/mp/mp_d.bsp=re"_s, u"b0.pk3|maps/mp/mp_d.bsp=dm"_s }
        << QStringList() << QStringList { u"mp_c"_s, u"mp_d"_s }
        << QStringList { u"a0.pk3 runs dm"_s, u"b0.pk3 runs dm"_s };
    QTest::newRow("long names by rank, never proof")
        << QStringList { u"a.pk3|mp/maps.arena={ map \"mp_x\" longname \"Old\" } { map \"mp_gone\" }"_s,
               u"b.pk3|MP/MAPS.ARENA={ map \"MP_X\" longname \"New\" }"_s, u"b.pk3|maps/mp/mp_x.bsp=team"_s,
               u"b.pk3|mp/more.arena={ map \"mp_loose\" longname \"Loose\" }"_s, u"|maps/mp/mp_loose.bsp=dm"_s }
        << QStringList() << QStringList { u"mp_x"_s, u"mp_gone"_s, u"mp_loose"_s }
        << QStringList { u"b.pk3 runs tdm bel \"New\""_s, u"missing"_s, u"maps/mp/mp_loose.bsp runs dm \"Loose\""_s };
    // The stock maps stand for the game's archives, which a loose file does not replace; what they run is what
    // the game's arena file offers.
    QTest::newRow("stock maps while the game's archives are missing")
        << QStringList { u"zz.pk3|maps/mp/mp_own.bsp=dm"_s, u"|maps/mp/mp_ship.bsp=dm"_s, u"|maps/mp/mp_depot.bsp=dm"_s,
               u"pakistan_maps.pk3|maps/mp/mp_k.bsp=dm"_s, u"pak9.pk3|maps/mp/mp_9.bsp=dm"_s }
        << QStringList() << QStringList { u"mp_ship"_s, u"MP_Chateau"_s, u"mp_nowhere"_s, u"mp_depot"_s }
        << QStringList { u"stock runs dm tdm re bel hq"_s, u"stock runs dm tdm re bel hq"_s, u"missing"_s,
               u"stock runs dm tdm sd re bel hq"_s };
    QTest::newRow("stock maps only where found once they are there")
        << QStringList { u"mp_pak8.pk3|maps/mp/mp_bocage.bsp=dm team"_s } << QStringList()
        << QStringList { u"mp_ship"_s, u"mp_bocage"_s }
        << QStringList { u"missing"_s, u"mp_pak8.pk3 runs dm tdm bel"_s };
    QTest::newRow("localized archives of the server's language only")
        << QStringList { u"localized_french_pak0.pk3|maps/mp/mp_fr.bsp=dm"_s,
               u"localized_english_pak1.pk3|maps/mp/mp_en.bsp=dm"_s }
        << QStringList() << QStringList { u"mp_fr"_s, u"mp_en"_s, u"mp_bocage"_s }
        << QStringList { u"missing"_s, u"localized_english_pak1.pk3 runs dm"_s, u"missing"_s };
    QTest::newRow("only maps straight under maps/mp")
        << QStringList { u"x.pk3|maps/mp/sub/mp_deep.bsp=dm"_s, u"x.pk3|maps/mp_top.bsp=dm"_s,
               u"x.pk3|maps\\mp\\mp_back.bsp=dm"_s }
        << QStringList() << QStringList { u"mp_deep"_s, u"mp_top"_s, u"mp_back"_s }
        << QStringList { u"missing"_s, u"missing"_s, u"x.pk3 runs dm"_s };
    // hq runs where three entities are radios, or where the map's level script, found as the map is, names them.
    const QString names = u"main() { level.radios = getentarray(\"hqradio\", \"targetname\"); }"_s;
    QTest::newRow("hq radios from the entities or the level script")
        << QStringList { u"x.pk3|maps/mp/mp_three.bsp=team radios"_s, u"x.pk3|maps/mp/mp_two.bsp=team radio radio"_s,
               u"x.pk3|maps/mp/mp_own.bsp=team"_s, u"x.pk3|maps/mp/mp_own.gsc="_s + names,
               u"x.pk3|maps/mp/mp_loosely.bsp=team"_s, u"|maps/mp/mp_loosely.gsc="_s + names,
               u"x.pk3|maps/mp/mp_quiet.bsp=team"_s, u"x.pk3|maps/mp/mp_quiet.gsc=main() {}"_s,
               u"x.pk3|maps/mp/mp_cased.bsp=team"_s, u"|maps/mp/MP_Cased.gsc="_s + names,
               u"a.pk3|maps/mp/mp_first.bsp=team"_s, u"a.pk3|maps/mp/mp_first.gsc="_s + names,
               u"b.pk3|maps/mp/mp_first.gsc=main() {}"_s }
        << QStringList()
        << QStringList { u"mp_three"_s, u"mp_two"_s, u"mp_own"_s, u"mp_loosely"_s, u"mp_quiet"_s, u"mp_cased"_s,
               u"mp_first"_s }
        << QStringList { u"x.pk3 runs tdm bel hq"_s, u"x.pk3 runs tdm bel"_s, u"x.pk3 runs tdm bel hq"_s,
               u"x.pk3 runs tdm bel hq"_s, u"x.pk3 runs tdm bel"_s, u"x.pk3 runs tdm bel"_s, u"a.pk3 runs tdm bel"_s };
    // The mod folder's archives, then its loose files, then the game folder's archives and loose files.
    QTest::newRow("the mod folder first")
        << QStringList { u"zz.pk3|maps/mp/mp_a.bsp=dm"_s, u"zz.pk3|maps/mp/mp_b.bsp=dm"_s, u"|maps/mp/mp_c.bsp=dm"_s,
               u"zz.pk3|maps/mp/mp_d.bsp=team"_s, u"zz.pk3|maps/mp/mp_d.gsc="_s + names }
        << QStringList { u"m.pk3|maps/mp/mp_a.bsp=sd"_s, u"|maps/mp/mp_b.bsp=re"_s, u"|maps/mp/MP_C.bsp=team"_s,
               u"|maps/mp/mp_d.gsc=main() {}"_s }
        << QStringList { u"mp_a"_s, u"mp_b"_s, u"mp_c"_s, u"MP_C"_s, u"mp_d"_s, u"mp_bocage"_s }
        << QStringList { u"mymod:m.pk3 runs sd"_s, u"mymod:maps/mp/mp_b.bsp runs re"_s, u"maps/mp/mp_c.bsp runs dm"_s,
               u"mymod:maps/mp/MP_C.bsp runs tdm bel"_s, u"zz.pk3 runs tdm bel"_s,
               u"stock runs dm tdm sd re bel hq"_s };
}

void GameFolderTest::whereMapsAre()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, modFiles);
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QTemporaryDir install;
    const QString main = install.filePath(u"main"_s);
    const QString mod = install.filePath(u"mymod"_s);
    makeFolder(main, files);
    if (!modFiles.isEmpty())
        makeFolder(mod, modFiles);
    const GameFolder::Contents contents
        = GameFolder::read(GameFolder::Folders { main, modFiles.isEmpty() ? QString() : mod });
    QStringList where;
    for (const QString &name : names)
        where << found(contents, name);
    QCOMPARE(where, expected);
    for (const GameFolder::Note &note : contents.notes)
        QFAIL(qPrintable(note.file + u": "_s + describe(note.trouble)));
}

void GameFolderTest::gameFolderIsRecognised()
{
    QTemporaryDir folder;
    QVERIFY(!GameFolder::isGameFolder(folder.path()));
    QVERIFY(QDir(folder.path()).mkpath(u"maps/mp"_s));
    QVERIFY(GameFolder::isGameFolder(folder.path()));
    QTemporaryDir archives;
    writeFile(archives.filePath(u"Z.PK3"_s), "not read");
    QVERIFY(GameFolder::isGameFolder(archives.path()));
}

// A folder with a map for each case: deathmatch only, team only, a loose one.
const QStringList markedFolder
    = { u"x.pk3|maps/mp/mp_dmonly.bsp=dm"_s, u"x.pk3|maps/mp/mp_team.bsp=team sd"_s, u"|maps/mp/mp_loose.bsp=dm"_s };

void GameFolderTest::marksOnMaps_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("marks"); // "problem:marked text"
    const QString rotation = u"set sv_mapRotation \"%1\""_s;
    QTest::newRow("every map there, each with its spawns")
        << rotation.arg(u"gametype dm map mp_dmonly map mp_loose gametype sd map mp_team map MP_TEAM"_s)
        << QStringList();
    QTest::newRow("a map the folder lacks")
        << rotation.arg(u"gametype dm map mp_gone"_s) << QStringList { u"nomap:mp_gone"_s };
    QTest::newRow("no spawn points for the gametype")
        << rotation.arg(u"gametype tdm map mp_team gametype SD map mp_dmonly gametype re map mp_team"_s)
        << QStringList { u"nospawns:mp_dmonly"_s, u"nospawns:mp_team"_s };
    QTest::newRow("before any gametype, a mod's gametype: only whether it is there")
        << rotation.arg(u"map mp_dmonly gametype zom map mp_team map mp_gone"_s)
        << QStringList { u"gametype:zom"_s, u"nomap:mp_gone"_s };
    QTest::newRow("a loose map by its case only")
        << rotation.arg(u"gametype dm map MP_Loose"_s) << QStringList { u"mapcase:MP_Loose"_s };
    QTest::newRow("the rotation still to play")
        << u"set sv_mapRotationCurrent \"gametype sd map mp_dmonly\""_s << QStringList { u"nospawns:mp_dmonly"_s };
    QTest::newRow("map and devmap commands")
        << u"map mp_gone; devmap mp_dmonly; map_restart"_s
        << QStringList { u"second:; devmap mp_dmonly"_s, u"second:; map_restart"_s, u"nomap:mp_gone"_s };
    QTest::newRow("hq without radios") << rotation.arg(u"gametype hq map mp_team map mp_dmonly"_s)
                                       << QStringList { u"noradios:mp_team"_s, u"nospawns:mp_dmonly"_s };
    QTest::newRow("stock maps while the game's archives are missing")
        << rotation.arg(u"gametype sd map mp_ship map mp_bocage gametype hq map mp_chateau"_s)
        << QStringList { u"nospawns:mp_ship"_s };
    // A map command loads its map with the last g_gametype the script sets, unless something between may change it.
    QTest::newRow("map after a gametype it has no spawns for")
        << u"set g_gametype sd\nmap mp_dmonly"_s << QStringList { u"nospawns:mp_dmonly"_s };
    QTest::newRow("map after a gametype it has spawns for")
        << u"seta g_gametype \"tdm\"\nmap mp_team"_s << QStringList();
    QTest::newRow("an exec between: the gametype is not known")
        << u"set g_gametype sd\nexec other.cfg\nmap mp_dmonly"_s << QStringList();
    QTest::newRow("a toggle of it between")
        << u"set g_gametype sd; toggle g_gametype; map mp_dmonly"_s
        << QStringList { u"second:; toggle g_gametype"_s, u"second:; map mp_dmonly"_s };
    QTest::newRow("devmap after the last of two settings")
        << u"set g_gametype dm\nsets g_gametype re; devmap mp_team"_s
        << QStringList { u"setagain:set g_gametype dm"_s, u"second:; devmap mp_team"_s, u"nospawns:mp_team"_s };
}

void GameFolderTest::marksOnMaps()
{
    QFETCH(QString, line);
    QFETCH(QStringList, marks);
    QTemporaryDir folder;
    makeFolder(folder.path(), markedFolder);
    const GameFolder::Contents contents = GameFolder::read(folder.path());
    const QStringList lines = line.split(u'\n');
    QList<ConsoleReader::Reading> readings = ScriptReader::readAll(lines, PageList::valueCatalogue());
    QStringList read;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        GameFolder::addMapMarks(readings[k], contents);
        for (const ConsoleReader::Mark &mark : std::as_const(readings[k].marks)) {
            static const QHash<ConsoleReader::Problem, QString> names
                = { { ConsoleReader::Problem::MapMissing, u"nomap"_s },
                      { ConsoleReader::Problem::MapWithoutSpawns, u"nospawns"_s },
                      { ConsoleReader::Problem::MapWithoutRadios, u"noradios"_s },
                      { ConsoleReader::Problem::MapCaseOnly, u"mapcase"_s },
                      { ConsoleReader::Problem::UnknownGametype, u"gametype"_s },
                      { ConsoleReader::Problem::SecondCommand, u"second"_s },
                      { ConsoleReader::Problem::SetAgain, u"setagain"_s } };
            read << names.value(mark.problem, u"other"_s) + u':' + lines[k].mid(mark.span.start, mark.span.length);
        }
    }
    QCOMPARE(read, marks);
}

// --check reads the folders the window would: the one named, else the one the script stands in, with main beside
// a mod folder; and it says where it checked no maps.
void GameFolderTest::checkFindsTheServersFolders()
{
    QTemporaryDir install;
    const QString server = install.filePath(u"main"_s);
    makeFolder(server, markedFolder);
    QTemporaryDir elsewhere;
    const QByteArray script = "set sv_mapRotation \"gametype sd map mp_dmonly map mp_gone\"\n"
                              "set g_gametype re\n"
                              "devmap mp_team\n";
    writeFile(QDir(server).filePath(u"server.cfg"_s), script);
    writeFile(elsewhere.filePath(u"copy.cfg"_s), script);
    auto check = [](const QStringList &files, const QString &gameFolder, const QString &fsGame = {}) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        ScriptCheck::run(files, outStream, errStream, { gameFolder, fsGame });
        return QStringList { out, err };
    };
    const QString gone = u"%1:1:51: The game folder has no map mp_gone: the game says \"Can't find map\" and stays on "
                         "the level it was on until an admin steps in.\n"_s;
    const QString marks = u"%1:1:37: mp_dmonly runs no sd: it has no allied sd spawn points and no axis sd spawn "
                          u"points, so the game aborts the level (\"gametype is not "
                          "supported\") and plays the next map as deathmatch. It runs dm.\n"_s
        + gone
        + u"%1:3:8: mp_team runs no re (line 2 sets g_gametype): it has no allied re spawn points and no axis re spawn "
          u"points, so the game aborts the level "
          "(\"gametype is not supported\") and plays the rotation's next map as deathmatch. It runs tdm, sd, bel.\n"_s;
    const QString summary = u"tallyforge: Read the game folder %1: 3 maps, and the game's 16 taken as there since it "
                            "holds none of the game's archives (pak0.pk3 to pak8.pk3).\n"_s;
    const QString inServer = QDir(server).filePath(u"server.cfg"_s);
    QCOMPARE(check({ inServer }, {}), QStringList({ marks.arg(inServer), summary.arg(server) }));
    QCOMPARE(check({ elsewhere.filePath(u"copy.cfg"_s) }, {}),
        QStringList({ QString(),
            u"tallyforge: The maps of %1 were not checked: it stands in no game folder; --game-folder DIR checks "
            "them.\n"_s.arg(elsewhere.filePath(u"copy.cfg"_s)) }));
    QCOMPARE(check({ elsewhere.filePath(u"copy.cfg"_s) }, server),
        QStringList({ marks.arg(elsewhere.filePath(u"copy.cfg"_s)), summary.arg(server) }));
    // As a shell passes it, relative to the working folder: its loose map is still found.
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(install.path()));
    const QStringList relativeCheck = check({ elsewhere.filePath(u"copy.cfg"_s) }, u"main"_s);
    QVERIFY(QDir::setCurrent(workingFolder));
    QCOMPARE(relativeCheck, QStringList({ marks.arg(elsewhere.filePath(u"copy.cfg"_s)), summary.arg(server) }));

    // The folder named wins over the script's own, and one that is no game folder is named so; the server's
    // install folder stands for the main in it, as the game reads it.
    QCOMPARE(check({ inServer }, elsewhere.path()),
        QStringList({ QString(),
            u"tallyforge: %1 is not a game folder: it holds no .pk3 archive and no maps/mp folder, so the maps are "
            "not checked.\n"_s.arg(elsewhere.path()) }));
    QCOMPARE(check({ inServer }, install.path()),
        QStringList({ marks.arg(inServer),
            u"tallyforge: %1 holds the game folder main, which the game reads: checked against %2.\n"_s.arg(
                install.path(), server)
                + summary.arg(server) }));

    // A mod folder beside main: a script in it is checked against both, the mod first; fs_game set in a script is
    // marked; one in main is checked against the mod the command line names.
    const QString mod = install.filePath(u"mymod"_s);
    makeFolder(mod, { u"mymod.pk3|maps/mp/mp_gone.bsp=sd"_s, u"mymod.pk3|maps/mp/mp_dmonly.bsp=team"_s });
    writeFile(QDir(mod).filePath(u"mod.cfg"_s), "set fs_game mymod\n" + script);
    const QString inMod = QDir(mod).filePath(u"mod.cfg"_s);
    const QString modRotation
        = u"%1:%2:37: mp_dmonly runs no sd: it has no allied sd spawn points and no axis sd spawn points, so the game "
          u"aborts the level (\"gametype is not "
          "supported\") and plays the next map as deathmatch. It runs tdm, bel.\n"
          "%1:%3:8: mp_team runs no re (line %4 sets g_gametype): it has no allied re spawn points and no axis re "
          "spawn points, so the game aborts the level "
          "(\"gametype is not supported\") and plays the rotation's next map as deathmatch. It runs tdm, sd, bel.\n"_s;
    const QString modMarks = u"%1:1:5: The game takes fs_game only from the server's command line, so this changes "
                             "nothing: start the server with +set fs_game mymod\n"_s.arg(inMod)
        + modRotation.arg(inMod).arg(2).arg(4).arg(3);
    const QString modSummary
        = u"tallyforge: Read the mod folder %1 and the game folder %2: 4 maps, and the game's 16 "
          "taken as there since they hold none of the game's archives (pak0.pk3 to pak8.pk3).\n"_s.arg(mod, server);
    QCOMPARE(check({ inMod }, {}), QStringList({ modMarks, modSummary }));
    QCOMPARE(check({ inServer }, {}, u"mymod"_s),
        QStringList({ modRotation.arg(inServer).arg(1).arg(3).arg(2), modSummary }));
}

// Opening a script from a game folder: the folder is read while the window
// goes on, then the editor marks its maps and the Map Rotation page offers
// those no button adds, to the keyboard as well.
void GameFolderTest::windowOffersAndMarksTheFoldersMaps()
{
    QTemporaryDir server;
    makeFolder(server.path(),
        markedFolder
            + QStringList { u"x.pk3|mp/x.arena={ map \"mp_dmonly\" longname \"Fish & Chips\" }"_s,
                u"x.pk3|maps/mp/MP_Bocage.bsp=dm"_s });
    const QString script = server.filePath(u"server.cfg"_s);
    writeFile(script, "set sv_mapRotation \"gametype sd map mp_dmonly \"\nset g_gametype \"dm\"\nmap mp_dmonly\n");
    TForm1 form;
    FormTest::showWindow(form);
    QVERIFY(form.openScript(script));

    // Open did not wait for the folder: its answer comes through the event loop.
    QVERIFY(!form.statusBar()->findChild<QLabel *>(u"gameFolderNote"_s));
    QLabel *folderNote = nullptr;
    QTRY_VERIFY((folderNote = form.statusBar()->findChild<QLabel *>(u"gameFolderNote"_s)));
    QCOMPARE(folderNote->text(), u"Game folder %1: 4 maps + 15 stock"_s.arg(QDir(server.path()).dirName()));
    // Its hint is in the status bar, as every hint of the window, and the sentence too long for it a tooltip.
    QCOMPARE(folderNote->statusTip(),
        u"Read the game folder %1: 4 maps, and the game's 15 taken as there since it holds none of the game's "
        "archives (pak0.pk3 to pak8.pk3)."_s.arg(server.path()));
    QCOMPARE(folderNote->toolTip(), folderNote->statusTip());
    QTextCursor cursor = form.editor()->textCursor();
    cursor.setPosition(40);
    form.editor()->setTextCursor(cursor);
    QTRY_VERIFY(
        form.findChild<EditorPage *>()->note().startsWith(u"mp_dmonly runs no sd: it has no allied sd spawn points"_s));
    // The map command's mark follows the gametype typed on the line before it.
    QTextDocument *document = form.editor()->document();
    auto waved = [document](int line) {
        const QList<QTextLayout::FormatRange> ranges = document->findBlockByNumber(line).layout()->formats();
        return std::any_of(ranges.cbegin(), ranges.cend(),
            [](const auto &range) { return range.format.underlineStyle() == QTextCharFormat::WaveUnderline; });
    };
    QVERIFY(!waved(2));
    cursor = QTextCursor(document->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 1);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
    form.editor()->setTextCursor(cursor);
    QTest::keyClicks(form.editor(), u"sd"_s);
    QCOMPARE(document->findBlockByNumber(1).text(), u"set g_gametype \"sd\""_s);
    QTRY_VERIFY(waved(2));

    auto *offer = FormTest::control<QPushButton>(form, "btnFolderMaps");
    QStringList offered;
    for (const QAction *action : offer->menu()->actions())
        offered << action->text();
    // The folder's own maps with what they run, then the game's that no button adds.
    QCOMPARE(offered,
        QStringList({ u"MP_Bocage\tdm"_s, u"Fish && Chips (mp_dmonly)\tdm"_s, u"mp_loose\tdm"_s,
            u"mp_team\ttdm, sd, bel"_s, u"mp_chateau, the game's\tdm, tdm, re, bel, hq"_s,
            u"mp_powcamp, the game's\tdm, tdm, sd, re, bel, hq"_s, u"mp_ship, the game's\tdm, tdm, re, bel, hq"_s,
            QString(), u"&All the folder's maps\u2026"_s }));
    FormTest::clickTab(form, form.findChild<MapRotationPage *>());
    QVERIFY(offer->isVisible());
    offer->setFocus();
    ModalWatcher choose([](QWidget *menu) {
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(offer, Qt::Key_Space);
    QTRY_VERIFY(choose.answered());
    QTRY_COMPARE(
        FormTest::control<QLineEdit>(form, "edRotation")->text(), u"gametype sd map mp_dmonly map mp_dmonly "_s);
}

namespace {

// The server folder of markedFolder with `script` in it, opened in `form`, read to the maps' spawn points.
void openInFolder(TForm1 &form, const QTemporaryDir &server, const QByteArray &script)
{
    makeFolder(server.path(),
        markedFolder + QStringList { u"x.pk3|mp/x.arena={ map \"mp_dmonly\" longname \"Fish & Chips\" }"_s });
    writeFile(server.filePath(u"server.cfg"_s), script);
    FormTest::showWindow(form);
    QVERIFY(form.openScript(server.filePath(u"server.cfg"_s)));
    QTRY_VERIFY(form.statusBar()->findChild<QLabel *>(u"gameFolderNote"_s));
    // The names come first, the spawn points after.
    auto *offer = FormTest::control<QPushButton>(form, "btnFolderMaps");
    QTRY_VERIFY(offer->menu()->actions().constFirst()->text().contains(u'\t'));
}

// Chooses the `n`th entry of the maps button's menu by the keyboard, the last for -1.
void chooseFolderMap(TForm1 &form, int n)
{
    auto *offer = FormTest::control<QPushButton>(form, "btnFolderMaps");
    offer->setFocus();
    const QList<QAction *> entries = offer->menu()->actions();
    if (n < 0)
        n = int(std::count_if(entries.cbegin(), entries.cend(), [](QAction *entry) { return !entry->isSeparator(); }));
    ModalWatcher choose([n](QWidget *menu) {
        for (int i = 0; i < n; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(offer, Qt::Key_Space);
    QTRY_VERIFY(choose.answered());
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // Without a window manager nothing gives the window back its activation after a menu.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// The words of `edit` that the wavy underline runs under, as the user sees them.
QStringList underlinedWords(QLineEdit *edit)
{
    const int caret = edit->cursorPosition();
    auto xAt = [edit](qsizetype position) {
        edit->setCursorPosition(int(position));
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    };
    QStringList underlined;
    const QString text = edit->text();
    for (qsizetype start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.indexOf(u' ', start);
        if (end < 0)
            end = text.size();
        if (end > start && FormTest::underlinePixels(edit, xAt(start) + 1, xAt(end) - 1) > 0)
            underlined << text.mid(start, end - start);
    }
    edit->setCursorPosition(caret);
    return underlined;
}

} // namespace

// A builder button's piece glued to what the box ends with, a folder's map
// after typing: the box marks what the game will do with each word, the
// game folder's marks included, and names it at the caret and the pointer.
void GameFolderTest::rotationBoxMarksWhatItHolds()
{
    QTemporaryDir server;
    TForm1 form;
    openInFolder(form, server, "set sv_mapRotation \"gametype dm map mp_harbor\"\n");
    FormTest::clickTab(form, form.findChild<MapRotationPage *>());
    auto *box = FormTest::control<QLineEdit>(form, "edRotation");
    FormTest::click(form, "TextButton17"); // Dawnville, as the builder always appended it
    chooseFolderMap(form, 3); // mp_team: the box ends in a blank
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, u"map mp_loose"_s);
    chooseFolderMap(form, 1); // mp_dmonly, after a blank of its own
    QCOMPARE(box->text(), u"gametype dm map mp_harbormap mp_dawnville map mp_team map mp_loose map mp_dmonly "_s);
    QCOMPARE(underlinedWords(box), QStringList({ u"mp_harbormap"_s, u"mp_dawnville"_s, u"mp_team"_s }));

    const struct {
        QString at; // the caret in it, or the pointer over it
        bool pointer;
        QString sentence;
    } named[] = {
        // The folder lacks mp_harbormap too, but the word's innermost mark says why.
        { u"mp_harbormap"_s, false,
            u"A blank seems to be missing before map: the game reads mp_harbormap as one word."_s },
        { u"mp_dawnville"_s, false,
            u"The rotation takes gametype or map here; the game does not know what to do with mp_dawnville"_s },
        { u"mp_team"_s, true,
            u"mp_team runs no dm: it has no deathmatch spawn points, so the game aborts the level (\"gametype is not "
            u"supported\") and "
            "plays the next map as deathmatch. It runs tdm, sd, bel."_s },
    };
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    for (const auto &entry : named) {
        const int at = int(box->text().indexOf(entry.at)) + 1;
        if (entry.pointer) {
            const int caret = box->cursorPosition();
            box->setCursorPosition(at);
            QTest::mouseMove(box, box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center());
            box->setCursorPosition(caret);
        } else {
            box->setCursorPosition(at);
        }
        QCOMPARE(form.statusBar()->currentMessage(), entry.sentence);
        QCOMPARE(box->accessibleDescription(), entry.sentence);
    }
    // Neither pointed at nor focused, the box takes its sentence away.
    auto *elsewhere = FormTest::control<QWidget>(form, "chkMpr");
    elsewhere->setFocus();
    QTest::mouseMove(elsewhere);
    QCOMPARE(form.statusBar()->currentMessage(), QString());
}

// The view of every map: from the File menu or the maps button's menu, by
// the keyboard, as a screen reader reads it; Escape closes it.
void GameFolderTest::folderMapsViewListsEveryMap()
{
    QTemporaryDir server;
    TForm1 form;
    openInFolder(form, server, "");
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ModalWatcher fromFileMenu([](QWidget *menu) { QTest::keyClick(menu, Qt::Key_M); });
    QTest::keyClick(&form, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(fromFileMenu.answered());
    auto *view = form.findChild<FolderMapsView *>();
    QVERIFY(view);
    auto *table = FormTest::control<QTreeView>(*view, "FolderMapsTable");
    QTRY_COMPARE(QApplication::focusWidget(), table);

    QAccessibleTableInterface *read = QAccessible::queryAccessibleInterface(table)->tableInterface();
    QVERIFY(read);
    QCOMPARE(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Name), u"Maps in the game folder"_s);
    auto heard = [read] {
        QStringList rows;
        for (int row = 0; row < read->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < read->columnCount(); ++column)
                cells << read->columnDescription(column) + u": "_s + read->cellAt(row, column)->text(QAccessible::Name);
            rows << cells.join(u" | "_s);
        }
        return rows;
    };
    const QStringList rows = heard();
    QCOMPARE(rows.size(), 3 + 16);
    // Gametypes lacking the same things are named together.
    const QString dmonly
        = u"Map: mp_dmonly | Long name: Fish & Chips | Comes from: archive x.pk3 | Runs: dm | Does not "
          "run, and why: tdm, bel: no team spawn points; sd: no allied sd spawn points, no axis sd "
          "spawn points; re: no allied re spawn points, no axis re spawn points; hq: no team spawn "
          "points, no HQ radios"_s;
    const QString team = u"Map: mp_team | Long name:  | Comes from: archive x.pk3 | Runs: tdm, sd, bel | Does not run, "
                         "and why: dm: no deathmatch spawn points; re: no allied re spawn points, no axis re spawn "
                         "points; hq: no HQ radios"_s;
    QCOMPARE(rows.filter(u"mp_loose"_s) + rows.filter(u"mp_ship"_s),
        QStringList({ u"Map: mp_loose | Long name:  | Comes from: loose file maps/mp/mp_loose.bsp | Runs: dm | Does "
                      "not run, and why: tdm, bel: no team spawn points; sd: no allied sd spawn points, no axis sd "
                      "spawn points; re: no allied re spawn points, no axis re spawn points; hq: no team spawn points, "
                      "no HQ radios"_s,
            u"Map: mp_ship | Long name:  | Comes from: the game, taken as there | Runs: dm, tdm, re, bel, hq | Does "
            "not run, and why: sd: the game's own arena file does not offer it"_s }));
    QTest::keyClick(table, Qt::Key_Backtab);
    QTest::keyClicks(QApplication::focusWidget(), u"X.PK3"_s);
    QTRY_COMPARE(heard(), QStringList({ dmonly, team }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(table, Qt::Key_End);
    // Below the table, the current map in full, as the columns may not show it.
    QCOMPARE(FormTest::control<QLabel>(*view, "FolderMapsCurrent")->text(),
        u"mp_team, from archive x.pk3, runs tdm, sd, bel. It does not run dm: no deathmatch spawn points; re: no "
        "allied re spawn points, no axis re spawn points; hq: no HQ radios."_s);
    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_VERIFY(!view->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &form);

    FormTest::clickTab(form, form.findChild<MapRotationPage *>());
    chooseFolderMap(form, -1); // its last entry
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(form.findChildren<FolderMapsView *>().size(), 1);
}

void GameFolderTest::changedArchiveIsReadAgain()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath(u"a.pk3"_s);
    makeArchive(archive, { { u"maps/mp/mp_x.bsp"_s, mapWith(u"dm"_s) } });
    QCOMPARE(found(GameFolder::read(folder.path()), u"mp_x"_s), u"a.pk3 runs dm"_s);
    makeArchive(archive, { { u"maps/mp/mp_x.bsp"_s, mapWith(u"team sd"_s) } });
    QCOMPARE(found(GameFolder::read(folder.path()), u"mp_x"_s), u"a.pk3 runs tdm sd bel"_s);
}

// What the maps of one folder may inflate is one budget, whichever archive spends it.
void GameFolderTest::budgetCoversTheWholeFolder()
{
    QTemporaryDir folder;
    const QByteArray map = GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s }), 2 << 20);
    makeArchive(folder.filePath(u"a.pk3"_s), { { u"maps/mp/mp_a.bsp"_s, map } });
    makeArchive(folder.filePath(u"b.pk3"_s), { { u"maps/mp/mp_b.bsp"_s, map } });
    GameArchive::ReadBudget budget(3 << 20);
    const GameArchive::Contents first
        = GameArchive::read(folder.filePath(u"a.pk3"_s), GameArchive::Detail::Spawns, budget);
    const GameArchive::Contents second
        = GameArchive::read(folder.filePath(u"b.pk3"_s), GameArchive::Detail::Spawns, budget);
    QVERIFY(first.whole && first.maps.size() == 1 && first.maps[0].holds && first.troubles.isEmpty());
    QVERIFY(!second.whole && second.maps.size() == 1 && !second.maps[0].holds);
    QCOMPARE(second.troubles.size(), 1);
    QCOMPARE(describe(second.troubles[0]),
        u"maps/mp/mp_b.bsp: left unread: the game folder's files inflate to over 3 MiB in all"_s);
}

// A newer folder, or the reader's end, stops an older reading at its next piece: neither waits for it.
void GameFolderTest::readingStopsWhenNotWanted()
{
    // Archives whose maps inflate 120 MiB of zeros before their entities: seconds to read them all.
    QTemporaryDir slow;
    QByteArray header = GameFiles::map({}, 0);
    constexpr qint64 mapBytes = 120 << 20;
    qToLittleEndian<qint32>(16, header.data() + 8 + 29 * 8);
    qToLittleEndian<qint32>(qint32(mapBytes - 16), header.data() + 8 + 29 * 8 + 4);
    QVERIFY(GameFiles::writeArchive(
        slow.filePath(u"zz00.pk3"_s), { { u"maps/mp/mp_slow.bsp"_s, header, mapBytes - header.size() } }));
    for (int k = 1; k < 12; ++k)
        QVERIFY(QFile::copy(slow.filePath(u"zz00.pk3"_s), slow.filePath(u"zz%1.pk3"_s.arg(k, 2, 10, QChar(u'0')))));
    QTemporaryDir fast;
    makeFolder(fast.path(), markedFolder);

    auto reader = std::make_unique<GameFolderReader>();
    QSignalSpy read(reader.get(), &GameFolderReader::folderRead);
    auto startSlowly = [&] {
        read.clear();
        reader->read({ slow.path() });
        QTRY_COMPARE(read.size(), 1); // the names: the maps are being read now
        QTest::qWait(100);
    };
    startSlowly();
    QElapsedTimer clock;
    clock.start();
    reader->read({ fast.path() });
    QTRY_VERIFY(read.size() >= 3);
    const qint64 waited = clock.elapsed();
    const auto contents = read.at(1).at(0).value<GameFolderReader::Contents>();
    QCOMPARE(contents->folder, fast.path());
    QVERIFY2(waited < 500, qPrintable(u"%1 ms"_s.arg(waited)));
    QCOMPARE(read.at(2).at(0).value<GameFolderReader::Contents>()->folder, fast.path());

    startSlowly();
    clock.restart();
    reader.reset();
    QVERIFY2(clock.elapsed() < 500, qPrintable(u"%1 ms"_s.arg(clock.elapsed())));
}

void GameFolderTest::badInputLeavesGoodMaps_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("noted"); // the file the note names
    for (const char *kind :
        { "no zip", "truncated", "inflation bomb", "bomb that declares less", "entities past the end", "empty archive",
            "folder linking to itself", "file linking to itself", "unreadable", "100,000 entries" })
        QTest::newRow(kind) << QString::fromLatin1(kind)
                            << (std::strcmp(kind, "bomb that declares less") ? u"bad.pk3"_s : QString());
}

void GameFolderTest::badInputLeavesGoodMaps()
{
    QFETCH(QString, kind);
    QFETCH(QString, noted);
    QTemporaryDir folder;
    const QString bad = folder.filePath(u"bad.pk3"_s);
    makeArchive(folder.filePath(u"good.pk3"_s), { { u"maps/mp/mp_good.bsp"_s, mapWith(u"dm"_s) } });
    const QByteArray map = mapWith(u"sd"_s);
    if (kind == u"no zip") {
        writeFile(bad, "PK\3\4 is where this one stops being a zip");
    } else if (kind == u"truncated") {
        makeArchive(bad, { { u"maps/mp/mp_bad.bsp"_s, map } });
        QVERIFY(QFile::resize(bad, QFileInfo(bad).size() / 2));
    } else if (kind == u"inflation bomb") {
        makeArchive(bad, { { u"maps/mp/mp_bomb.bsp"_s, {}, qint64(1) << 30 }, { u"mp/bomb.arena"_s, {}, 1 << 30 } });
        QVERIFY(QFileInfo(bad).size() < 2 << 20);
    } else if (kind == u"bomb that declares less") {
        // A map whose entities are its last bytes as the entry claims 100 MiB of the 1 GiB it inflates to:
        // read to there and no further.
        QByteArray map = GameFiles::map({}, 0);
        qToLittleEndian<qint32>(16, map.data() + 8 + 29 * 8);
        qToLittleEndian<qint32>((100 << 20) - 16, map.data() + 8 + 29 * 8 + 4);
        makeArchive(bad, { { u"maps/mp/mp_bomb.bsp"_s, map, (qint64(1) << 30) - map.size() } });
        QFile file(bad);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        constexpr quint32 claimed = 100 << 20;
        // The uncompressed size in the entry's local header and in the central directory.
        for (const auto &[signature, at] : { std::pair { "PK\3\4", 22 }, std::pair { "PK\1\2", 24 } }) {
            const qsizetype header = bytes.indexOf(signature);
            QVERIFY(header >= 0 && qFromLittleEndian<quint32>(bytes.constData() + header + at) == 1u << 30);
            qToLittleEndian<quint32>(claimed, bytes.data() + header + at);
        }
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(bytes), bytes.size());
    } else if (kind == u"entities past the end") {
        QByteArray broken = map;
        qToLittleEndian<qint32>(1 << 20, broken.data() + 8 + 29 * 8 + 4);
        makeArchive(bad, { { u"maps/mp/mp_bad.bsp"_s, broken } });
    } else if (kind == u"empty archive") {
        writeFile(bad, QByteArray("PK\5\6").leftJustified(22, '\0'));
    } else if (kind == u"folder linking to itself") {
        QVERIFY(QDir(folder.path()).mkpath(u"maps/mp"_s));
        QVERIFY(QFile::link(u"."_s, folder.filePath(u"maps/mp/loop"_s)));
        QVERIFY(QFile::link(u"bad.pk3"_s, bad)); // a folder's archive linking to itself
    } else if (kind == u"file linking to itself") {
        QVERIFY(QFile::link(u"bad.pk3"_s, bad));
    } else if (kind == u"unreadable") {
        makeArchive(bad, { { u"maps/mp/mp_bad.bsp"_s, map } });
        QVERIFY(::chmod(QFile::encodeName(bad).constData(), 0) == 0);
    } else if (kind == u"100,000 entries") {
        QList<GameFiles::Entry> entries;
        for (int i = 0; i < 100'000; ++i)
            entries << GameFiles::Entry { u"maps/mp/mp_%1.bsp"_s.arg(i), "x" };
        QVERIFY(GameFiles::writeArchive(bad, entries, 0));
    }

    GameFolder::Contents contents;
    // Root reads every file whatever its mode: read as nobody then.
    const passwd *nobody = getpwnam("nobody");
    const bool asNobody = kind == u"unreadable" && geteuid() == 0 && nobody;
    if (asNobody) {
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0755) == 0);
        QVERIFY(::seteuid(nobody->pw_uid) == 0);
    }
    contents = GameFolder::read(folder.path());
    if (asNobody)
        QVERIFY(::seteuid(0) == 0);

    QCOMPARE(found(contents, u"mp_good"_s), u"good.pk3 runs dm"_s);
    QStringList notes;
    for (const GameFolder::Note &note : std::as_const(contents.notes))
        notes << note.file + u": "_s + describe(note.trouble);
    if (noted.isEmpty()) {
        QVERIFY2(contents.notes.isEmpty(), qPrintable(notes.join(u'\n')));
    } else {
        QVERIFY2(!contents.notes.isEmpty() && contents.notes.constFirst().file == noted, qPrintable(notes.join(u'\n')));
        QVERIFY2(
            contents.summary().endsWith(u"; 1 file in it could not be read whole."_s), qPrintable(contents.summary()));
    }
    qInfo().noquote() << notes.first(std::min<qsizetype>(notes.size(), 3)).join(u'\n');
    QVERIFY2(GameFiles::peakResidentMiB() < GameFiles::mostResidentMiB,
        qPrintable(u"%1 MiB"_s.arg(GameFiles::peakResidentMiB())));
}

TALLYFORGE_TEST_MAIN(GameFolderTest)
#include "tst_gamefolder.moc"
