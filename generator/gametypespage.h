#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class ScriptWriter;
class ValueCatalogue;

// Gametypes Configuration page: its controls, their start values and hints, and its section of the script.
class GametypesPage : public SettingsPage {
    Q_OBJECT

public:
    explicit GametypesPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkDm1 = nullptr;
    QLineEdit *edDm1 = nullptr;
    QCheckBox *chkDm2 = nullptr;
    QLineEdit *edDm2 = nullptr;

    QCheckBox *chkTdm1 = nullptr;
    QLineEdit *edTdm1 = nullptr;
    QCheckBox *chkTdm2 = nullptr;
    QLineEdit *edTdm2 = nullptr;

    QCheckBox *chkBel1 = nullptr;
    QLineEdit *edBel1 = nullptr;
    QCheckBox *chkBel2 = nullptr;
    QLineEdit *edBel2 = nullptr;
    QCheckBox *chkBel3 = nullptr;
    QLineEdit *edBel3 = nullptr;

    QCheckBox *chkRe1 = nullptr;
    QLineEdit *edRe1 = nullptr;
    QCheckBox *chkRe2 = nullptr;
    QLineEdit *edRe2 = nullptr;
    QCheckBox *chkRe3 = nullptr;
    QLineEdit *edRe3 = nullptr;
    QCheckBox *chkRe4 = nullptr;
    QLineEdit *edRe4 = nullptr;
    QCheckBox *chkRe5 = nullptr;
    QLineEdit *edRe5 = nullptr;
    QCheckBox *chkRe6 = nullptr;
    QRadioButton *rbRe1 = nullptr;
    QRadioButton *rbRe0 = nullptr;

    QCheckBox *chkSd1 = nullptr;
    QLineEdit *edSd1 = nullptr;
    QCheckBox *chkSd2 = nullptr;
    QLineEdit *edSd2 = nullptr;
    QCheckBox *chkSd3 = nullptr;
    QLineEdit *edSd3 = nullptr;
    QCheckBox *chkSd4 = nullptr;
    QLineEdit *edSd4 = nullptr;
    QCheckBox *chkSd5 = nullptr;
    QLineEdit *edSd5 = nullptr;

    QCheckBox *chkHq1 = nullptr;
    QLineEdit *edHq1 = nullptr;
    QCheckBox *chkHq2 = nullptr;
    QLineEdit *edHq2 = nullptr;

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
