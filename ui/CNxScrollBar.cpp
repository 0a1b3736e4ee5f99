#include "ui/CNxScrollBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTransform>

namespace {

// Frames of the strip.
enum Frame
{
    DownArrow = 0,
    DownArrowPressed = 1,
    DownArrowHot = 2,
    UpArrow = 3,
    UpArrowPressed = 4,
    UpArrowHot = 5,
    ThumbNormal = 6,
    ThumbDragged = 7,
    ThumbHot = 8,
    TrackFrame = 9
};

} // namespace

CNxScrollBar::Layout CNxScrollBar::ComputeLayout(QSize space, QSize frame, int minimum, int maximum, int page,
                                                 int position)
{
    Layout l;
    const int width = space.width();
    const int length = space.height();
    const int arrow = frame.height();
    l.firstArrow = QRect(0, 0, width, qMin(arrow, length / 2));
    l.secondArrow = QRect(0, length - l.firstArrow.height(), width, l.firstArrow.height());
    const int trackTop = l.firstArrow.height() + kGap;
    const int trackLength = qMax(0, length - 2 * (l.firstArrow.height() + kGap));
    l.track = QRect(0, trackTop, width, trackLength);
    if (maximum < page || trackLength <= 0) {
        return l;
    }
    const qint64 span = qint64(maximum) - minimum + 1;
    int thumbLength = span > 0 ? int(qint64(page) * trackLength / span) : trackLength;
    thumbLength = qMin(trackLength, qMax(kMinThumb, thumbLength));
    const qint64 positions = qint64(maximum) - page - minimum + 1;
    int offset = 0;
    if (positions > 0) {
        const qint64 rel = qBound<qint64>(0, qint64(position) - minimum, positions);
        offset = int(rel * (trackLength - thumbLength) / positions);
    }
    const int thumbWidth = qMin(width, frame.width());
    l.thumb = QRect((width - thumbWidth) / 2, trackTop + offset, thumbWidth, thumbLength);
    return l;
}

int CNxScrollBar::PositionForThumbOffset(int offset, int trackLength, int thumbLength, int minimum,
                                         int maximum, int page)
{
    const int room = trackLength - thumbLength;
    if (room <= 0) {
        return minimum;
    }
    const qint64 positions = qint64(maximum) - page - minimum + 1;
    const qint64 clamped = qBound(0, offset, room);
    return minimum + int(qMax<qint64>(0, positions) * clamped / room);
}

CNxScrollBar::CNxScrollBar(Qt::Orientation orientation, QWidget* parent, int imageId)
    : QWidget(parent), m_vertical(orientation == Qt::Vertical)
{
    m_images.SetFrameSize(QSize(14, 19));
    m_images.Load(imageId);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    const int t = Thickness();
    if (m_vertical) {
        setFixedWidth(t);
    } else {
        setFixedHeight(t);
    }
    RecalcLayout();
}

CNxScrollBar::~CNxScrollBar() = default;

int CNxScrollBar::Thickness() const
{
    return m_images.FrameSize().isValid() ? m_images.FrameSize().width() : 14;
}

QSize CNxScrollBar::LengthSpaceSize() const
{
    return m_vertical ? size() : size().transposed();
}

QRect CNxScrollBar::ToWidget(const QRect& r) const
{
    return m_vertical ? r : QRect(r.y(), r.x(), r.height(), r.width());
}

QPoint CNxScrollBar::ToLength(QPoint p) const
{
    return m_vertical ? p : QPoint(p.y(), p.x());
}

void CNxScrollBar::RecalcLayout()
{
    m_layout = ComputeLayout(LengthSpaceSize(), m_images.FrameSize(), m_min, m_max, m_page, m_pos);
    setEnabled(!m_layout.thumb.isEmpty());
    update();
}

void CNxScrollBar::PlaceThumb(int position)
{
    const Layout l = ComputeLayout(LengthSpaceSize(), m_images.FrameSize(), m_min, m_max, m_page, position);
    m_layout.thumb = l.thumb;
}

QRect CNxScrollBar::PartRect(Part part) const
{
    switch (part) {
    case Thumb:
        return ToWidget(m_layout.thumb);
    case FirstArrow:
        return ToWidget(m_layout.firstArrow);
    case SecondArrow:
        return ToWidget(m_layout.secondArrow);
    case TrackBefore: {
        const QRect t = m_layout.track;
        const int end = m_layout.thumb.isEmpty() ? t.top() : m_layout.thumb.top();
        return ToWidget(QRect(t.left(), t.top(), t.width(), end - t.top()));
    }
    case TrackAfter: {
        const QRect t = m_layout.track;
        const int start = m_layout.thumb.isEmpty() ? t.top() : m_layout.thumb.top() + m_layout.thumb.height();
        return ToWidget(QRect(t.left(), start, t.width(), t.top() + t.height() - start));
    }
    case None:
        break;
    }
    return QRect();
}

CNxScrollBar::Part CNxScrollBar::PartAt(QPoint pos) const
{
    const QPoint p = ToLength(pos);
    if (!QRect(QPoint(0, 0), LengthSpaceSize()).contains(p)) {
        return None;
    }
    if (m_layout.firstArrow.contains(p)) {
        return FirstArrow;
    }
    if (m_layout.secondArrow.contains(p)) {
        return SecondArrow;
    }
    if (!m_layout.thumb.isEmpty()) {
        // the thumb answers across the bar's full width, not only over its drawn width
        if (p.y() >= m_layout.thumb.top() && p.y() < m_layout.thumb.top() + m_layout.thumb.height()) {
            return Thumb;
        }
        if (p.y() < m_layout.thumb.top() && p.y() >= m_layout.track.top()) {
            return TrackBefore;
        }
        if (p.y() >= m_layout.thumb.top() + m_layout.thumb.height() &&
            p.y() < m_layout.track.top() + m_layout.track.height()) {
            return TrackAfter;
        }
    }
    return None;
}

void CNxScrollBar::SetScrollInfo(int minimum, int maximum, int page, int position, bool redraw)
{
    const bool geometryChanged = minimum != m_min || maximum != m_max || page != m_page;
    m_min = minimum;
    m_max = qMax(minimum, maximum);
    m_page = qMax(0, page);
    m_pos = qBound(m_min, position, qMax(m_min, m_max - m_page + 1));
    if (geometryChanged) {
        const QRect dragged = m_layout.thumb;
        RecalcLayout();
        if (m_dragging) {
            m_layout.thumb.moveTop(dragged.top());
        }
    }
    if (!m_dragging) {
        PlaceThumb(m_pos);
    }
    if (redraw) {
        update();
    }
}

void CNxScrollBar::SetScrollPos(int position, bool redraw)
{
    SetScrollInfo(m_min, m_max, m_page, position, redraw);
}

bool CNxScrollBar::Step(Part part)
{
    int target = m_pos;
    int code = LineUp;
    switch (part) {
    case FirstArrow:
        target = m_pos - 1;
        code = LineUp;
        break;
    case SecondArrow:
        target = m_pos + 1;
        code = LineDown;
        break;
    case TrackBefore:
        target = m_pos - m_page;
        code = PageUp;
        break;
    case TrackAfter:
        target = m_pos + m_page;
        code = PageDown;
        break;
    default:
        return false;
    }
    target = qBound(m_min, target, m_max);
    if (target == m_pos) {
        return false;
    }
    emit scrolled(code, target);
    PlaceThumb(m_pos);
    update();
    return true;
}

void CNxScrollBar::resizeEvent(QResizeEvent*)
{
    RecalcLayout();
    PlaceThumb(m_pos);
}

void CNxScrollBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    using HA = CNxImages::HAlign;
    using VA = CNxImages::VAlign;
    if (!m_vertical) {
        // horizontal bars draw the vertical frames transposed, so arrows point left and right
        p.setTransform(QTransform(0, 1, 1, 0, 0, 0));
    }
    const QSize space = LengthSpaceSize();
    m_images.Draw(p, QRect(QPoint(0, 0), space), TrackFrame, HA::Stretch, VA::Stretch);
    const bool enabled = isEnabled();
    if (enabled && !m_layout.thumb.isEmpty()) {
        const int frame = m_dragging ? ThumbDragged : (m_hot == Thumb ? ThumbHot : ThumbNormal);
        m_images.Draw(p, m_layout.thumb, frame, HA::Stretch, VA::Stretch);
    }
    const auto arrowFrame = [&](Part part, int normal, int pressed, int hot) {
        if (!enabled) {
            return normal;
        }
        if (m_hot == part && m_pressed && m_pressedPart == part) {
            return pressed;
        }
        return m_hot == part ? hot : normal;
    };
    m_images.Draw(p, m_layout.firstArrow, arrowFrame(FirstArrow, UpArrow, UpArrowPressed, UpArrowHot),
                  HA::Stretch, VA::Stretch);
    m_images.Draw(p, m_layout.secondArrow, arrowFrame(SecondArrow, DownArrow, DownArrowPressed, DownArrowHot),
                  HA::Stretch, VA::Stretch);
}

void CNxScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_lastMouse = event->position().toPoint();
    const Part part = PartAt(m_lastMouse);
    m_pressed = true;
    m_pressedPart = part;
    m_hot = part;
    if (part == Thumb) {
        m_dragging = true;
        m_trackPos = m_pos;
        m_dragOffset = ToLength(event->position().toPoint()).y() - m_layout.thumb.top();
    } else if (Step(part)) {
        m_repeatFast = false;
        StartRepeat(kRepeatFirstMs);
    }
    update();
}

void CNxScrollBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CNxScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_lastMouse = pos;
    if (m_dragging) {
        const QRect track = m_layout.track;
        const int thumbLength = m_layout.thumb.height();
        const int room = track.height() - thumbLength;
        if (room <= 0) {
            return; // the thumb fills the track: nothing to drag
        }
        const int top = qBound(track.top(), ToLength(pos).y() - m_dragOffset, track.top() + room);
        m_layout.thumb.moveTop(top);
        const int position =
            PositionForThumbOffset(top - track.top(), track.height(), thumbLength, m_min, m_max, m_page);
        if (position != m_trackPos) {
            m_trackPos = position;
            emit scrolled(ThumbTrack, position);
        }
        update();
        return;
    }
    if (!m_hoverTracking && !m_pressed) {
        return;
    }
    const Part part = PartAt(pos);
    if (part != m_hot) {
        m_hot = part;
        update();
    }
}

void CNxScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        return;
    }
    m_repeat.stop();
    const bool wasDragging = m_dragging;
    m_pressed = false;
    m_dragging = false;
    m_pressedPart = None;
    if (wasDragging) {
        emit scrolled(ThumbPosition, m_trackPos);
        PlaceThumb(m_pos);
    }
    emit scrolled(EndScroll, m_pos);
    m_hot = PartAt(event->position().toPoint());
    update();
}

void CNxScrollBar::leaveEvent(QEvent*)
{
    if (!m_pressed && m_hot != None) {
        m_hot = None;
        update();
    }
}

void CNxScrollBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_repeat.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (!m_repeatFast) {
        m_repeatFast = true;
        StartRepeat(kRepeatNextMs);
    }
    // The repeat pauses while the cursor is off the pressed part and resumes when it returns;
    // paging moves the thumb, so the part under the cursor is looked up afresh each tick.
    m_hot = PartAt(m_lastMouse);
    if (m_hot == m_pressedPart) {
        Step(m_pressedPart);
    }
}

void CNxScrollBar::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

void CNxScrollBar::hideEvent(QHideEvent*)
{
    ResetInput();
}

void CNxScrollBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        ResetInput();
    }
    QWidget::changeEvent(event);
}

void CNxScrollBar::StartRepeat(int ms)
{
    m_repeatMs = ms;
    m_repeat.start(ms, this);
}

void CNxScrollBar::ResetInput()
{
    m_repeat.stop();
    m_pressed = false;
    m_dragging = false;
    m_pressedPart = None;
    m_hot = None;
    PlaceThumb(m_pos);
    update();
}
