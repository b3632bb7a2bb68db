#include "gamefolder/serverscripts.h"

#include "gamefolder/gscflow.h"
#include "gamefolder/searchorder.h"
#include "script/scriptfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString nameKey(QStringView name)
{
    return SearchOrder::nameKey(name);
}

// One file is one script whatever path names it: through a link, or a folder named through one.
QString fileKey(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

// The gametype a game script at `path` provides: maps/mp/gametypes/NAME.gsc, NAME; else none.
QString gametypeOf(const QString &path)
{
    static const QString folder = nameKey(u"maps/mp/gametypes/");
    const QString key = nameKey(path);
    if (!key.startsWith(folder) || !key.endsWith(u".GSC"_s))
        return {};
    const QString name = path.sliced(folder.size(), path.size() - folder.size() - 4);
    return name.isEmpty() || name.contains(u'/') || name.contains(u'\\') ? QString() : name;
}

} // namespace

ServerScripts::ServerScripts(const QList<Place> &places, const QStringList &maps, const QStringList &stockGametypes)
    : m_places(places)
{
    QSet<QString> gameScriptsSeen;
    QSet<QString> gametypesSeen;
    QList<GscFlow::Script> modScripts; // the places hold them
    QStringList gametypeWords = stockGametypes;
    for (qsizetype p = 0; p < m_places.size(); ++p) {
        const Place &place = m_places[p];
        qsizetype layer = m_folders.indexOf(place.folder);
        if (layer < 0) {
            layer = m_folders.size();
            m_folders << place.folder;
            m_layers.append(Layer());
        }
        QHash<QString, Found> &configs = place.archive.isEmpty() ? m_layers[layer].loose : m_layers[layer].archived;
        for (qsizetype c = 0; c < place.configs.size(); ++c) {
            const QString &path = place.configs[c].path;
            const QString key = place.archive.isEmpty() ? path : nameKey(path);
            if (!configs.contains(key))
                configs.insert(key, { p, c });
        }
        for (const GameScript &script : place.gameScripts) {
            const QString key = nameKey(script.path);
            if (gameScriptsSeen.contains(key))
                continue; // an earlier place's file of that path runs instead
            gameScriptsSeen.insert(key);
            if (!place.stock)
                modScripts.append({ script.path, &script.script });
            const QString gametype = gametypeOf(script.path);
            if (gametype.isEmpty() || gametypesSeen.contains(gametype.toLower()))
                continue;
            gametypesSeen.insert(gametype.toLower());
            if (!stockGametypes.contains(gametype, Qt::CaseInsensitive)) {
                m_gametypes.append({ gametype, place.archive, place.folder });
                gametypeWords << gametype;
            }
        }
    }
    if (std::all_of(m_places.cbegin(), m_places.cend(), [](const Place &place) { return place.gameScriptsWhole; })) {
        const GscFlow::Result flow = GscFlow::follow(modScripts, GameArchive::keptBudget);
        m_unfollowed = flow.unfollowed;
        m_overBuilt = flow.overBudget;
        if (!flow.overBudget)
            m_variables = std::make_shared<const VariableUse>(flow.reads, flow.writes, gametypeWords, maps);
    }
}

std::optional<ScriptReader::ExecScript> ServerScripts::find(const QString &path) const
{
    const QString key = nameKey(path);
    for (const Layer &layer : m_layers) {
        std::optional<Found> found;
        if (const auto archived = layer.archived.constFind(key); archived != layer.archived.cend())
            found = *archived;
        else if (const auto loose = layer.loose.constFind(path); loose != layer.loose.cend())
            found = *loose;
        if (!found)
            continue;
        const Place &place = m_places[found->place];
        const Config &config = place.configs[found->config];
        ScriptReader::ExecScript script;
        const QDir folder(place.folder);
        script.path = config.path;
        script.archive = place.archive;
        script.folder = folder.dirName();
        script.bytes = config.bytes;
        script.stock = place.stock;
        script.kept = config.kept;
        if (place.archive.isEmpty()) {
            script.file = QDir::cleanPath(folder.filePath(config.path));
            script.key = fileKey(script.file);
        } else {
            script.file = folder.filePath(place.archive) + u':' + config.path;
            script.key = fileKey(folder.filePath(place.archive)) + u':' + nameKey(config.path);
        }
        if (config.text) {
            // The game reads a script as a C string: what follows a NUL never runs.
            const qsizetype nul = config.text->indexOf('\0');
            const QString text = ScriptFile::decode(nul < 0 ? *config.text : config.text->left(nul));
            script.lines = ScriptFile::splitLines(text);
            script.lineEnds = ScriptFile::lineEnds(text);
        }
        return script;
    }
    return std::nullopt;
}

const ServerScripts::Gametype *ServerScripts::gametype(QStringView word) const
{
    const auto found = std::find_if(m_gametypes.cbegin(), m_gametypes.cend(),
        [word](const Gametype &gametype) { return gametype.word.compare(word, Qt::CaseInsensitive) == 0; });
    return found == m_gametypes.cend() ? nullptr : &*found;
}

std::shared_ptr<const ScriptReader::Server> ServerScripts::serverFor(
    std::shared_ptr<const ServerScripts> scripts, const QString &scriptPath)
{
    auto server = std::make_shared<ScriptReader::Server>();
    if (!scriptPath.isEmpty()) {
        server->scriptKey = fileKey(scriptPath);
        server->scriptName = QFileInfo(scriptPath).fileName();
    } else {
        server->scriptName = u"this script"_s;
    }
    server->variables = scripts->variables();
    server->lookup = [scripts = std::move(scripts)](const QString &path) { return scripts->find(path); };
    return server;
}

void addGametypeMarks(ConsoleReader::Reading &reading, QStringView text, const ServerScripts &scripts)
{
    using ConsoleReader::Problem;
    QList<ConsoleReader::Mark> marks;
    for (const ConsoleReader::Mark &mark : std::as_const(reading.marks)) {
        if (mark.problem != Problem::UnknownGametype) {
            marks << mark;
            continue;
        }
        const QString word = text.sliced(mark.span.start, mark.span.length).toString();
        if (const ServerScripts::Gametype *gametype = scripts.gametype(word)) {
            reading.notes.append({ mark.span,
                gametype->archive.isEmpty() ? u"%1, from the loose file maps/mp/gametypes/%1.gsc in %2"_s.arg(
                    gametype->word, QDir(gametype->folder).dirName())
                                            : u"%1, from %2"_s.arg(gametype->word, gametype->archive) });
        } else {
            marks.append({ mark.span, Problem::GametypeMissing,
                u"No script on this server provides the gametype %1: the game says \"g_gametype %1 is not a valid "
                "gametype, defaulting to dm\" and plays dm."_s.arg(word) });
        }
    }
    reading.marks = std::move(marks);
    for (const ConsoleReader::MapWord &word : std::as_const(reading.maps)) {
        if (const ServerScripts::Gametype *gametype
            = word.gametype.isEmpty() ? nullptr : scripts.gametype(word.gametype))
            reading.notes.append({ word.span,
                u"Spawn points are checked for the game's own gametypes only: %1 is a mod's, so %2 is not checked "
                "for it."_s.arg(gametype->word, word.name) });
    }
}
