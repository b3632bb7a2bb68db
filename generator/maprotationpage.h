#pragma once

#include "generator/settingspage.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace GameFolder {
struct Contents;
}
class FieldMark;
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

    // Offers the maps of the server's game folder in a menu, each with the
    // gametypes it runs: the folder's own, then the game's that no button
    // adds; none without a folder. Rotation Info marks its maps against the
    // folder as the editor does.
    void offerFolderMaps(std::shared_ptr<const GameFolder::Contents> folder);

signals:
    // The menu's last entry asks for the view of all the folder's maps.
    void folderMapsRequested();

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

    // The game folder's maps, in the free space right of the second map row.
    QPushButton *btnFolderMaps = nullptr;
    struct FolderMap {
        QString name;
        QString longName;
        std::optional<QStringList> gametypes;
        bool games; // one of the game's own maps
    };
    QList<FolderMap> m_folderMaps;
    bool m_menuStale = false; // the maps changed while the menu was open
    std::shared_ptr<const GameFolder::Contents> m_folder;
    FieldMark *m_rotationMarks = nullptr;
    void showFolderMaps();
    void appendFolderMap(const QString &name);

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
