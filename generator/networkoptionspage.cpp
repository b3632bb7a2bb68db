#include "generator/networkoptionspage.h"

#include "generator/pagekit.h"
#include "script/scriptwriter.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Page = NetworkOptionsPage;

struct EditRow {
    QCheckBox *Page::*include;
    const char *includeName;
    bool included;
    const char *labelName;
    QStringView caption;
    QStringView hint;
    QLineEdit *Page::*edit;
    const char *editName;
    QStringView text;
    QStringView cvar;
};

// Top to bottom, which is also the order of the script.
const EditRow leftRows[] = {
    { &Page::chkIP, "chkIP", true, "Label42", u"Server IP:", u"IP to listen on for multihomed servers. (net_ip)",
        &Page::edIP, "edIP", u"", u"net_ip" },
    { &Page::chkPort, "chkPort", true, "Label43", u"Server Port:", u"Port to listen on. (net_port)", &Page::edPort,
        "edPort", u"28950", u"net_port" },
    { &Page::chkRate, "chkRate", true, "Label44", u"Max Rate:", u"Maximum data transfer rate to players. (sv_maxRate)",
        &Page::edRate, "edRate", u"0", u"sv_maxrate" },
    { &Page::chkMp, "chkMp", true, "Label45", u"Max Ping:",
        u"Maximum ping allowed before players are kicked. (sv_maxPing)", &Page::edMp, "edMp", u"0", u"sv_maxping" },
    { &Page::chkMip, "chkMip", true, "Label46", u"Min Ping:",
        u"Minimum ping allowed before players are kicked. (sv_minPing)", &Page::edMip, "edMip", u"0", u"sv_minping" },
    { &Page::chkMaster, "chkMaster", false, "Label99", u"Master Server:",
        u"The master server the server details are sent to. (sv_master1)", &Page::edMaster, "edMaster",
        Page::defaultMasterServer, u"sv_master1" },
};
constexpr int leftFirstTop = 64;
constexpr int leftRowStep = 40;

const QString wwwDownloadHint = u"Server download redirection. (sv_wwwDownload)"_s;

// The download block below the "WWW Download:" row, top to bottom.
const EditRow downloadRows[] = {
    { &Page::chkBaseurl, "chkBaseurl", false, "Label104", u"Base URL:",
        u"Base directory where the files are stored (e.g. http://www.example.com/bravenmark/) (sv_wwwBaseURL)",
        &Page::edBaseurl, "edBaseurl", u"", u"sv_wwwBaseURL" },
    { &Page::chkDlD, "chkDlD", false, "Label103", u"Download Disconnected:",
        u"Prevent clients from taking up a slot on the server while downloading. (sv_wwwDlDisconnected)", &Page::edDlD,
        "edDlD", u"", u"sv_wwwDlDisconnected" },
};
constexpr int downloadFirstTop = 104;
constexpr int downloadRowStep = 48;

} // namespace

NetworkOptionsPage::NetworkOptionsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TabSheet3"_s);
    PageKit::headingStrip(this, "Label5", u"Network Options"_s, u"Network Options"_s);
    PageKit::band(this, { 368, 56, 9, 225 });

    auto addRow = [this](const EditRow &row, int top, int includeX, int labelRight, int editX, int editWidth) {
        const QString hint = row.hint.toString();
        PageKit::band(this, { editX - 8, top - 8, editWidth + 16, 33 });
        this->*row.include = PageKit::includeBox(this, row.includeName, { includeX, top }, row.included);
        QLabel *label = PageKit::rowLabel(this, row.labelName, row.caption.toString(), labelRight, top, hint);
        this->*row.edit
            = PageKit::flatEdit(this, row.editName, { editX, top - 3, editWidth, 19 }, row.text.toString(), hint);
        PageKit::nameRow(label, this->*row.include, this->*row.edit);
    };
    int top = leftFirstTop;
    for (const EditRow &row : leftRows) {
        addRow(row, top, 8, 100, 120, 225);
        top += leftRowStep;
    }

    PageKit::band(this, { 440, 56, 321, 33 });
    Label102 = PageKit::boldLabel(this, "Label102", u"Downloads (if allowed)"_s, { 448, 64 }, Qt::black);

    top = downloadFirstTop;
    PageKit::band(this, { 584, top - 8, 177, 33 });
    chkWWW = PageKit::includeBox(this, "chkWWW", { 440, top }, false);
    PageKit::nameRow(
        PageKit::rowLabel(this, "Label105", u"WWW Download:"_s, 579, top, wwwDownloadHint), chkWWW, nullptr);
    // At 17 x 17 the caption is cut off: only the box shows.
    chkWWWs = new QCheckBox(u"chkWWWs"_s, this);
    chkWWWs->setObjectName(u"chkWWWs"_s);
    chkWWWs->setGeometry(592, top, 17, 17);
    chkWWWs->setAutoFillBackground(true);
    QPalette highlight = chkWWWs->palette();
    highlight.setColor(QPalette::Window, systemColor(SystemColor::Highlight));
    chkWWWs->setPalette(highlight);
    PageKit::setHint(chkWWWs, wwwDownloadHint);
    for (const EditRow &row : downloadRows) {
        top += downloadRowStep;
        addRow(row, top, 440, 579, 592, 161);
    }

    PageKit::picture(this, { 720, 312, 33, 41 }, u":/art/corner-network.png"_s);

    PageKit::setTabOrder({ chkIP, chkPort, chkRate, chkMp, chkMip, edIP, edPort, edMip, edMp, edRate, edMaster,
        chkMaster, chkBaseurl, chkWWW, edBaseurl, chkDlD, edDlD, chkWWWs });
}

void NetworkOptionsPage::writeSection(ScriptWriter &out) const
{
    out.comment(u"//Network Options"_s);
    for (const EditRow &row : leftRows) {
        if ((this->*row.include)->isChecked())
            out.valueLine(row.cvar, (this->*row.edit)->text());
    }
    if (chkWWW->isChecked())
        out.fixedLine(u"sv_wwwDownload", chkWWWs->isChecked() ? u"1" : u"0");
    for (const EditRow &row : downloadRows) {
        if ((this->*row.include)->isChecked())
            out.valueLine(row.cvar, (this->*row.edit)->text());
    }
    out.comment(u"//"_s);
}
