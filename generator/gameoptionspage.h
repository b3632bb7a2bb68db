#pragma once

#include "generator/settingspage.h"

class OpenedScript;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ScriptWriter;
class ValueCatalogue;

// Votes page: which kinds of vote players may call. It has no tab; the
// "Allowed Votes" button of the Game Options page opens it.
class VotesPage : public SettingsPage {
    Q_OBJECT

public:
    explicit VotesPage(QWidget *parent = nullptr);

    // One line per box, whatever the Game Options page says about voting.
    void writeVoteLines(ScriptWriter &out) const;
    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkKick = nullptr;
    QCheckBox *chkMap = nullptr;
    QCheckBox *chkRestart = nullptr;
    QCheckBox *chkRotate = nullptr;
    QCheckBox *chkBan = nullptr;
    QCheckBox *chkGG = nullptr;
    QCheckBox *chkTeam = nullptr;
    QCheckBox *chkFF = nullptr;
    QCheckBox *chkKK = nullptr;

protected:
    void buildControls() override;
    // Nothing: the vote lines stand in the Game Options section.
    void writeLines(ScriptWriter &) const override { }
};

// Game Options page: game-play rules; its section carries the vote lines.
class GameOptionsPage : public SettingsPage {
    Q_OBJECT

public:
    // `votes`: the page whose lines this section writes.
    GameOptionsPage(VotesPage *votes, QWidget *parent = nullptr);

    VotesPage *votes() const { return m_votes; }

    void takeValues(OpenedScript &script) override;
    // What each variable the page writes accepts, from its tables alone.
    static void declareValues(ValueCatalogue &values);

private:
    // The tables the page is built, written and read from: they name its controls.
    struct Tables;

    QCheckBox *chkGametype = nullptr;
    QRadioButton *gt1 = nullptr;
    QRadioButton *gt2 = nullptr;
    QRadioButton *gt3 = nullptr;
    QRadioButton *gt4 = nullptr;
    QRadioButton *gt5 = nullptr;
    QRadioButton *gt6 = nullptr;

    QCheckBox *chkAllowVote = nullptr;
    QRadioButton *rbAV1 = nullptr;
    QRadioButton *rbAV0 = nullptr;
    QPushButton *Button2 = nullptr;

    QCheckBox *chkDrawti = nullptr;
    QRadioButton *rbDF1 = nullptr;
    QRadioButton *rbDF0 = nullptr;

    QCheckBox *chkForceRespawn = nullptr;
    QRadioButton *rbFR11 = nullptr;
    QRadioButton *rbFR00 = nullptr;

    QCheckBox *chkDead = nullptr;
    QRadioButton *rbD1 = nullptr;
    QRadioButton *rbD0 = nullptr;

    QCheckBox *chkFriendlyFire = nullptr;
    QRadioButton *rbFF0 = nullptr;
    QRadioButton *rbFF1 = nullptr;
    QRadioButton *rbFF2 = nullptr;
    QRadioButton *rbFF3 = nullptr;

    QCheckBox *chkKillcam = nullptr;
    QRadioButton *rbKK1 = nullptr;
    QRadioButton *rbKK0 = nullptr;

    QCheckBox *chkFreelook = nullptr;
    QRadioButton *rbFL1 = nullptr;
    QRadioButton *rbFL0 = nullptr;

    QCheckBox *chkSpectateenemy = nullptr;
    QRadioButton *rbSE1 = nullptr;
    QRadioButton *rbSE0 = nullptr;

    QCheckBox *chkMaxDiff = nullptr;
    QLineEdit *edMaxDiff = nullptr;

    QCheckBox *chkPenalty = nullptr;
    QRadioButton *rbP1 = nullptr;
    QRadioButton *rbP0 = nullptr;

Q_SIGNALS:
    void allowedVotesRequested();

private:
    VotesPage *const m_votes;

protected:
    void buildControls() override;
    void writeLines(ScriptWriter &out) const override;
};
