// libFuzzer's entry: the bytes as a small server held in memory, its script and the files its folder holds,
// read as the editor and --check read it: exec followed through the scripts, the marks of the script and of
// every script it reaches, what was not followed. The editor's reader, its lines given in pieces, must read
// each line as a fresh read does.
//
// The bytes: the script's lines, then files, each from a line "=PATH" (a .cfg exec may run, its lines as
// written) or "=ARCHIVE.pk3:PATH" (the same in an archive of the game folder), or "=PATH.gsc" (a game script,
// its text).

#include "gamefolder/gscreader.h"
#include "gamefolder/serverscripts.h"
#include "script/execsize.h"
#include "script/scriptreader.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

const QString folder = QStringLiteral("/srv/tallyforge-fuzz/main");

// Each line of a reading as words, for comparing two readings.
QStringList described(const ConsoleReader::Reading &reading)
{
    QStringList all;
    for (const ConsoleReader::Mark &mark : reading.marks)
        all << QString::number(mark.span.start) + QString::number(mark.span.length) + mark.sentence;
    for (const ConsoleReader::Note &note : reading.notes)
        all << QString::number(note.span.start) + note.sentence;
    for (const ConsoleReader::MapWord &word : reading.maps)
        all << word.name + word.gametype;
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> lines = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n');
    QStringList script;
    QHash<QString, ServerScripts::Place> places; // by archive, the loose files' under none
    QStringList archives;
    ServerScripts::Config *config = nullptr;
    ServerScripts::GameScript *gameScript = nullptr;
    QByteArray gameScriptText;
    // The game script read so far is read as a folder reads one.
    auto readGameScript = [&] {
        if (!gameScript)
            return;
        GscReader reader;
        reader.read(gameScriptText);
        gameScript->script = reader.finish();
        gameScriptText.clear();
    };
    for (const QByteArray &line : lines) {
        if (line.startsWith('=')) {
            readGameScript();
            const QString name = QString::fromLatin1(line.sliced(1));
            const qsizetype colon = name.indexOf(u".pk3:");
            const QString archive = colon < 0 ? QString() : name.left(colon + 4);
            const QString path = colon < 0 ? name : name.sliced(colon + 5);
            if (!places.contains(archive)) {
                places.insert(archive, { folder, archive });
                archives << archive;
            }
            ServerScripts::Place &place = places[archive];
            config = nullptr;
            gameScript = nullptr;
            if (path.endsWith(u".gsc")) {
                place.gameScripts.append({ path, {} });
                gameScript = &place.gameScripts.last();
            } else {
                place.configs.append({ path, 0, QByteArray() });
                config = &place.configs.last();
            }
        } else if (config) {
            *config->text += line + '\n';
            config->bytes = config->text->size();
        } else if (gameScript) {
            gameScriptText += line + '\n';
        } else {
            script << QString::fromLatin1(line);
        }
    }
    readGameScript();
    // In the order the game searches them: the archive whose name sorts last first, the loose files last.
    std::sort(archives.begin(), archives.end(),
        [](const QString &a, const QString &b) { return !a.isEmpty() && (b.isEmpty() || a > b); });
    QList<ServerScripts::Place> searched;
    for (const QString &archive : std::as_const(archives)) {
        searched.append(places.value(archive));
        for (ServerScripts::Config &file : searched.last().configs) {
            if (file.bytes > ExecSize::largestBytes)
                file.text.reset(); // exec takes none of it: its size is all a reader keeps
        }
    }
    const auto scripts = std::make_shared<const ServerScripts>(searched, QStringList(), QStringList());
    const auto server = ServerScripts::serverFor(scripts, folder + QStringLiteral("/server.cfg"));

    const QList<ConsoleReader::Reading> fresh = ScriptReader::readAll(script, {}, server);
    ScriptReader reader;
    reader.readOn(server);
    const qsizetype half = script.size() / 2;
    reader.replaceLines(0, 0, script.mid(half));
    reader.replaceLines(0, 0, script.first(half));
    for (qsizetype k = 0; k < script.size(); ++k) {
        if (described(reader.read(k, script[k])) != described(fresh[k]))
            std::abort(); // the editor's reader and a fresh one disagree
    }
    const QList<ScriptReader::ExecScript> reached = reader.reachedScripts();
    for (qsizetype s = 0; s < reached.size(); ++s) {
        for (qsizetype k = 0; k < reached[s].lines.size(); ++k)
            reader.readReached(s, k);
    }
    reader.unfollowed();
    return 0;
}
