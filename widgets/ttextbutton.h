#pragma once

#include <QAbstractButton>

// A push button whose face shows only a plain-text caption. It is drawn by the
// application's style, or in the classic raised look under the plain "Windows"
// style, and greys its caption out engraved while disabled.
class TTextButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class DrawState { Normal, Hot, Pressed, Disabled };

    explicit TTextButton(const QString &caption = {}, QWidget *parent = nullptr);

    QColor faceColor() const;
    void setFaceColor(const QColor &color);

    DrawState drawState() const;
    bool isHovered() const { return m_hovered; }

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void paintThemed(QPainter &painter);
    void paintClassic(QPainter &painter);
    void paintCaption(QPainter &painter, const QRect &area);

    QColor m_faceColor;
    bool m_hovered = false;
};
