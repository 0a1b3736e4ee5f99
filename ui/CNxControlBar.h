#pragma once

#include <QSize>
#include <QWidget>

class CNxImages;

// The bars (caption bars, left bar, control bar, SAT information bar): a fixed size taken from
// the background image or the creation rectangle, and painting in two steps, background then
// content. The background image is drawn in three slices when it has three frames, otherwise
// stretched over the bar.
class CNxControlBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    explicit CNxControlBar(QWidget* parent = nullptr);

    virtual QSize CalcFixedLayout(bool stretch, bool horizontal) const;

    // A skin image (not owned) as background; the bar's fixed size becomes the image's height.
    void SetBackgroundImage(const CNxImages* image);
    const CNxImages* BackgroundImage() const { return m_background; }
    void SetFixedBarSize(QSize size)
    {
        m_size = size;
        updateGeometry();
    }

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }
    QSize sizeHint() const override { return m_size; }

protected:
    virtual void DrawBackground(QPainter& p);
    virtual void DrawContent(QPainter& p) { Q_UNUSED(p) }
    void paintEvent(QPaintEvent* event) override;

private:
    int m_commandId = 0;
    QSize m_size;
    const CNxImages* m_background = nullptr;
};
