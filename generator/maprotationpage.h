#pragma once

#include "generator/settingspage.h"

namespace GameFolder {
struct Contents;
}
class OpenedScript;
class QCheckBox;
class QGroupBox;
class QPushButton;
class ScriptWriter;
class ValueCatalogue;
class TAppendEdit;
class TTextButton;

// Map Rotation page: the rotation builder and the sv_mapRotation line.
class MapRotationPage : public SettingsPage {
    Q_OBJECT

public:
    explicit MapRotationPage(QWidget *parent = nullptr);

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

    // Offers the maps of the server's game folder that no button covers, each
    // appending its piece as the map buttons do; none without a folder.
    void offerFolderMaps(const GameFolder::Contents *folder);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QGroupBox *GroupBox2 = nullptr;
    TAppendEdit *edRotation = nullptr;
    QCheckBox *chkMpr = nullptr;

    // The builder buttons, each appending its own piece to edRotation; made by
    // buildControls() from the page's button table.
    TTextButton *TextButton1 = nullptr, *TextButton2 = nullptr, *TextButton3 = nullptr, *TextButton4 = nullptr,
                *TextButton5 = nullptr, *TextButton6 = nullptr;
    TTextButton *TextButton7 = nullptr, *TextButton8 = nullptr, *TextButton9 = nullptr, *TextButton10 = nullptr,
                *TextButton11 = nullptr, *TextButton12 = nullptr, *TextButton13 = nullptr, *TextButton14 = nullptr,
                *TextButton15 = nullptr, *TextButton16 = nullptr, *TextButton17 = nullptr, *TextButton18 = nullptr,
                *TextButton19 = nullptr;
    TTextButton *TextButton20 = nullptr, *TextButton21 = nullptr, *TextButton22 = nullptr;

    // The game folder's other maps, in the free space right of the second map row.
    QPushButton *btnFolderMaps = nullptr;
    struct FolderMap {
        QString name;
        QString longName;
    };
    QList<FolderMap> m_folderMaps;
    void showFolderMaps();

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
