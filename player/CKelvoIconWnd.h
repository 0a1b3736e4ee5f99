#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

// The play/pause icon that flashes over the picture and fades out. It is a top-level window of
// its own because the engine draws the picture into a native window, over which no child
// widget of ours would show; it lets every mouse event through to what lies below.
class CKelvoIconWnd final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoIconWnd)

public:
    static constexpr int kFadeTimerId = 19;
    static constexpr int kFadeStepMs = 25;
    static constexpr int kAlphaStep = 6;

    // `owner` keeps the window above its own top-level window and destroys it with itself.
    explicit CKelvoIconWnd(QWidget* owner = nullptr);

    // Shows the skin image `imageId` centred on `screenRect` at full opacity and starts the fade.
    // A second call while fading restarts it with the new image.
    bool ShowImage(const QRect& screenRect, int imageId);
    // Moves the window (no resize) so that its image is centred on `screenRect`.
    void CentreOn(const QRect& screenRect);

    int ImageId() const { return m_imageId; }
    int Alpha() const { return m_alpha; }
    bool IsFading() const { return m_fade.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPixmap m_image;
    int m_imageId = 0;
    int m_alpha = 255;
    QBasicTimer m_fade;
};
