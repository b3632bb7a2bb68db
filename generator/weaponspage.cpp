#include "generator/weaponspage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/ttextbutton.h"

#include <QCheckBox>
#include <QLabel>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

const struct {
    const char *name;
    const char *caption;
    int labelLeft;
    int left;
    int width;
    int boxesLeft;
} columns[] = {
    { "Label92", "American Weapons", 16, 0, 153, 24 },
    { "Label93", "British Weapons", 184, 160, 153, 184 },
    { "Label94", "German Weapons", 336, 320, 145, 344 },
    { "Label95", "Russian Weapons", 488, 472, 153, 496 },
    { "Label96", "Other Weapons", 648, 632, 129, 648 },
};

enum Column { American, British, German, Russian, Other };

struct Weapon {
    QCheckBox *WeaponsPage::*box;
    const char *name;
    Column column;
    int row;
    const char *caption;
    const char *hint;
    bool checked;
    int width;
    const char *cvar;
};

// The preset buttons, left to right; the n-th button applies column n of the matrix.
struct Preset {
    TTextButton *WeaponsPage::*button;
    const char *name;
    const char *caption;
    const char *hint;
    int left;
    int width;
};

struct PresetRow {
    QCheckBox *WeaponsPage::*box;
    // Rifles Only, Machine Guns only, Pistols Only, Snipers Only, Unselect All, Select All
    const char states[7];
};

void writeWeapon(ScriptWriter &out, QStringView cvar, bool allowed)
{
    out.fixedLine(cvar, allowed ? u"1" : u"0");
}

constexpr int headerTop = 40, headerHeight = 49, columnLabelTop = 56;
constexpr int panelTop = 96, panelHeight = 217;
constexpr int firstRowTop = 128, rowPitch = 40, boxHeight = 17;
constexpr int presetTop = 328, presetHeight = 17;

} // namespace

struct WeaponsPage::Tables {
    static const Weapon weapons[];
    static const Preset presets[];
    static const PresetRow presetMatrix[];

    // Every preset sets every box: the matrix has a row for each weapon, in the page's order.
    static constexpr bool matrixFollowsPageOrder();
};

// Page order: the order of the lines and of the preset matrix rows.
constexpr Weapon WeaponsPage::Tables::weapons[] = {
    { &WeaponsPage::chkCarbine, "chkCarbine", American, 0, "M1A1 Carbine", "Allow M1Carbine", true, 97,
        "scr_allow_m1carbine" },
    { &WeaponsPage::chkGarand, "chkGarand", American, 1, "M1 Garand", "Allow M1Garand", true, 97,
        "scr_allow_m1garand" },
    { &WeaponsPage::chkThompson, "chkThompson", American, 2, "M1A1 Thompson", "Allow Thompson", true, 113,
        "scr_allow_thompson" },
    { &WeaponsPage::chkBar, "chkBar", American, 3, "BAR", "Allow Browning Automatic Rifle", true, 97, "scr_allow_bar" },
    { &WeaponsPage::chkEnfield, "chkEnfield", British, 0, "Lee-Enfield No 1", "Allow Lee-Enfield no1", true, 97,
        "scr_allow_enfield" },
    { &WeaponsPage::chkSten, "chkSten", British, 1, "Sten", "Allow Sten", true, 97, "scr_allow_sten" },
    { &WeaponsPage::chkBren, "chkBren", British, 2, "Bren LMG", "Allow Bren LMG", true, 97, "scr_allow_bren" },
    { &WeaponsPage::chkSpringfield, "chkSpringfield", British, 3, "Springfield", "Allow Springfield Sniper", true, 121,
        "scr_allow_springfield" },
    { &WeaponsPage::chkKar, "chkKar", German, 0, "Kar98k", "Allow Kar98k", true, 97, "scr_allow_kar98k" },
    { &WeaponsPage::chkMp40, "chkMp40", German, 1, "MP40", "Allow MP40", true, 97, "scr_allow_mp40" },
    { &WeaponsPage::chkMp44, "chkMp44", German, 2, "MP44", "Allow MP44", true, 97, "scr_allow_mp44" },
    { &WeaponsPage::chkSkar, "chkSkar", German, 3, "Scoped Kar98k", "Allow Scoped Kar98k", true, 97,
        "scr_allow_kar98ksniper" },
    { &WeaponsPage::chkNagant, "chkNagant", Russian, 0, "Mosin-Nagant", "Allow Mosin-Nagant", true, 97,
        "scr_allow_nagant" },
    { &WeaponsPage::chkPPsh, "chkPPsh", Russian, 1, "ppsH", "Allow ppsH", true, 97, "scr_allow_ppsh" },
    { &WeaponsPage::chkSnagant, "chkSnagant", Russian, 2, "Scoped Mosin-Nagant", "Allow Scoped Mosin-Nagant", true, 129,
        "scr_allow_nagantsniper" },
    { &WeaponsPage::chkFg, "chkFg", Other, 0, "FG42", "Allow FG42", false, 97, "scr_allow_fg42" },
    { &WeaponsPage::chkPanzer, "chkPanzer", Other, 1, "Panzerfaust", "Allow Panzerfaust", false, 97,
        "scr_allow_panzerfaust" },
};

const Preset WeaponsPage::Tables::presets[] = {
    { &WeaponsPage::TextButton23, "TextButton23", "Rifles Only", "Allow only rifles", 0, 113 },
    { &WeaponsPage::TextButton24, "TextButton24", "Machine Guns only", "Allow only machine guns", 120, 113 },
    { &WeaponsPage::TextButton25, "TextButton25", "Pistols Only", "Allow only pistols", 240, 113 },
    { &WeaponsPage::TextButton28, "TextButton28", "Snipers Only", "Allow only snipers", 360, 105 },
    { &WeaponsPage::TextButton26, "TextButton26", "Unselect All", "Remove all weapons", 472, 113 },
    { &WeaponsPage::TextButton27, "TextButton27", "Select All", "Select all weapons", 592, 113 },
};

// X = checked, - = cleared. Every preset sets every box.
constexpr PresetRow WeaponsPage::Tables::presetMatrix[] = {
    { &WeaponsPage::chkCarbine, "X----X" },
    { &WeaponsPage::chkGarand, "X----X" },
    { &WeaponsPage::chkThompson, "-X---X" },
    { &WeaponsPage::chkBar, "-X---X" },
    { &WeaponsPage::chkEnfield, "X----X" },
    { &WeaponsPage::chkSten, "-X---X" },
    { &WeaponsPage::chkBren, "-X---X" },
    { &WeaponsPage::chkSpringfield, "X--X-X" },
    { &WeaponsPage::chkKar, "X----X" },
    { &WeaponsPage::chkMp40, "-X---X" },
    { &WeaponsPage::chkMp44, "-X---X" },
    { &WeaponsPage::chkSkar, "X--X-X" },
    { &WeaponsPage::chkNagant, "X----X" },
    { &WeaponsPage::chkPPsh, "-X---X" },
    { &WeaponsPage::chkSnagant, "X--X-X" },
    { &WeaponsPage::chkFg, "-X---X" },
    { &WeaponsPage::chkPanzer, "-----X" },
};

constexpr bool WeaponsPage::Tables::matrixFollowsPageOrder()
{
    if (std::size(presetMatrix) != std::size(weapons))
        return false;
    for (std::size_t i = 0; i < std::size(weapons); ++i) {
        if (presetMatrix[i].box != weapons[i].box)
            return false;
    }
    return true;
}

WeaponsPage::WeaponsPage(QWidget *parent)
    : SettingsPage(parent)
{
    setObjectName(u"TabSheet1"_s);
}

void WeaponsPage::buildControls()
{
    PageKit::headingStrip(this, "Label10", u"Allowed Weapons"_s, u"Allowed weapons"_s);

    for (const auto &column : columns) {
        PageKit::band(this, { column.left, headerTop, column.width, headerHeight });
        PageKit::band(this, { column.left, panelTop, column.width, panelHeight });
        PageKit::boldLabel(
            this, column.name, QString::fromLatin1(column.caption), { column.labelLeft, columnLabelTop }, Qt::black);
    }

    for (const Weapon &weapon : Tables::weapons) {
        auto *box = new QCheckBox(QString::fromLatin1(weapon.caption), this);
        box->setObjectName(QLatin1StringView(weapon.name));
        const auto &column = columns[weapon.column];
        // Wider desktop fonts would clip a caption; it may take what is left of its panel.
        const int panelRoom = column.left + column.width - column.boxesLeft;
        const int width = std::clamp(box->sizeHint().width(), weapon.width, std::max(weapon.width, panelRoom));
        box->setGeometry(column.boxesLeft, firstRowTop + weapon.row * rowPitch, width, boxHeight);
        PageKit::fillBackground(box, Qt::white);
        box->setChecked(weapon.checked);
        PageKit::setHint(box, QString::fromLatin1(weapon.hint));
        this->*weapon.box = box;
    }

    for (int column = 0; const auto &preset : Tables::presets) {
        auto *button = new TTextButton(QString::fromLatin1(preset.caption), this);
        button->setObjectName(QLatin1StringView(preset.name));
        button->setGeometry(preset.left, presetTop, preset.width, presetHeight);
        PageKit::setHint(button, QString::fromLatin1(preset.hint));
        connect(button, &TTextButton::clicked, this, [this, column] { applyPreset(column); });
        this->*preset.button = button;
        ++column;
    }

    PageKit::picture(this, { 728, 320, 33, 33 }, u"corner-weapons");

    PageKit::setTabOrder({ chkGarand, chkCarbine, chkThompson, chkBar, chkEnfield, chkSten, chkBren, chkSpringfield,
        chkKar, chkMp40, chkMp44, chkSkar, chkSnagant, chkPPsh, chkNagant, chkPanzer, chkFg, TextButton23, TextButton24,
        TextButton25, TextButton26, TextButton27, TextButton28 });
}

void WeaponsPage::applyPreset(int column)
{
    static_assert(Tables::matrixFollowsPageOrder());
    for (const PresetRow &row : Tables::presetMatrix)
        (this->*row.box)->setChecked(row.states[column] == 'X');
}

void WeaponsPage::writeLines(ScriptWriter &out) const
{
    out.comment(u"//Weapons"_s);
    for (const Weapon &weapon : Tables::weapons)
        writeWeapon(out, QString::fromLatin1(weapon.cvar), (this->*weapon.box)->isChecked());
}

void WeaponsPage::takeValues(OpenedScript &script)
{
    build();
    for (const Weapon &weapon : Tables::weapons)
        PageKit::takeOnOff(script, this->*weapon.box, QString::fromLatin1(weapon.cvar), weapon.checked, writeWeapon);
}

void WeaponsPage::declareValues(ValueCatalogue &values)
{
    for (const Weapon &weapon : Tables::weapons)
        values.declare(QString::fromLatin1(weapon.cvar), PageKit::onOrOff());
}
