// Saves a picture of the main window on each of its pages into the folder
// given as the only argument. scripts/screenshots runs it in a real X server
// at scale 1 and 2; it is not a test.

#include "app/appearance.h"
#include "app/editorpage.h"
#include "app/tform1.h"
#include "gamefiles.h"
#include "generator/gameoptionspage.h"
#include "generator/gametypespage.h"
#include "generator/maprotationpage.h"
#include "generator/networkoptionspage.h"
#include "generator/serverinfopage.h"
#include "generator/serveroptionspage.h"
#include "generator/weaponspage.h"
#include "widgets/ttextbutton.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: shootpages <folder>\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(u"."_s))
        return 1;
    Appearance::setUpApplication();

    TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;

    auto shoot = [&](QWidget *page, const QString &name) {
        form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentWidget(page);
        QTest::qWait(100);
        const bool saved = form.grab().save(folder.filePath(name + u".png"_s));
        std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(folder.filePath(name + u".png"_s)));
        return saved;
    };
    const struct {
        QWidget *page;
        const char *name;
    } pages[] = {
        { form.findChild<ServerInfoPage *>(QStringLiteral("tabMain")), "1-server-information" },
        { form.findChild<ServerOptionsPage *>(QStringLiteral("TabSheet2")), "2-server-options" },
        { form.findChild<NetworkOptionsPage *>(QStringLiteral("TabSheet3")), "3-network-options" },
        { form.findChild<GameOptionsPage *>(QStringLiteral("TabSheet4")), "4-game-options" },
        { form.findChild<GametypesPage *>(QStringLiteral("TabSheet5")), "5-gametypes" },
        { form.findChild<MapRotationPage *>(QStringLiteral("TabSheet6")), "6-map-rotation" },
        { form.findChild<WeaponsPage *>(QStringLiteral("TabSheet1")), "7-weapons" },
        { form.findChild<VotesPage *>(QStringLiteral("tabVotes")), "8-votes" },
    };
    bool ok = true;
    for (const auto &page : pages)
        ok = shoot(page.page, QString::fromLatin1(page.name)) && ok;

    QTest::mouseClick(form.findChild<TTextButton *>(QStringLiteral("btnFinish")), Qt::LeftButton);
    ok = shoot(form.findChild<EditorPage *>(QStringLiteral("tabEditor")), u"9-editor"_s) && ok;

    // Values typed in the editor that the game reads otherwise, with the note
    // of the first on the status bar.
    form.editor()->selectAll();
    form.editor()->insertPlainText(
        u"//Server Options\n"
        "set sv_maxclients \"2O\"\n"
        "//Game Options\n"
        "set g_gametype \"ctf\"\n"
        "//Gametypes Configuration\n"
        "set scr_dm_timelimit \"1500\"\n"
        "set sv_mapRotation \"gametype dm map mp_bocage map mp_ gametype ctf map mp_depot\"\n"_s);
    QTextCursor cursor(form.editor()->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 2);
    form.editor()->setTextCursor(cursor);
    form.editor()->setFocus();
    ok = shoot(form.findChild<EditorPage *>(QStringLiteral("tabEditor")), u"10-editor-marks"_s) && ok;

    // A hand-written script opened: the pages take its settings, its other lines are kept.
    QTemporaryDir scratch;
    QFile script(scratch.filePath(u"servercfg.cfg"_s));
    if (!script.open(QIODevice::WriteOnly))
        return 1;
    script.write("// my server\n"
                 "set sv_hostname \"^1Red ^7Base\"\n"
                 "set scr_sd_roundlength \"2.5\"\n"
                 "set g_gametype \"sd\"\n"
                 "exec weapons_custom.cfg\n"
                 "set sv_maxclients \"24\"; map mp_harbor\n");
    script.close();
    ok = form.openScript(script.fileName()) && ok;
    ok = shoot(form.findChild<EditorPage *>(QStringLiteral("tabEditor")), u"11-opened-script"_s) && ok;
    ok = shoot(form.findChild<GameOptionsPage *>(QStringLiteral("TabSheet4")), u"12-opened-game-options"_s) && ok;

    // A script saved in a server's game folder: the Map Rotation page offers its maps with what they run.
    const QDir server(scratch.filePath(u"main"_s));
    server.mkpath(u"maps/mp"_s);
    const QByteArray spawns = GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s,
        u"mp_teamdeathmatch_spawn"_s, u"mp_searchanddestroy_spawn_allied"_s, u"mp_searchanddestroy_spawn_axis"_s }));
    ok = GameFiles::writeArchive(server.filePath(u"zz_custom.pk3"_s),
             { { u"maps/mp/mp_orchard.bsp"_s, spawns }, { u"maps/mp/mp_quarry.bsp"_s, spawns },
                 { u"maps/mp/mp_lighthouse.bsp"_s, spawns },
                 { u"mp/custom.arena"_s,
                     "{ map \"mp_orchard\" longname \"Orchard Lane\" gametype \"dm tdm sd\" }\n"
                     "{ map \"mp_quarry\" longname \"Old Quarry\" gametype \"dm tdm sd\" }\n"
                     "{ map \"mp_lighthouse\" longname \"Lighthouse Point\" gametype \"sd\" }\n" } })
        && ok;
    QFile loose(server.filePath(u"maps/mp/mp_duel.bsp"_s));
    ok = loose.open(QIODevice::WriteOnly)
        && loose.write(GameFiles::map(GameFiles::entities({ u"mp_deathmatch_spawn"_s }))) > 0 && ok;
    loose.close();
    auto *rotation = form.findChild<QLineEdit *>(u"edRotation"_s);
    rotation->setText(u"gametype sd map mp_duel map mp_harbor"_s);
    ok = form.saveTo(server.filePath(u"servercfg.cfg"_s)) && ok;
    for (int i = 0; i < 100 && !form.statusBar()->findChild<QLabel *>(u"gameFolderNote"_s); ++i)
        QTest::qWait(20);
    QTest::qWait(200);
    form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))
        ->setCurrentWidget(form.findChild<MapRotationPage *>(QStringLiteral("TabSheet6")));
    // The window, and a menu open over its edge.
    auto screenShot = [&](QWidget *window, const QString &name, QWidget *menu = nullptr) {
        const QString path = folder.filePath(name + u".png"_s);
        const QRect frame = menu ? window->frameGeometry().united(menu->geometry()) : window->frameGeometry();
        const bool saved
            = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(path);
        std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
        return saved;
    };
    auto *offer = form.findChild<QPushButton *>(u"btnFolderMaps"_s);
    offer->setFocus();
    offer->menu()->popup(offer->mapToGlobal(QPoint(0, offer->height())));
    QTest::qWait(200);
    ok = screenShot(&form, u"13-folder-maps"_s, offer->menu()) && ok;
    offer->menu()->hide();

    // A builder button's piece glued to what the box ends with: the box marks it as the editor would.
    QTest::mouseClick(form.findChild<TTextButton *>(u"TextButton17"_s), Qt::LeftButton);
    form.activateWindow();
    ok = QTest::qWaitForWindowActive(&form) && ok;
    rotation->setFocus();
    rotation->setCursorPosition(int(rotation->text().indexOf(u"harbormap"_s)));
    QTest::qWait(200);
    ok = shoot(form.findChild<MapRotationPage *>(QStringLiteral("TabSheet6")), u"14-rotation-marks"_s) && ok;

    form.findChild<QAction *>(u"FolderMaps1"_s)->trigger();
    auto *view = form.findChild<QDialog *>(u"FolderMapsView"_s);
    if (auto *table = view ? view->findChild<QTreeView *>() : nullptr) {
        const QModelIndexList duel = table->model()->match(table->model()->index(0, 0), Qt::DisplayRole, u"mp_duel"_s);
        if (!duel.isEmpty())
            table->setCurrentIndex(duel.constFirst());
    }
    QTest::qWait(300);
    ok = view && screenShot(view, u"15-folder-maps-view"_s) && ok;
    if (view)
        view->close();

    // A script that execs another of the folder's: its exec line counts that one's marks, the Problems list holds
    // every mark in the order the game runs them, and the exec'd script opens read-only.
    QFile execd(server.filePath(u"gtcvars.cfg"_s));
    ok = execd.open(QIODevice::WriteOnly)
        && execd.write("// Search and Destroy\n"
                       "set scr_sd_timelimit \"4\"\n"
                       "set scr_sd_roundlength \"3\"\n"
                       "set scr_sd_timelimit \"5\"\n"
                       "set scr_sd_scorelimit \"10\"\n"
                       "map mp_bridge\n")
            > 0
        && ok;
    execd.close();
    ok = form.saveTo(server.filePath(u"servercfg.cfg"_s)) && ok;
    form.editor()->selectAll();
    form.editor()->insertPlainText(u"//Server Options\n"
                                   "set sv_hostname \"^1Red ^7Base\"\n"
                                   "set g_gametype \"sd\"\n"
                                   "exec gtcvars.cfg\n"
                                   "set scr_sd_timelimit \"3\"\n"
                                   "set sv_mapRotation \"gametype sd map mp_orchard map mp_duel\"\n"_s);
    QTest::qWait(500);
    form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))
        ->setCurrentWidget(form.findChild<EditorPage *>(QStringLiteral("tabEditor")));
    form.activateWindow();
    QTextCursor onExec(form.editor()->document()->findBlockByNumber(3));
    form.editor()->setTextCursor(onExec);
    form.editor()->setFocus();
    QTest::keyClick(form.editor(), Qt::Key_End);
    ok = shoot(form.findChild<EditorPage *>(QStringLiteral("tabEditor")), u"16-exec-marks"_s) && ok;

    form.findChild<QAction *>(u"Problems1"_s)->trigger();
    auto *problems = form.findChild<QDialog *>(u"ProblemsView"_s);
    auto *list = problems ? problems->findChild<QTreeView *>(u"ProblemsList"_s) : nullptr;
    if (list)
        list->setCurrentIndex(list->model()->index(1, 0));
    QTest::qWait(300);
    ok = list && screenShot(problems, u"17-problems"_s) && ok;
    if (list)
        QTest::keyClick(list, Qt::Key_Return);
    QTest::qWait(300);
    auto *execView = form.findChild<QDialog *>(u"ExecScriptView"_s);
    ok = execView && screenShot(execView, u"18-exec-script-view"_s) && ok;
    return ok ? 0 : 1;
}
