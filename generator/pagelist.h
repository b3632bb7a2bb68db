#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class GameOptionsPage;
class GametypesPage;
class LazyPage;
class MapRotationPage;
class NetworkOptionsPage;
class OpenedScript;
class QWidget;
class ScriptWriter;
class ServerInfoPage;
class ServerOptionsPage;
class SettingsPage;
class ValueCatalogue;
class VotesPage;
class WeaponsPage;

// The settings pages in the order of the tabs, which is also the order of
// the script's sections and of taking an opened script's values. The window
// shows them; what they declare is there without any page made, for --check
// and the bench alike.
class PageList {
public:
    struct Tab {
        LazyPage *page; // none for the tab of the editor, a page the window makes
        QString caption;
        QString icon; // the picture's name; empty for none
        bool shown; // the Votes page has no tab of its own: the Game Options page opens it
    };

    // Makes every page empty (see LazyPage), as a child of `parent`.
    explicit PageList(QWidget *parent);
    PageList(const PageList &) = delete;
    PageList &operator=(const PageList &) = delete;

    QList<Tab> tabs() const;
    QList<SettingsPage *> settingsPages() const;
    ServerInfoPage *serverInfo() const { return m_serverInfo; }
    GameOptionsPage *gameOptions() const { return m_gameOptions; }
    MapRotationPage *mapRotation() const { return m_mapRotation; }
    VotesPage *votes() const;

    // What each variable the pages write accepts, from the pages' tables.
    static ValueCatalogue valueCatalogue();

    // The comment lines the sections write when slashes are on; builds the pages.
    QStringList ownCommentLines() const;
    // The first `keptBefore` of `keptLines` as they are, each page's section,
    // then the rest of them; builds the pages.
    void writeScript(ScriptWriter &out, const QStringList &keptLines, qsizetype keptBefore = 0) const;
    // Each page takes the values `script` gives its rows, pass after pass,
    // until the script settles; builds the pages.
    void takeValues(OpenedScript &script) const;

private:
    QList<SettingsPage *> builtPages() const;

    struct Entry;
    static const Entry entries[];

    ServerInfoPage *const m_serverInfo;
    ServerOptionsPage *const m_serverOptions;
    NetworkOptionsPage *const m_networkOptions;
    // It makes the Votes page, whose lines its section writes.
    GameOptionsPage *const m_gameOptions;
    GametypesPage *const m_gametypes;
    MapRotationPage *const m_mapRotation;
    WeaponsPage *const m_weapons;
};
