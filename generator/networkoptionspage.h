#pragma once

#include <QWidget>

class ScriptWriter;

// Network Options page: its controls, their start values and hints, and its section of the script.
class NetworkOptionsPage : public QWidget
{
    Q_OBJECT

public:
    explicit NetworkOptionsPage(QWidget *parent = nullptr);

    void writeSection(ScriptWriter &out) const;
};
