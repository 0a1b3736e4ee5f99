#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

// The image-and-text button (radios and image buttons of the player, guide, schedule edit and
// settings views): an image at the left of the text, a hot and a checked image, three text
// colours, optionally transparent (the parent shows through) and borderless.
class CNxButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    static constexpr int kSpacing = 6;

    explicit CNxButton(QWidget* parent = nullptr, int commandId = 0);

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }

    // Image ids; 0 leaves that image unset (the normal one stands in).
    bool SetImage(int normalId, int hotId = 0);
    bool SetCheckedImage(int checkedId, int checkedHotId = 0);
    void SetTextColours(const QColor& normal, const QColor& hot, const QColor& pressed);
    void SetTransparent(bool on)
    {
        m_transparent = on;
        update();
    }
    void SetFlatBorderless(bool on)
    {
        m_borderless = on;
        update();
    }
    void SizeToContent();

    bool IsHot() const { return m_hot; }
    QColor CurrentTextColour() const;
    const QPixmap& CurrentImage() const;

    QSize sizeHint() const override;

signals:
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Focus loss, disabling or hiding ends a mouse press for good: the standard button only
    // lifts it, and moving back inside before the release would press it again and click.
    void CancelPress();

    int m_commandId = 0;
    QPixmap m_image;
    QPixmap m_hotImage;
    QPixmap m_checked;
    QPixmap m_checkedHot;
    QColor m_normal;
    QColor m_hotColour;
    QColor m_pressed;
    bool m_transparent = true;
    bool m_borderless = true;
    bool m_hot = false;
    bool m_mousePress = false;     // a left press of this button is under way
    bool m_pressCancelled = false; // ...and was taken away before its release
};
