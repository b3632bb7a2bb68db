#pragma once

#include <QWidget>

class ScriptWriter;

// Server Information page: its controls, their start values and hints, and its section of the script.
class ServerInfoPage : public QWidget
{
    Q_OBJECT

public:
    explicit ServerInfoPage(QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;

Q_SIGNALS:
    // "Click here to test colors": the window opens the colour tester page.
    void colourTesterRequested();
};
