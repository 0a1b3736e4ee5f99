#pragma once

#include "ui/CNxImages.h"

#include <QSlider>

// The volume slider: a thin channel (image 407, filled part frame 1, rest frame 0) and a round
// thumb (image 406) that shows only while the mouse is over the slider's band. Presses outside
// the band (channel width by thumb height) do not reach the slider.
class CKelvoSliderCtrl : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    explicit CKelvoSliderCtrl(QWidget* parent = nullptr, int commandId = 0);

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }
    // The extent the thumb travels in: the channel runs from half of it to width minus half.
    void SetThumbLength(int length);
    int ThumbLength() const { return m_thumbLength; }
    bool IsHot() const { return m_hot; }

    // Geometry, from the current size and value.
    int ChannelLeft() const;
    int ChannelRight() const; // exclusive
    int ChannelTop() const;
    int ChannelHeight() const;
    QRect ThumbRect() const;
    QRect Band() const;
    // The x where the filled part ends.
    int SplitX() const;
    int ValueAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHot(bool hot);

    int m_commandId = 0;
    int m_thumbLength = 28;
    CNxImages m_thumb;
    CNxImages m_channel;
    bool m_hot = false;
    bool m_dragging = false;
};
