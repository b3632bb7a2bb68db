#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class ScriptWriter;
class ValueCatalogue;

// Server Options page: its controls, their start values and hints, and its section of the script.
class ServerOptionsPage : public SettingsPage {
    Q_OBJECT

public:
    explicit ServerOptionsPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkPure = nullptr;
    QCheckBox *chkRcon = nullptr;
    QCheckBox *chkSvpass = nullptr;
    QCheckBox *chkPvtpw = nullptr;
    QCheckBox *chkPvtp = nullptr;
    QCheckBox *chkMaxplayers = nullptr;
    QCheckBox *chkDl = nullptr;
    QCheckBox *chkCheats = nullptr;
    QCheckBox *chkLog = nullptr;
    QCheckBox *chkLogsync = nullptr;
    QCheckBox *chkBanned = nullptr;
    QCheckBox *chkBanD = nullptr;
    QCheckBox *chkSvfps = nullptr;
    QCheckBox *chkA = nullptr;
    QCheckBox *chkFlood = nullptr;

    QLineEdit *edRcon = nullptr;
    QLineEdit *edSvpass = nullptr;
    QLineEdit *edPvtpw = nullptr;
    QLineEdit *edPvtp = nullptr;
    QLineEdit *edMaxplayers = nullptr;
    QLineEdit *edLog = nullptr;
    QLineEdit *edBanned = nullptr;
    QLineEdit *edBanD = nullptr;
    QLineEdit *edSvfps = nullptr;

    QWidget *Panel2 = nullptr;
    QWidget *Panel3 = nullptr;
    QWidget *Panel4 = nullptr;
    QWidget *Panel5 = nullptr;
    QWidget *Panel6 = nullptr;
    QWidget *Panel7 = nullptr;

    QRadioButton *rbPure1 = nullptr;
    QRadioButton *rbPure0 = nullptr;
    QRadioButton *rbDl1 = nullptr;
    QRadioButton *rbDl0 = nullptr;
    QRadioButton *rbCheats1 = nullptr;
    QRadioButton *rbCheats0 = nullptr;
    QRadioButton *rbB = nullptr;
    QRadioButton *rbW = nullptr;
    QRadioButton *rbA1 = nullptr;
    QRadioButton *rbA0 = nullptr;
    QRadioButton *rbFlood1 = nullptr;
    QRadioButton *rbFlood0 = nullptr;

    QLabel *Label26 = nullptr;

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
