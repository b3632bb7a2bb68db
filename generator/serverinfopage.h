#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class QLineEdit;
class ScriptWriter;
class ValueCatalogue;
class TTextButton;

// Server Information page: its controls, their start values and hints, and its section of the script.
class ServerInfoPage : public SettingsPage {
    Q_OBJECT

public:
    explicit ServerInfoPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkSvname = nullptr;
    QCheckBox *chkMotd = nullptr;
    QCheckBox *chkTS = nullptr;
    QCheckBox *chkAdmin1 = nullptr;
    QCheckBox *chkAdmin2 = nullptr;
    QCheckBox *chkMail1 = nullptr;
    QCheckBox *chkMail2 = nullptr;
    QCheckBox *chkIRC1 = nullptr;
    QCheckBox *chkIRC2 = nullptr;
    QCheckBox *chkWebsite1 = nullptr;
    QCheckBox *chkWebsite2 = nullptr;
    QCheckBox *chkLocation = nullptr;

    QLineEdit *edServername = nullptr;
    QLineEdit *edMotd = nullptr;
    QLineEdit *edTS = nullptr;
    QLineEdit *edAdmin1 = nullptr;
    QLineEdit *edAdmin2 = nullptr;
    QLineEdit *edMail1 = nullptr;
    QLineEdit *edMail2 = nullptr;
    QLineEdit *edIRC1 = nullptr;
    QLineEdit *edIRC2 = nullptr;
    QLineEdit *edWebsite1 = nullptr;
    QLineEdit *edWebsite2 = nullptr;
    QLineEdit *edLocation = nullptr;

    TTextButton *TextButton29 = nullptr;

Q_SIGNALS:
    // "Click here to test colors": the window opens the colour tester page.
    void colourTesterRequested();

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
