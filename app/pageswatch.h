#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Tells whether the settings pages still write the script the editor was made
// from. After "Finish!" or Open the pages stay editable while the editor keeps
// what was written; this compares what the pages write now with what they
// wrote then, once for all the controls that changed in one turn of the event
// loop, and only while there is such a script. Whether values were typed since
// (changed()) is asked of the script last made, or of the pages' start values
// before any.
class PagesWatch : public QObject {
    Q_OBJECT

public:
    // `write` gives the script the pages write now.
    explicit PagesWatch(std::function<QString()> write, QObject *parent = nullptr);

    // The editor's script was made from `pages` as they are now.
    void remember(const QList<QWidget *> &pages);
    // The pages hold their start values; no script was made from them.
    void rememberStart();
    // The editor holds no script made from the pages.
    void forget();

    bool differs() const { return m_differs; }
    // Whether the pages write another script than when last remembered.
    bool changed() const { return m_madeFrom && m_write() != *m_madeFrom; }

Q_SIGNALS:
    void differsChanged(bool differs);

private:
    void watch(const QList<QWidget *> &pages);
    void controlChanged();
    void compare();
    void setDiffers(bool differs);

    const std::function<QString()> m_write;
    std::optional<QString> m_madeFrom;
    bool m_remembering = false;
    bool m_watching = false;
    bool m_comparing = false; // a comparison waits for the event loop
    bool m_differs = false;
};
