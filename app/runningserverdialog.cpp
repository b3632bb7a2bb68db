#include "app/runningserverdialog.h"

#include "app/editorpage.h"
#include "app/scripthighlighter.h"
#include "app/servercommands.h"
#include "liveserver/serveraddress.h"
#include "script/wording.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

RunningServerDialog *RunningServerDialog::open(QWidget *window, EditorPage *editorPage)
{
    auto *dialog = window->findChild<RunningServerDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new RunningServerDialog(window, editorPage);
    // The password the Server Options page writes, where it writes one; typed otherwise.
    const auto *rcon = window->findChild<QLineEdit *>(u"edRcon"_s);
    const auto *included = window->findChild<QCheckBox *>(u"chkRcon"_s);
    if (rcon && included && included->isChecked() && !rcon->text().isEmpty())
        dialog->m_password->setText(rcon->text());
    dialog->QDialog::open();
    dialog->m_address->setFocus();
    return dialog;
}

RunningServerDialog::RunningServerDialog(QWidget *window, EditorPage *editorPage)
    : QDialog(window)
    , m_editorPage(editorPage)
    , m_address(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_read(new QPushButton(u"&Read"_s, this))
    , m_state(new QLabel(this))
    , m_server(new QLabel(this))
    , m_sentSays(new QLabel(this))
    , m_differences(new QTableWidget(0, ColumnCount, this))
    , m_send(new QPushButton(u"&Send Changes\u2026"_s, this))
{
    setObjectName(u"RunningServerDialog"_s);
    setWindowTitle(u"Running Server"_s);
    resize(640, 460);

    m_address->setObjectName(u"edServerAddress"_s);
    m_address->setPlaceholderText(u"host or host:%1"_s.arg(ServerAddress::defaultPort));
    m_password->setObjectName(u"edServerPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(u"remote console password (sent in clear text)"_s);
    m_read->setObjectName(u"btnReadServer"_s);
    m_read->setDefault(true);
    m_state->setObjectName(u"serverState"_s);
    m_state->setWordWrap(true);
    m_server->setObjectName(u"serverSays"_s);
    m_server->setTextFormat(Qt::RichText);
    m_server->setWordWrap(true);
    m_server->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_sentSays->setObjectName(u"sentSays"_s);
    m_sentSays->setWordWrap(true);
    m_differences->setObjectName(u"serverDifferences"_s);
    m_differences->setHorizontalHeaderLabels({ u"Variable"_s, u"Script"_s, u"Server"_s });
    m_differences->horizontalHeader()->setStretchLastSection(true);
    m_differences->verticalHeader()->hide();
    m_differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_differences->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_send->setObjectName(u"btnSendChanges"_s);
    m_send->setEnabled(false);

    auto *form = new QFormLayout;
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(m_address);
    addressRow->addWidget(m_read);
    form->addRow(u"&Address:"_s, addressRow);
    form->addRow(u"&Password:"_s, m_password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(u"serverButtons"_s);
    buttons->addButton(m_send, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_state);
    layout->addWidget(m_server);
    layout->addWidget(m_differences, 1);
    layout->addWidget(m_sentSays);
    layout->addWidget(buttons);

    connect(m_read, &QPushButton::clicked, this, &RunningServerDialog::readServer);
    connect(m_address, &QLineEdit::returnPressed, this, &RunningServerDialog::readServer);
    connect(m_send, &QPushButton::clicked, this, &RunningServerDialog::sendChanges);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QList<HeldValues::Setting> RunningServerDialog::scriptSettings() const
{
    QStringList lines;
    for (QTextBlock block = m_editorPage->editor()->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return HeldValues::finalSettings(lines);
}

void RunningServerDialog::readServer()
{
    const std::optional<ServerAddress::Address> address = ServerAddress::read(m_address->text());
    if (!address) {
        m_state->setText(u"Type the server's address as host or host:port."_s);
        return;
    }
    // The same server keeps its conversation, whose pacing knows what was sent to it last.
    const bool sameServer = m_running && m_asked.host == address->host && m_asked.port == address->port;
    m_asked = *address;
    if (m_running)
        m_running->cancel();
    if (!sameServer) {
        if (m_running)
            m_running->deleteLater();
        m_running = new RunningServer(*address, this);
        m_running->setObjectName(u"runningServer"_s);
        connect(m_running, &RunningServer::statusRead, this, &RunningServerDialog::showStatus);
        connect(m_running, &RunningServer::heldRead, this, &RunningServerDialog::showHeld);
        connect(m_running, &RunningServer::failed, this, &RunningServerDialog::showFailure);
        connect(m_running, &RunningServer::progressed, this, [this](qsizetype sent, qsizetype total) {
            if (m_progress) {
                m_progress->setMaximum(int(total));
                m_progress->setValue(int(sent));
            }
        });
        connect(m_running, &RunningServer::sendingDone, this, &RunningServerDialog::showSent);
    }
    m_send->setEnabled(false);
    m_state->setText(u"Reading the server at %1\u2026"_s.arg(address->shown()));
    m_running->readStatus();
}

QString RunningServerDialog::coloured(const QString &text) const
{
    const QColor base = palette().color(QPalette::Base);
    const QList<ConsoleReader::ColourRun> runs = ConsoleReader::colourRunsOf(text);
    QString html;
    qsizetype at = 0;
    for (const ConsoleReader::ColourRun &run : runs) {
        html += text.sliced(at, run.span.start - at).toHtmlEscaped();
        const QTextCharFormat format = ScriptHighlighter::codeFormat(run.colour, base);
        QString style = u"color:%1;"_s.arg(format.foreground().color().name());
        if (format.background().style() != Qt::NoBrush)
            style += u"background-color:%1;"_s.arg(format.background().color().name());
        html += u"<span style=\"%1\">%2</span>"_s.arg(
            style, text.sliced(run.span.start, run.span.length).toHtmlEscaped());
        at = run.span.end();
    }
    return html + text.sliced(at).toHtmlEscaped();
}

void RunningServerDialog::showStatus(const RunningServer::Status &status)
{
    QString said = u"<b>%1</b><br>Map %2, gametype %3"_s.arg(coloured(status.value(u"sv_hostname"_s)),
        coloured(status.value(u"mapname"_s)), coloured(status.value(u"g_gametype"_s)));
    // The game says pswrd, newer servers g_needpass.
    if (status.value(u"pswrd"_s) == u"1"_s || status.value(u"g_needpass"_s) == u"1"_s)
        said += u", a password to join"_s;
    said += status.players.isEmpty() ? u"; no players."_s : u"; players:"_s;
    for (const ReplyReader::Player &player : status.players) {
        said += u"<br>&nbsp;&nbsp;%1 (score %2, %3)"_s.arg(coloured(player.name))
                    .arg(player.score)
                    .arg(player.ping == 999 ? u"connecting"_s : u"ping %1"_s.arg(player.ping));
    }
    m_server->setText(said);
    m_statusHeld = HeldValues::fromInfo(status.info);
    if (m_password->text().isEmpty())
        return showHeld({});
    m_running->setPassword(m_password->text());
    m_running->readHeld(scriptSettings());
}

void RunningServerDialog::showHeld(const HeldValues::HeldByName &read)
{
    HeldValues::HeldByName held = m_statusHeld;
    held.insert(read);
    m_shown = HeldValues::differences(scriptSettings(), held);
    m_differences->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const HeldValues::Difference &difference = m_shown[row];
        QString server = difference.held.exists ? difference.held.value : u"(none)"_s;
        if (difference.held.latched)
            server += u"  (latched: %1 from the next map)"_s.arg(*difference.held.latched);
        const QString cells[] = { difference.setting.name, difference.setting.value, server };
        for (int column = 0; column < ColumnCount; ++column)
            m_differences->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_differences->resizeColumnsToContents();
    const QString compared = m_password->text().isEmpty()
        ? u"Without a password only the variables of the status reply were compared."_s
        : u"Every variable the script sets was compared."_s;
    m_state->setText(m_shown.isEmpty()
            ? u"The server holds every setting the script makes. "_s + compared
            : u"The server holds %1 otherwise. "_s.arg(Wording::counted(m_shown.size(), u"setting", u"settings"))
                + compared);
    m_send->setEnabled(!m_password->text().isEmpty() && !m_shown.isEmpty());
    m_editorPage->compareWithServer(std::make_shared<const HeldValues::HeldByName>(held));
}

// Closing the progress window tells canceled(), which only the Cancel button may.
void RunningServerDialog::closeProgress()
{
    if (!m_progress)
        return;
    disconnect(m_progress, nullptr, this, nullptr);
    m_progress->close();
}

void RunningServerDialog::showFailure(RunningServer::Failure failure)
{
    closeProgress();
    m_state->setText(ServerCommands::failureSentence(failure, m_asked, m_running ? m_running->link() : nullptr));
}

void RunningServerDialog::sendChanges()
{
    QList<HeldValues::Setting> changes;
    QStringList commands;
    for (const HeldValues::Difference &difference : std::as_const(m_shown)) {
        if (difference.held.latched == difference.setting.value)
            continue; // it waits for the next map already
        changes.append(difference.setting);
        commands << RunningServer::commandOf(difference.setting);
    }
    if (changes.isEmpty() || !m_running)
        return;
    auto *question = new QMessageBox(QMessageBox::Question, u"Send Changes"_s,
        u"Send %1 to the server at %2?"_s.arg(
            Wording::counted(changes.size(), u"command", u"commands"), m_asked.shown()),
        QMessageBox::Yes | QMessageBox::Cancel, this);
    question->setObjectName(u"sendQuestion"_s);
    // The list in full below its button; its start in sight, so a long one keeps the box on the screen.
    constexpr qsizetype shown = 15;
    QString listed = commands.first(std::min(shown, commands.size())).join(u'\n');
    if (commands.size() > shown)
        listed += u"\n\u2026 and %1 more"_s.arg(commands.size() - shown);
    question->setInformativeText(listed + u"\n\nThe remote console sends the password in clear text."_s);
    question->setDetailedText(commands.join(u'\n'));
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this, changes](int result) {
        if (result == QMessageBox::Yes)
            startSending(changes);
    });
    question->open();
}

void RunningServerDialog::startSending(const QList<HeldValues::Setting> &changes)
{
    m_progress = new QProgressDialog(u"Sending the changes\u2026"_s, u"Cancel"_s, 0, int(changes.size()), this);
    m_progress->setObjectName(u"sendProgress"_s);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        m_running->cancel();
        closeProgress();
        m_sentSays->setText(u"Sending was cancelled; what was sent before stays sent."_s);
        readServer(); // what the server holds now
    });
    m_progress->open();
    m_send->setEnabled(false);
    m_running->send(changes);
}

void RunningServerDialog::showSent(const QList<RunningServer::Sent> &sent)
{
    closeProgress();
    QStringList said;
    for (const RunningServer::Sent &one : sent)
        said << ServerCommands::sentSentence(one);
    m_sentSays->setText(said.join(u'\n'));
    readServer(); // what the server holds now
}
