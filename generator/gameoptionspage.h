#pragma once

#include <QWidget>

class QPushButton;
class ScriptWriter;

// Votes page: which kinds of vote players may call. It has no tab; the
// "Allowed Votes" button of the Game Options page opens it.
class VotesPage : public QWidget
{
    Q_OBJECT

public:
    explicit VotesPage(QWidget *parent = nullptr);

    void writeVoteLines(ScriptWriter &out) const;
};

// Game Options page: game-play rules; its section carries the vote lines.
class GameOptionsPage : public QWidget
{
    Q_OBJECT

public:
    GameOptionsPage(const VotesPage *votes, QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;

    QPushButton *Button2 = nullptr;

Q_SIGNALS:
    void allowedVotesRequested();

private:
    const VotesPage *const m_votes;
};
