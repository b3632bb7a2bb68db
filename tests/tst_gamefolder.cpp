// Reading a game folder: archives and map files made here with libzip, each
// rule of where a map is and which gametypes it runs, and hostile input. With
// TALLYFORGE_FUZZ_SEEDS set to a folder, every small file made is kept there
// as a seed for the fuzzer.

#include "app/foldermapsview.h"
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
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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
    const QString seeds = qEnvironmentVariable("TALLYFORGE_FUZZ_SEEDS");
    if (seeds.isEmpty() || bytes.size() > (256 << 10))
        return;
    QDir().mkpath(seeds);
    QFile file(
        QDir(seeds).filePath(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex())));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
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

// A map with the spawn points of `kinds` ("dm team"), as its file.
QByteArray mapWith(const QString &kinds)
{
    QStringList classnames;
    for (const QString &kind : kinds.split(u' ', Qt::SkipEmptyParts))
        classnames << spawnsFor.value(kind, { kind });
    const QByteArray bytes = GameFiles::map(GameFiles::entities(classnames));
    keepSeed(bytes);
    return bytes;
}

// Lays out a folder from lines "ARCHIVE|PATH=CONTENT": an empty ARCHIVE is a
// loose file; a .bsp's CONTENT names its spawn points, anything else's is its text.
void makeFolder(const QString &folder, const QStringList &files)
{
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
    if (map->gametypes)
        text += u" runs "_s + map->gametypes->join(u' ');
    if (!map->longName.isEmpty())
        text += u" \""_s + map->longName + u'"';
    return text;
}

// Under ASan the peak measures the sanitizer's shadow memory and quarantine, not the reader.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 mostResidentMiB = std::numeric_limits<qint64>::max();
#else
constexpr qint64 mostResidentMiB = 400;
#endif

qint64 peakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

class GameFolderTest : public QObject {
    Q_OBJECT

private slots:
    void spawnsDecideGametypes_data();
    void spawnsDecideGametypes();
    void badMapHeaders_data();
    void badMapHeaders();
    void arenaLongNames_data();
    void arenaLongNames();
    void whereMapsAre_data();
    void whereMapsAre();
    void gameFolderIsRecognised();
    void marksOnMaps_data();
    void marksOnMaps();
    void checkReadsTheScriptsFolder();
    void windowOffersAndMarksTheFoldersMaps();
    void rotationBoxMarksWhatItHolds();
    void folderMapsViewListsEveryMap();
    void changedArchiveIsReadAgain();
    void badInputLeavesGoodMaps_data();
    void badInputLeavesGoodMaps();
};

void GameFolderTest::spawnsDecideGametypes_data()
{
    QTest::addColumn<QStringList>("classnames");
    QTest::addColumn<QString>("runs");
    QTest::newRow("deathmatch spawns") << QStringList { u"mp_deathmatch_spawn"_s } << u"dm"_s;
    QTest::newRow("team spawns serve tdm, bel and hq")
        << QStringList { u"mp_teamdeathmatch_spawn"_s } << u"tdm bel hq"_s;
    QTest::newRow("sd needs both sides") << QStringList { u"mp_searchanddestroy_spawn_allied"_s } << QString();
    QTest::newRow("sd with both sides") << QStringList { u"mp_searchanddestroy_spawn_axis"_s,
        u"mp_searchanddestroy_spawn_allied"_s }
                                        << u"sd"_s;
    QTest::newRow("re needs both sides") << QStringList { u"mp_retrieval_spawn_axis"_s } << QString();
    QTest::newRow("re with both sides") << QStringList { u"mp_retrieval_spawn_allied"_s, u"mp_retrieval_spawn_axis"_s }
                                        << u"re"_s;
    QTest::newRow("intermission points are no spawns")
        << QStringList { u"mp_deathmatch_intermission"_s, u"mp_retrieval_intermission"_s } << QString();
    QTest::newRow("everything") << spawnsFor.value(u"dm"_s) + spawnsFor.value(u"team"_s) + spawnsFor.value(u"sd"_s)
            + spawnsFor.value(u"re"_s)
                                << u"dm tdm bel hq sd re"_s;
}

void GameFolderTest::spawnsDecideGametypes()
{
    QFETCH(QStringList, classnames);
    QFETCH(QString, runs);
    const QByteArray bytes = GameFiles::map(GameFiles::entities(classnames), 5000);
    keepSeed(bytes);
    qsizetype at = 0;
    const MapFile::Spawns spawns = MapFile::readSpawns(bytes.size(), [&](char *to, qint64 n) {
        n = std::min<qint64>({ n, bytes.size() - at, 7 }); // in small pieces, as an archive may give them
        std::memcpy(to, bytes.constData() + at, size_t(n));
        at += n;
        return n;
    });
    QVERIFY2(spawns.gametypes, qPrintable(spawns.error));
    QCOMPARE(spawns.gametypes->join(u' '), runs);
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
    QVERIFY(!spawns.gametypes);
    QCOMPARE(spawns.error, error);
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
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("archives ignore case, loose files do not")
        << QStringList { u"x.pk3|maps/mp/Mp_Arch.bsp=dm"_s, u"|maps/mp/mp_loose.bsp=team"_s,
               u"|Maps/mp/mp_folder.bsp=dm"_s, u"|maps/mp/mp_ext.BSP=dm"_s }
        << QStringList { u"mp_arch"_s, u"MP_ARCH"_s, u"mp_loose"_s, u"MP_Loose"_s, u"mp_folder"_s, u"mp_ext"_s }
        << QStringList { u"x.pk3 runs dm"_s, u"x.pk3 runs dm"_s, u"maps/mp/mp_loose.bsp runs tdm bel hq"_s,
               u"case only: maps/mp/mp_loose.bsp"_s, u"case only: Maps/mp/mp_folder.bsp"_s,
               u"case only: maps/mp/mp_ext.BSP"_s };
    // Ranked by name with a-z upper-cased: "a" comes before "B", though not in ASCII.
    QTest::newRow("later archive wins, loose files last")
        << QStringList { u"a.pk3|maps/mp/mp_x.bsp=dm"_s, u"B.pk3|maps/mp/MP_X.bsp=sd"_s, u"a.pk3|maps/mp/mp_y.bsp=re"_s,
               u"|maps/mp/mp_y.bsp=dm"_s }
        << QStringList { u"mp_x"_s, u"mp_y"_s } << QStringList { u"B.pk3 runs sd"_s, u"a.pk3 runs re"_s };
    QTest::newRow("long names by rank, never proof")
        << QStringList { u"a.pk3|mp/maps.arena={ map \"mp_x\" longname \"Old\" } { map \"mp_gone\" }"_s,
               u"b.pk3|MP/MAPS.ARENA={ map \"MP_X\" longname \"New\" }"_s, u"b.pk3|maps/mp/mp_x.bsp=team"_s,
               u"b.pk3|mp/more.arena={ map \"mp_loose\" longname \"Loose\" }"_s, u"|maps/mp/mp_loose.bsp=dm"_s }
        << QStringList { u"mp_x"_s, u"mp_gone"_s, u"mp_loose"_s }
        << QStringList { u"b.pk3 runs tdm bel hq \"New\""_s, u"missing"_s,
               u"maps/mp/mp_loose.bsp runs dm \"Loose\""_s };
    // The stock maps stand for the game's archives, which a loose file does not replace.
    QTest::newRow("stock maps while the game's archives are missing")
        << QStringList { u"zz.pk3|maps/mp/mp_own.bsp=dm"_s, u"|maps/mp/mp_ship.bsp=dm"_s, u"|maps/mp/mp_depot.bsp=dm"_s,
               u"|maps/mp/mp_harbor.bsp=dm"_s, u"|maps/mp/mp_rocket.bsp=dm"_s }
        << QStringList { u"mp_ship"_s, u"MP_Bocage"_s, u"mp_nowhere"_s, u"mp_depot"_s, u"mp_harbor"_s, u"mp_rocket"_s }
        << QStringList { u"stock"_s, u"stock"_s, u"missing"_s, u"stock"_s, u"stock"_s, u"stock"_s };
    QTest::newRow("stock maps only where found once they are there")
        << QStringList { u"pak0.pk3|maps/mp/mp_bocage.bsp=dm team"_s } << QStringList { u"mp_ship"_s, u"mp_bocage"_s }
        << QStringList { u"missing"_s, u"pak0.pk3 runs dm tdm bel hq"_s };
    QTest::newRow("only maps straight under maps/mp") << QStringList { u"x.pk3|maps/mp/sub/mp_deep.bsp=dm"_s,
        u"x.pk3|maps/mp_top.bsp=dm"_s, u"x.pk3|maps\\mp\\mp_back.bsp=dm"_s }
                                                      << QStringList { u"mp_deep"_s, u"mp_top"_s, u"mp_back"_s }
                                                      << QStringList { u"missing"_s, u"missing"_s, u"x.pk3 runs dm"_s };
}

void GameFolderTest::whereMapsAre()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QTemporaryDir folder;
    makeFolder(folder.path(), files);
    const GameFolder::Contents contents = GameFolder::read(folder.path());
    QStringList where;
    for (const QString &name : names)
        where << found(contents, name);
    QCOMPARE(where, expected);
    for (const GameFolder::Note &note : contents.notes)
        QFAIL(qPrintable(note.file + u": "_s + note.reason));
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
    QTest::newRow("stock maps while the game's archives are missing")
        << rotation.arg(u"gametype sd map mp_ship"_s) << QStringList();
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
                      { ConsoleReader::Problem::MapCaseOnly, u"mapcase"_s },
                      { ConsoleReader::Problem::UnknownGametype, u"gametype"_s },
                      { ConsoleReader::Problem::SecondCommand, u"second"_s },
                      { ConsoleReader::Problem::SetAgain, u"setagain"_s } };
            read << names.value(mark.problem, u"other"_s) + u':' + lines[k].mid(mark.span.start, mark.span.length);
        }
    }
    QCOMPARE(read, marks);
}

// --check reads the folder a script stands in, when it is a game folder, or the one it is given.
void GameFolderTest::checkReadsTheScriptsFolder()
{
    QTemporaryDir server;
    makeFolder(server.path(), markedFolder);
    QTemporaryDir elsewhere;
    const QByteArray script = "set sv_mapRotation \"gametype sd map mp_dmonly map mp_gone\"\n"
                              "set g_gametype re\n"
                              "devmap mp_team\n";
    writeFile(server.filePath(u"server.cfg"_s), script);
    writeFile(elsewhere.filePath(u"copy.cfg"_s), script);
    auto check = [](const QStringList &files, const QString &gameFolder) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        ScriptCheck::run(files, outStream, errStream, gameFolder);
        return QStringList { out, err };
    };
    const QString marks
        = u"%1:1:37: mp_dmonly has no spawn points for sd: the game aborts the level (\"gametype is not "
          "supported\") and plays the next map as deathmatch. It runs dm.\n"
          "%1:1:51: The game folder has no map mp_gone: the game says \"Can't find map\" and stays on "
          "the level it was on until an admin steps in.\n"
          "%1:3:8: mp_team has no spawn points for re (line 2 sets g_gametype): the game aborts the level "
          "(\"gametype is not supported\") and plays the rotation's next map as deathmatch. It runs tdm, bel, hq, sd.\n"_s;
    const QString summary = u"tallyforge: Read the game folder %1: 3 maps, and the game's 16 taken as there since it "
                            "holds none of the game's archives (pak*.pk3).\n"_s;
    QCOMPARE(check({ server.filePath(u"server.cfg"_s) }, {}),
        QStringList({ marks.arg(server.filePath(u"server.cfg"_s)), summary.arg(server.path()) }));
    QCOMPARE(check({ elsewhere.filePath(u"copy.cfg"_s) }, {}), QStringList({ QString(), QString() }));
    QCOMPARE(check({ elsewhere.filePath(u"copy.cfg"_s) }, server.path()),
        QStringList({ marks.arg(elsewhere.filePath(u"copy.cfg"_s)), summary.arg(server.path()) }));
    // As a shell passes it, relative to the working folder: its loose map is still found.
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFileInfo(server.path()).path()));
    const QString relative = QDir(server.path()).dirName();
    const QStringList relativeCheck = check({ elsewhere.filePath(u"copy.cfg"_s) }, relative);
    QVERIFY(QDir::setCurrent(workingFolder));
    QCOMPARE(relativeCheck, QStringList({ marks.arg(elsewhere.filePath(u"copy.cfg"_s)), summary.arg(relative) }));
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
    // Its hint is in the status bar, as every hint of the window; no pop-up.
    QCOMPARE(folderNote->statusTip(),
        u"Read the game folder %1: 4 maps, and the game's 15 taken as there since it holds none of the game's "
        "archives (pak*.pk3)."_s.arg(server.path()));
    QVERIFY(folderNote->toolTip().isEmpty());
    QTextCursor cursor = form.editor()->textCursor();
    cursor.setPosition(40);
    form.editor()->setTextCursor(cursor);
    QTRY_VERIFY(form.findChild<EditorPage *>()->note().startsWith(u"mp_dmonly has no spawn points for sd"_s));
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
            u"mp_team\ttdm, bel, hq, sd"_s, u"mp_chateau, the game's"_s, u"mp_powcamp, the game's"_s,
            u"mp_ship, the game's"_s, QString(), u"&All the folder's maps\u2026"_s }));
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
        { u"mp_harbormap"_s, false,
            u"The game folder has no map mp_harbormap: the game says \"Can't find map\" and stays on the level it "
            "was on until an admin steps in."_s },
        { u"map mp_dawnville"_s, false,
            u"A blank seems to be missing before map: the game reads mp_harbormap as one word."_s },
        { u"mp_dawnville"_s, false,
            u"The rotation takes gametype or map here; the game does not know what to do with mp_dawnville"_s },
        { u"mp_team"_s, true,
            u"mp_team has no spawn points for dm: the game aborts the level (\"gametype is not supported\") and "
            "plays the next map as deathmatch. It runs tdm, bel, hq, sd."_s },
    };
    box->setFocus();
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
    QCOMPARE(rows.filter(u"mp_dmonly"_s) + rows.filter(u"mp_loose"_s) + rows.filter(u"mp_ship"_s),
        QStringList({ u"Map: mp_dmonly | Long name: Fish & Chips | Comes from: archive x.pk3 | Runs: dm | "
                      "Does not run, and why: tdm, bel, hq, sd, re: no spawn points"_s,
            u"Map: mp_loose | Long name:  | Comes from: loose file maps/mp/mp_loose.bsp | Runs: dm | "
            "Does not run, and why: tdm, bel, hq, sd, re: no spawn points"_s,
            u"Map: mp_ship | Long name:  | Comes from: the game, taken as there | Runs: not known | "
            "Does not run, and why: "_s }));
    QTest::keyClick(table, Qt::Key_Backtab);
    QTest::keyClicks(QApplication::focusWidget(), u"X.PK3"_s);
    QTRY_COMPARE(heard(),
        QStringList({ rows.filter(u"mp_dmonly"_s).constFirst(),
            u"Map: mp_team | Long name:  | Comes from: archive x.pk3 | Runs: tdm, bel, hq, sd | "
            "Does not run, and why: dm, re: no spawn points"_s }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
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
    QCOMPARE(found(GameFolder::read(folder.path()), u"mp_x"_s), u"a.pk3 runs tdm bel hq sd"_s);
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
        notes << note.file + u": "_s + note.reason;
    if (noted.isEmpty()) {
        QVERIFY2(contents.notes.isEmpty(), qPrintable(notes.join(u'\n')));
    } else {
        QVERIFY2(!contents.notes.isEmpty() && contents.notes.constFirst().file == noted, qPrintable(notes.join(u'\n')));
        QVERIFY2(
            contents.summary().endsWith(u"; 1 file in it could not be read whole."_s), qPrintable(contents.summary()));
    }
    qInfo().noquote() << notes.first(std::min<qsizetype>(notes.size(), 3)).join(u'\n');
    QVERIFY2(peakResidentMiB() < mostResidentMiB, qPrintable(u"%1 MiB"_s.arg(peakResidentMiB())));
}

TALLYFORGE_TEST_MAIN(GameFolderTest)
#include "tst_gamefolder.moc"
