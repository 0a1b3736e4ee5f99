#pragma once

#include "ui/CNxImages.h"
#include "ui/KelvoImageTable.h"

#include <QBasicTimer>
#include <QWidget>

// The skin's scroll bar: arrows, track and thumb from one ten-frame strip (image 367). It keeps
// the standard scroll bar's model (range, page, position, track position) and reports the
// standard scroll codes through scrolled(); the list it belongs to (its buddy) answers them.
class CNxScrollBar : public QWidget
{
    Q_OBJECT
public:
    // Codes of the standard scroll messages.
    enum ScrollCode
    {
        LineUp = 0,
        LineDown = 1,
        PageUp = 2,
        PageDown = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Top = 6,
        Bottom = 7,
        EndScroll = 8
    };
    enum Part
    {
        None = 0,
        Thumb = 1,
        FirstArrow = 2,
        SecondArrow = 3,
        TrackBefore = 4,
        TrackAfter = 5
    };
    // The auto-repeat timer of the window system's scroll bars; kept as the id of this one.
    static constexpr int kRepeatTimerId = 28673;
    static constexpr int kRepeatFirstMs = 500;
    static constexpr int kRepeatNextMs = 50;
    static constexpr int kGap = 2;
    static constexpr int kMinThumb = 16;

    // Geometry in "length space": y runs along the bar. A horizontal bar transposes it.
    struct Layout
    {
        QRect firstArrow;
        QRect secondArrow;
        QRect track;
        QRect thumb; // empty when everything fits
    };
    static Layout ComputeLayout(QSize lengthSpace, QSize frame, int minimum, int maximum, int page,
                                int position);
    // The position a thumb offset (from the track start) stands for.
    static int PositionForThumbOffset(int offset, int trackLength, int thumbLength, int minimum, int maximum,
                                      int page);

    explicit CNxScrollBar(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr,
                          int imageId = Kelvo::IDB_SCROLL_BAR);
    ~CNxScrollBar() override;
    Q_DISABLE_COPY_MOVE(CNxScrollBar)

    Qt::Orientation Orientation() const { return m_vertical ? Qt::Vertical : Qt::Horizontal; }
    int Thickness() const;
    void SetHoverTracking(bool on) { m_hoverTracking = on; }

    // The standard requests.
    void SetScrollInfo(int minimum, int maximum, int page, int position, bool redraw = true);
    void SetScrollPos(int position, bool redraw = true);
    int ScrollPos() const { return m_pos; }
    int Minimum() const { return m_min; }
    int Maximum() const { return m_max; }
    int Page() const { return m_page; }
    int TrackPos() const { return m_trackPos; }

    Part HotPart() const { return m_hot; }
    Part PressedPart() const { return m_pressedPart; }
    bool IsDragging() const { return m_dragging; }
    bool IsRepeating() const { return m_repeat.isActive(); }
    // The interval the auto-repeat timer runs with now (ms), 0 when it is not running.
    int RepeatIntervalMs() const { return m_repeat.isActive() ? m_repeatMs : 0; }
    // Current geometry in widget coordinates.
    QRect PartRect(Part part) const;
    Part PartAt(QPoint pos) const;

signals:
    void scrolled(int code, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RecalcLayout();
    void PlaceThumb(int position);
    bool Step(Part part);
    void ResetInput();
    void StartRepeat(int ms);
    QRect ToWidget(const QRect& lengthSpace) const;
    QPoint ToLength(QPoint widget) const;
    QSize LengthSpaceSize() const;

    bool m_vertical = true;
    CNxImages m_images;
    Layout m_layout;
    bool m_hoverTracking = true;
    bool m_pressed = false;
    bool m_dragging = false;
    Part m_hot = None;
    Part m_pressedPart = None;
    QBasicTimer m_repeat;
    bool m_repeatFast = false;
    int m_repeatMs = 0;
    int m_dragOffset = 0;
    QPoint m_lastMouse;
    int m_min = 0;
    int m_max = 0;
    int m_page = 0;
    int m_pos = 0;
    int m_trackPos = 0;
};
