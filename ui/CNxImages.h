#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

// An image strip of equal frames side by side, loaded from the skin's resources by numeric id.
// Frames are kept as separate pixmaps so that smooth stretching never samples a neighbour.
class CNxImages final
{
public:
    enum class HAlign
    {
        Left,
        Centre,
        Right,
        Stretch
    };
    enum class VAlign
    {
        Top,
        Centre,
        Bottom,
        Stretch
    };

    // Where the pieces of a three-slice drawing go. When the rectangle is not wider than the whole
    // strip, the strip is squeezed into it as one piece instead (`sliced` false, `whole`).
    struct ThreeSlicePlan
    {
        bool sliced = false;
        QRect left;
        QRect middle;
        QRect right;
        QRect whole;
    };

    CNxImages() = default;

    // Resource path of an image id (":/img/<id>.png").
    static QString ResourcePath(int id);

    // Loads the PNG with the given id. With a frame size set beforehand the frame count follows
    // from the bitmap width; otherwise the whole bitmap is one frame.
    bool Load(int id);
    bool LoadImage(const QPixmap& strip);
    // Splits into `count` equal frames (width / count, full height); used for three-slice bars.
    void SetFrameCount(int count);
    void SetFrameSize(QSize size) { m_presetFrameSize = size; }

    bool IsNull() const { return m_strip.isNull(); }
    int Id() const { return m_id; }
    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    QSize FrameSize() const { return m_frameSize; }
    QSize StripSize() const { return m_strip.size(); }
    const QPixmap& Strip() const { return m_strip; }
    const QPixmap& Frame(int index) const;

    // Draws one frame into `target`. Without stretching the frame keeps its own size on that axis
    // and is placed by the alignment. `source` (frame coordinates) crops the frame; `alpha` is a
    // constant opacity on top of the image's own alpha.
    void Draw(QPainter& p, const QRect& target, int frame, HAlign h, VAlign v, const QRect& source = QRect(),
              int alpha = 255) const;
    // Left end, stretched middle, right end; or the squeezed whole strip on narrow rectangles.
    void Draw3Slice(QPainter& p, const QRect& rect, VAlign v) const;

    // Pure geometry behind the drawing calls, kept separate so it can be checked without pixels.
    static QRect PlaceFrame(const QRect& target, QSize frame, HAlign h, VAlign v);
    static ThreeSlicePlan Plan3Slice(int frameCount, QSize frameSize, const QRect& rect, VAlign v);

private:
    void Split(QSize frameSize);

    int m_id = 0;
    QPixmap m_strip;
    QSize m_presetFrameSize;
    QSize m_frameSize;
    std::vector<QPixmap> m_frames;
};
