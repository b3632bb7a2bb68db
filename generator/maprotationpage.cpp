#include "generator/maprotationpage.h"

#include "gamefolder/gamefolder.h"
#include "generator/fieldmark.h"
#include "generator/pagekit.h"
#include "script/gametypes.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"
#include "widgets/tappendedit.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <span>

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView rotationVariable = u"sv_mapRotation";

constexpr QSize gametypeSize { 105, 17 };
constexpr QSize mapSize { 81, 17 };

// What a screen shows in a few columns; a menu also takes each entry in a time that grows with its length.
constexpr qsizetype mostOfferedMaps = 150;

enum class Adds { Gametype, Map, Text };

struct BuilderButton {
    TTextButton *MapRotationPage::*button;
    int number; // TextButton<number>
    QPoint topLeft; // on the page, also for the Extras inside GroupBox2
    QSize size;
    bool extras;
    Adds adds;
    QStringView caption;
    QStringView word; // the gametype or the map it adds, or the text an Extra adds, blanks included

    // What the button appends, exactly.
    QString piece() const
    {
        switch (adds) {
        case Adds::Gametype: return u"gametype %1 "_s.arg(word);
        case Adds::Map: return u"map %1 "_s.arg(word);
        case Adds::Text: break;
        }
        return word.toString();
    }
};

constexpr BuilderButton gametypeButton(TTextButton *MapRotationPage::*button, int number, int x, Gametypes::Index row)
{
    return { button, number, { x, 48 }, gametypeSize, false, Adds::Gametype, Gametypes::all[row].caption,
        Gametypes::all[row].word };
}

constexpr BuilderButton mapButton(
    TTextButton *MapRotationPage::*button, int number, QPoint topLeft, QStringView caption, QStringView map)
{
    return { button, number, topLeft, mapSize, false, Adds::Map, caption, map };
}

const struct {
    const char *name;
    QPoint topLeft;
    const char *text;
    bool bold;
} labels[] = {
    { "Label86", { 0, 48 }, "Gametype:", false },
    { "Label87", { 24, 80 }, "Map:", false },
    { "Label88", { 0, 144 }, "Instructions: ", true },
    { "Label89", { 0, 160 },
        "Add a gametype, click on deathmatch for example and then click on the maps you want for that gametype",
        false },
    { "Label90", { 0, 176 }, "then choose another gametype and select the maps for it... it's easy!", false },
    { "Label91", { 0, 192 }, "You can also make it manualy in the box below:", false },
    { "Label108", { 0, 248 }, "Rotation Info:", false },
};

// What Rotation Info accepts.
ValueCatalogue::Accepted rotationAccepted()
{
    return { ValueCatalogue::Kind::Rotation, Gametypes::words() };
}

} // namespace

struct MapRotationPage::Tables {
    static const BuilderButton builderButtons[];
};

// Screen order: the gametype row, the two map rows, then the Extras.
constexpr BuilderButton MapRotationPage::Tables::builderButtons[] = {
    gametypeButton(&MapRotationPage::TextButton1, 1, 56, Gametypes::Deathmatch),
    gametypeButton(&MapRotationPage::TextButton2, 2, 168, Gametypes::TeamDeathmatch),
    gametypeButton(&MapRotationPage::TextButton3, 3, 280, Gametypes::SearchAndDestroy),
    gametypeButton(&MapRotationPage::TextButton4, 4, 392, Gametypes::BehindEnemyLines),
    gametypeButton(&MapRotationPage::TextButton5, 5, 504, Gametypes::Retrieval),
    gametypeButton(&MapRotationPage::TextButton6, 6, 616, Gametypes::Headquarters),
    mapButton(&MapRotationPage::TextButton7, 7, { 56, 80 }, u"Bocage", u"mp_bocage"),
    mapButton(&MapRotationPage::TextButton8, 8, { 144, 80 }, u"Brecourt", u"mp_brecourt"),
    mapButton(&MapRotationPage::TextButton9, 9, { 232, 80 }, u"Carentan", u"mp_carentan"),
    mapButton(&MapRotationPage::TextButton17, 17, { 320, 80 }, u"Dawnville", u"mp_dawnville"),
    mapButton(&MapRotationPage::TextButton10, 10, { 408, 80 }, u"Depot", u"mp_depot"),
    mapButton(&MapRotationPage::TextButton11, 11, { 496, 80 }, u"Harbor", u"mp_harbor"),
    mapButton(&MapRotationPage::TextButton12, 12, { 584, 80 }, u"Hurtgen", u"mp_hurtgen"),
    mapButton(&MapRotationPage::TextButton13, 13, { 672, 80 }, u"Neuville", u"mp_neuville"),
    mapButton(&MapRotationPage::TextButton14, 14, { 56, 104 }, u"Pavlov", u"mp_pavlov"),
    mapButton(&MapRotationPage::TextButton15, 15, { 144, 104 }, u"Railyard", u"mp_railyard"),
    mapButton(&MapRotationPage::TextButton16, 16, { 232, 104 }, u"Rocket", u"mp_rocket"),
    mapButton(&MapRotationPage::TextButton18, 18, { 320, 104 }, u"Stalingrad", u"mp_stalingrad"),
    mapButton(&MapRotationPage::TextButton19, 19, { 408, 104 }, u"Tigertown", u"mp_tigertown"),
    { &MapRotationPage::TextButton20, 20, { 584, 208 }, mapSize, true, Adds::Text, u"gametype", u" gametype " },
    { &MapRotationPage::TextButton21, 21, { 584, 232 }, mapSize, true, Adds::Text, u"map", u" map " },
    { &MapRotationPage::TextButton22, 22, { 672, 232 }, mapSize, true, Adds::Text, u"map mp_", u" map mp_ " },
};

MapRotationPage::MapRotationPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"TabSheet6"_s);
}

void MapRotationPage::buildControls()
{
    GroupBox2 = new QGroupBox(u"Extras"_s, this);
    edRotation = new TAppendEdit(this);
    chkMpr = new QCheckBox(u"check this if you want to include map rotations in your cfg."_s, this);
    PageKit::headingStrip(this, "Label9", u"Map Rotation"_s, u"Map Rotation"_s);

    for (const auto &entry : labels) {
        auto *label = new QLabel(QString::fromLatin1(entry.text), this);
        label->setObjectName(QLatin1StringView(entry.name));
        if (entry.bold) {
            QFont font = label->font();
            font.setBold(true);
            label->setFont(font);
        }
        label->adjustSize();
        label->move(entry.topLeft);
    }

    GroupBox2->setObjectName(u"GroupBox2"_s);
    GroupBox2->setGeometry(576, 192, 185, 65);

    for (const BuilderButton &entry : Tables::builderButtons) {
        QWidget *host = entry.extras ? static_cast<QWidget *>(GroupBox2) : this;
        auto *button = new TTextButton(entry.caption.toString(), host);
        button->setObjectName(u"TextButton%1"_s.arg(entry.number));
        button->setGeometry(QRect(host->mapFrom(this, entry.topLeft), entry.size));
        connect(button, &TTextButton::clicked, this, [this, piece = entry.piece()] { edRotation->append(piece); });
        this->*entry.button = button;
    }

    edRotation->setObjectName(u"edRotation"_s);
    edRotation->setGeometry(0, 264, 761, 21);
    findChild<QLabel *>(u"Label108"_s)->setBuddy(edRotation); // names the edit for assistive technology
    m_rotationMarks = FieldMark::watch(edRotation, rotationVariable, rotationAccepted());
    m_rotationMarks->checkMapsAgainst(m_folder);

    btnFolderMaps = new QPushButton(u"Maps in the game folder"_s, this);
    btnFolderMaps->setObjectName(u"btnFolderMaps"_s);
    btnFolderMaps->setGeometry(496, 102, 257, 21);
    btnFolderMaps->setAccessibleName(u"Maps in the game folder"_s);
    PageKit::setHint(btnFolderMaps, u"Add a map of the server's game folder, or see all of them with what they run"_s);
    btnFolderMaps->setMenu(new QMenu(btnFolderMaps));
    btnFolderMaps->menu()->setObjectName(u"FolderMapsMenu"_s);
    connect(btnFolderMaps->menu(), &QMenu::aboutToShow, this, [this] {
        if (m_menuStale)
            showFolderMaps();
    });
    showFolderMaps();

    PageKit::picture(this, { 728, 320, 33, 33 }, u"corner-rotation");

    chkMpr->setObjectName(u"chkMpr"_s);
    chkMpr->setGeometry(8, 328, 321, 17);
    chkMpr->setChecked(true);
    QPalette grey = chkMpr->palette();
    grey.setColor(QPalette::WindowText, systemColor(SystemColor::GrayText));
    chkMpr->setPalette(grey);

    // Dawnville (TextButton17) stands before Depot but comes after Rocket.
    PageKit::setTabOrder({ chkMpr, edRotation, TextButton1, TextButton2, TextButton3, TextButton4, TextButton5,
        TextButton6, TextButton7, TextButton8, TextButton9, TextButton10, TextButton11, TextButton12, TextButton13,
        TextButton14, TextButton15, TextButton16, TextButton17, TextButton18, TextButton19, TextButton20, TextButton21,
        TextButton22, btnFolderMaps });
}

void MapRotationPage::offerFolderMaps(std::shared_ptr<const GameFolder::Contents> folder)
{
    m_folder = std::move(folder);
    if (m_rotationMarks)
        m_rotationMarks->checkMapsAgainst(m_folder);
    QStringList covered;
    for (const BuilderButton &entry : Tables::builderButtons) {
        if (entry.adds == Adds::Map)
            covered << entry.word.toString();
    }
    QList<FolderMap> own;
    QList<FolderMap> games;
    for (const GameFolder::Map &map : m_folder ? std::span(m_folder->maps) : std::span<const GameFolder::Map>()) {
        // A loose map the game cannot find by its name is no map to add.
        if (!m_folder->finds(map))
            continue;
        const bool gamesOwn = GameFolder::isGamesOwn(map);
        if (!gamesOwn || !covered.contains(map.name, Qt::CaseInsensitive))
            (gamesOwn ? games : own).append({ map.name, map.longName, map.gametypes, gamesOwn });
    }
    m_folderMaps = own + games;
    if (isBuilt())
        showFolderMaps();
}

void MapRotationPage::showFolderMaps()
{
    QMenu *menu = btnFolderMaps->menu();
    // A menu left open stays as it is until it opens again.
    m_menuStale = menu->isVisible();
    if (m_menuStale)
        return;
    menu->clear();
    for (const FolderMap &map : m_folderMaps.first(std::min(m_folderMaps.size(), mostOfferedMaps))) {
        QString shown = map.longName.isEmpty() ? map.name : u"%1 (%2)"_s.arg(map.longName, map.name);
        if (map.games)
            shown += u", the game's"_s;
        // After a tab, a menu shows the text in a column of its own.
        if (map.gametypes)
            shown += u'\t' + (map.gametypes->isEmpty() ? u"no gametype"_s : map.gametypes->join(u", "_s));
        QAction *action = menu->addAction(shown.replace(u'&', u"&&"_s));
        connect(action, &QAction::triggered, this, [this, name = map.name] { appendFolderMap(name); });
    }
    if (m_folderMaps.size() > mostOfferedMaps) {
        menu->addAction(u"%1 more: type them into Rotation Info"_s.arg(m_folderMaps.size() - mostOfferedMaps))
            ->setEnabled(false);
    }
    menu->addSeparator();
    QAction *all = menu->addAction(u"&All the folder's maps\u2026"_s, this, &MapRotationPage::folderMapsRequested);
    all->setObjectName(u"AllFolderMaps"_s);
    btnFolderMaps->setVisible(bool(m_folder));
}

// The map buttons append to whatever the box holds; here a blank keeps the
// map from being glued to the word the box ends with.
void MapRotationPage::appendFolderMap(const QString &name)
{
    const QString text = edRotation->text();
    const bool glued = !text.isEmpty() && text.back().unicode() > u' ';
    edRotation->append((glued ? u" map "_s : u"map "_s) + name + u' ');
}

void MapRotationPage::writeLines(ScriptWriter &out) const
{
    if (chkMpr->isChecked())
        out.valueLine(rotationVariable, edRotation->text());
}

void MapRotationPage::takeValues(OpenedScript &script)
{
    build();
    const std::optional<QString> rotation = script.ask(rotationVariable);
    if (rotation)
        edRotation->setEditText(*rotation);
    // Undo must not reach into the text of the script before.
    edRotation->undoStack()->clear();
    chkMpr->setChecked(bool(rotation));
    chkMpr->setChecked(rotation
        && script.offer(
            { rotationVariable.toString() }, PageKit::writtenBy([this](ScriptWriter &out) { writeSection(out); })));
}

void MapRotationPage::declareValues(ValueCatalogue &values)
{
    const ValueCatalogue::Accepted rotation = rotationAccepted();
    values.declare(rotationVariable, rotation);
    // The rotation still to play, which the game reads the same way.
    values.declare(u"sv_mapRotationCurrent", rotation);
}
