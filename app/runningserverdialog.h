#pragma once

#include "liveserver/heldvalues.h"
#include "liveserver/runningserver.h"
#include "liveserver/serveraddress.h"

#include <QDialog>
#include <QPointer>

class EditorPage;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QTableWidget;

// File > Running Server: what the running server holds beside the script in
// the editor. It reads the server's status and, with the remote console
// password, what it holds of every variable the script sets; shows the
// settings it holds otherwise, its map, gametype and players (their colour
// codes drawn as the editor draws them), and marks those settings in the
// editor as --check does. "Send Changes" sends them after a question, with
// progress and a Cancel. All of it runs through the event loop: a silent
// server leaves the window as it was.
class RunningServerDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { Variable, Script, Server, ColumnCount };

    // Shows the dialog over `window`, made on first use. The password comes from
    // the Server Options page of `window` when it holds one.
    static RunningServerDialog *open(QWidget *window, EditorPage *editorPage);

    // Reads the server at the address typed; what the button "Read" does.
    void readServer();
    // Asks, then sends each setting the server holds otherwise; what "Send Changes" does.
    void sendChanges();

private:
    RunningServerDialog(QWidget *window, EditorPage *editorPage);
    QList<HeldValues::Setting> scriptSettings() const;
    void showStatus(const RunningServer::Status &status);
    void showHeld(const HeldValues::HeldByName &held);
    void showFailure(RunningServer::Failure failure);
    void showSent(const QList<RunningServer::Sent> &sent);
    void startSending(const QList<HeldValues::Setting> &changes);
    void closeProgress();
    // A text with its colour codes drawn in the editor's colours, as rich text.
    QString coloured(const QString &text) const;

    EditorPage *const m_editorPage;
    QLineEdit *const m_address;
    QLineEdit *const m_password;
    QPushButton *const m_read;
    QLabel *const m_state;
    QLabel *const m_server; // map, gametype, players
    QLabel *const m_sentSays; // what came of the last changes sent
    QTableWidget *const m_differences;
    QPushButton *const m_send;
    QPointer<RunningServer> m_running;
    QPointer<QProgressDialog> m_progress;
    ServerAddress::Address m_asked; // the address read last, whatever the field holds now
    QList<HeldValues::Difference> m_shown;
    HeldValues::HeldByName m_statusHeld;
};
