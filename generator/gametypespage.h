#pragma once

#include <QWidget>

class ScriptWriter;

// Gametypes Configuration page: its controls, their start values and hints, and its section of the script.
class GametypesPage : public QWidget
{
    Q_OBJECT

public:
    explicit GametypesPage(QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;
};
