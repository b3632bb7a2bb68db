#pragma once

#include <QWidget>

class ScriptWriter;

// Allowed Weapons page: its controls, their start values and hints, and its section of the script.
class WeaponsPage : public QWidget
{
    Q_OBJECT

public:
    explicit WeaponsPage(QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;
};
