#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class ScriptWriter;
class ValueCatalogue;
class TTextButton;

// Allowed Weapons page: its controls, their start values and hints, and its section of the script.
class WeaponsPage : public SettingsPage {
    Q_OBJECT

public:
    explicit WeaponsPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    // The weapon boxes and the preset buttons, made by buildControls() from
    // the page's tables.
    QCheckBox *chkCarbine = nullptr, *chkGarand = nullptr, *chkThompson = nullptr, *chkBar = nullptr;
    QCheckBox *chkEnfield = nullptr, *chkSten = nullptr, *chkBren = nullptr, *chkSpringfield = nullptr;
    QCheckBox *chkKar = nullptr, *chkMp40 = nullptr, *chkMp44 = nullptr, *chkSkar = nullptr;
    QCheckBox *chkNagant = nullptr, *chkPPsh = nullptr, *chkSnagant = nullptr;
    QCheckBox *chkFg = nullptr, *chkPanzer = nullptr;

    TTextButton *TextButton23 = nullptr, *TextButton24 = nullptr, *TextButton25 = nullptr, *TextButton26 = nullptr,
                *TextButton27 = nullptr, *TextButton28 = nullptr;

private:
    void applyPreset(int column);

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
