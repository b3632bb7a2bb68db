#pragma once

#include <QWidget>

class QPlainTextEdit;

// The page that shows the generated script for a last touch before saving.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    explicit EditorPage(QWidget *parent = nullptr);

    QPlainTextEdit *const editor;
};
