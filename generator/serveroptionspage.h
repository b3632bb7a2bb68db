#pragma once

#include <QWidget>

class ScriptWriter;

// Server Options page: its controls, their start values and hints, and its section of the script.
class ServerOptionsPage : public QWidget
{
    Q_OBJECT

public:
    explicit ServerOptionsPage(QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;
};
