#pragma once

#include <QWidget>

class ScriptWriter;

// Map Rotation page: the rotation builder and the sv_mapRotation line.
class MapRotationPage : public QWidget
{
    Q_OBJECT

public:
    explicit MapRotationPage(QWidget *parent = nullptr);

    void writeRotationLine(ScriptWriter &out) const;
};
