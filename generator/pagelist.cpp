#include "generator/pagelist.h"

#include "generator/gameoptionspage.h"
#include "generator/gametypespage.h"
#include "generator/maprotationpage.h"
#include "generator/networkoptionspage.h"
#include "generator/serverinfopage.h"
#include "generator/serveroptionspage.h"
#include "generator/weaponspage.h"
#include "script/openedscript.h"
#include "script/scriptwriter.h"
#include "script/valuecatalogue.h"

using namespace Qt::StringLiterals;

struct PageList::Entry {
    const char *caption;
    int icon; // the picture tab-<icon>; 0 for none
    bool shown;
    void (*declareValues)(ValueCatalogue &values); // none for the editor
    SettingsPage *(*page)(const PageList &pages); // none for the editor
};

const PageList::Entry PageList::entries[] = {
    { "Server Information", 1, true, &ServerInfoPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_serverInfo; } },
    { "Server Options", 2, true, &ServerOptionsPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_serverOptions; } },
    { "Network Options", 3, true, &NetworkOptionsPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_networkOptions; } },
    { "Game Options", 4, true, &GameOptionsPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_gameOptions; } },
    { "Gametypes", 5, true, &GametypesPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_gametypes; } },
    { "Map Rotation", 6, true, &MapRotationPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_mapRotation; } },
    { "editor", 0, true, nullptr, nullptr },
    { "Weapons", 7, true, &WeaponsPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.m_weapons; } },
    // Its lines stand in the Game Options section, and that page opens it.
    { "Votes", 8, false, &VotesPage::declareValues,
        [](const PageList &pages) -> SettingsPage * { return pages.votes(); } },
};

PageList::PageList(QWidget *parent)
    : m_serverInfo(new ServerInfoPage(parent))
    , m_serverOptions(new ServerOptionsPage(parent))
    , m_networkOptions(new NetworkOptionsPage(parent))
    , m_gameOptions(new GameOptionsPage(new VotesPage(parent), parent))
    , m_gametypes(new GametypesPage(parent))
    , m_mapRotation(new MapRotationPage(parent))
    , m_weapons(new WeaponsPage(parent))
{
}

VotesPage *PageList::votes() const
{
    return m_gameOptions->votes();
}

QList<PageList::Tab> PageList::tabs() const
{
    QList<Tab> tabs;
    for (const Entry &entry : entries) {
        tabs.append({ entry.page ? entry.page(*this) : nullptr, QString::fromLatin1(entry.caption),
            entry.icon ? u"tab-%1"_s.arg(entry.icon) : QString(), entry.shown });
    }
    return tabs;
}

QList<SettingsPage *> PageList::settingsPages() const
{
    QList<SettingsPage *> pages;
    for (const Entry &entry : entries) {
        if (entry.page)
            pages.append(entry.page(*this));
    }
    return pages;
}

QList<SettingsPage *> PageList::builtPages() const
{
    // All before any is read: the Game Options section writes the Votes page's lines.
    const QList<SettingsPage *> pages = settingsPages();
    for (SettingsPage *page : pages)
        page->build();
    return pages;
}

ValueCatalogue PageList::valueCatalogue()
{
    ValueCatalogue values;
    for (const Entry &entry : entries) {
        if (entry.declareValues)
            entry.declareValues(values);
    }
    return values;
}

QStringList PageList::ownCommentLines() const
{
    ScriptWriter out(true);
    writeScript(out, {});
    QStringList comments = out.text().split(u'\n', Qt::SkipEmptyParts);
    comments.removeIf([](const QString &line) { return !line.startsWith(u"//"); });
    return comments;
}

void PageList::writeScript(ScriptWriter &out, const QStringList &keptLines, qsizetype keptBefore) const
{
    for (const QString &line : keptLines.first(keptBefore))
        out.keptLine(line);
    for (const SettingsPage *page : builtPages())
        page->writeSection(out);
    for (const QString &line : keptLines.sliced(keptBefore))
        out.keptLine(line);
}

void PageList::takeValues(OpenedScript &script) const
{
    // The sections move at most once, and each later pass takes fewer variables, so this ends.
    const QList<SettingsPage *> pages = builtPages();
    do {
        for (SettingsPage *page : pages)
            page->takeValues(script);
    } while (!script.settle());
}
