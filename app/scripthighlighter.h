#pragma once

#include "app/execlimit.h"
#include "gamefolder/scriptchecks.h"
#include "liveserver/heldvalues.h"
#include "script/consolereader.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <memory>

class QPalette;

// Colours a script in the editor as the game will read it: quiet colours for
// comments, command words, names and quoted values, the colours of "^n" codes
// in names and messages, and a wavy underline where the game reads the text
// differently from how it looks. Only the display changes, never the text.
class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    // The colours are chosen to stay legible on `palette`'s base colour.
    ScriptHighlighter(QTextDocument *document, const QPalette &palette);
    ~ScriptHighlighter() override;

    // Chooses the colours anew, for a theme that changed.
    void usePalette(const QPalette &palette);

    // Reads the values of the variables in `values` as the game reads them.
    void readValuesBy(const ValueCatalogue &values);

    // Reads the script as it runs on the server of `folder`, where it lies at
    // `scriptPath` (none before it is saved): see ScriptChecks. None for no folder.
    void checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder, const QString &scriptPath = {});
    // The checks the document is read with.
    const ScriptChecks &checks() const { return m_checks; }

    // The document's size against what one exec takes; the line it goes past
    // that on is marked from there.
    const ExecLimit &limit() const { return *m_limit; }

    // A line of the document as the game reads it, with the marks the lines
    // after it give it and the mark of the exec limit when the limit falls on
    // this line.
    ConsoleReader::Reading readingOf(const QTextBlock &block) const;

    // Marks each setting the running server holds otherwise (see ServerCommands); none for no server.
    void compareWithServer(std::shared_ptr<const HeldValues::HeldByName> held);

    // How the editor shows a "^n" colour code's text on the base colour `base`.
    static QTextCharFormat codeFormat(int code, const QColor &base);

    // Contrast ratio of two colours, 1 (none) to 21 (black on white).
    static double contrast(const QColor &a, const QColor &b);

protected:
    void highlightBlock(const QString &text) override;

private:
    void mergeFormat(qsizetype start, qsizetype length, const QTextCharFormat &overlay);
    void limitMoved(qsizetype from, qsizetype to);
    void followLines(int position, int removed, int added);
    void redrawMarked();

    ExecLimit *const m_limit;
    QMetaObject::Connection m_following[2];
    ScriptChecks m_checks;
    QList<qsizetype> m_marksMoved; // lines to draw anew once the change is done
    std::shared_ptr<const HeldValues::HeldByName> m_held;
    QColor m_base;
    QTextCharFormat m_comment;
    QTextCharFormat m_command;
    QTextCharFormat m_name;
    QTextCharFormat m_quoted;
    QTextCharFormat m_mark;
    QTextCharFormat m_codeColours[8];
};
