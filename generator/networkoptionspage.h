#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class QLabel;
class QLineEdit;
class ScriptWriter;
class ValueCatalogue;

// Network Options page: its controls, their start values and hints, and its section of the script.
class NetworkOptionsPage : public SettingsPage {
    Q_OBJECT

public:
    static inline const QString defaultMasterServer = QStringLiteral("master.bravenmark.example");

    explicit NetworkOptionsPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkIP = nullptr;
    QCheckBox *chkPort = nullptr;
    QCheckBox *chkRate = nullptr;
    QCheckBox *chkMp = nullptr;
    QCheckBox *chkMip = nullptr;
    QCheckBox *chkMaster = nullptr;
    QCheckBox *chkWWW = nullptr;
    QCheckBox *chkBaseurl = nullptr;
    QCheckBox *chkDlD = nullptr;

    QLineEdit *edIP = nullptr;
    QLineEdit *edPort = nullptr;
    QLineEdit *edRate = nullptr;
    QLineEdit *edMp = nullptr;
    QLineEdit *edMip = nullptr;
    QLineEdit *edMaster = nullptr;
    QLineEdit *edBaseurl = nullptr;
    QLineEdit *edDlD = nullptr;

    // Whether downloads are redirected; written only while chkWWW is checked.
    QCheckBox *chkWWWs = nullptr;

    QLabel *Label102 = nullptr;

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
