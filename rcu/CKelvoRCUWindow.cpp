#include "rcu/CKelvoRCUWindow.h"

#include "rcu/KelvoRCUKeys.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>
#include <algorithm>
#include <array>

namespace {

using Look = CKelvoRCUKeyElement::Look;

// Geometry of the remote, in pixels.
constexpr int kMargin = 10;
constexpr int kCaptionHeight = 24;
constexpr int kCaptionGap = 6;
constexpr int kColumnUnit = 14; // one of twelve columns
constexpr int kGap = 6;
constexpr int kKeyHeight = 28;
constexpr int kSlimKeyHeight = 16; // the colour keys
constexpr int kSectionGap = 8;     // extra room above the rows that start a group of keys
constexpr int kCaptionButton = 18;
constexpr int kRows = 11;
constexpr std::array<int, 4> kSectionStarts{1, 5, 8, 10};

constexpr QRgb kBackground = 0xff1c2026;
constexpr QRgb kBorder = 0xff3b424c;
constexpr QRgb kCaptionText = 0xffaab4c0;
constexpr QRgb kKeyFace = 0xff2c323a;
constexpr QRgb kKeyHover = 0xff38404a;
constexpr QRgb kKeyDown = 0xff4a5666;
constexpr QRgb kKeyEdge = 0xff454d58;
constexpr QRgb kKeyText = 0xffe8ecf0;
constexpr QRgb kPower = 0xffe05a4e;
constexpr QRgb kAccent = 0xff3d8fd6;

int RowTop(int row)
{
    const int sections = static_cast<int>(
        std::count_if(kSectionStarts.begin(), kSectionStarts.end(), [row](int s) { return s <= row; }));
    return kMargin + kCaptionHeight + kCaptionGap + row * (kKeyHeight + kGap) + sections * kSectionGap;
}

int KeyHeight(const CKelvoRCUKeyElement& key)
{
    return key.look >= Look::Red ? kSlimKeyHeight : kKeyHeight;
}

QSize WindowSize()
{
    return {2 * kMargin + 12 * kColumnUnit - kGap, RowTop(kRows - 1) + kSlimKeyHeight + kMargin};
}

QColor ColourKey(Look look)
{
    switch (look) {
    case Look::Red:
        return QColor(0xd8, 0x3c, 0x3c);
    case Look::Green:
        return QColor(0x3c, 0xb0, 0x50);
    case Look::Yellow:
        return QColor(0xe0, 0xc0, 0x30);
    default:
        return QColor(0x3c, 0x6c, 0xd8);
    }
}

void DrawArrow(QPainter& p, const QRectF& box, Look look)
{
    const QPointF c = box.center();
    const qreal r = std::min(box.width(), box.height()) * 0.22;
    QPolygonF triangle;
    switch (look) {
    case Look::ArrowUp:
        triangle << QPointF(c.x(), c.y() - r) << QPointF(c.x() + r, c.y() + r * 0.6)
                 << QPointF(c.x() - r, c.y() + r * 0.6);
        break;
    case Look::ArrowDown:
        triangle << QPointF(c.x(), c.y() + r) << QPointF(c.x() - r, c.y() - r * 0.6)
                 << QPointF(c.x() + r, c.y() - r * 0.6);
        break;
    case Look::ArrowLeft:
        triangle << QPointF(c.x() - r, c.y()) << QPointF(c.x() + r * 0.6, c.y() - r)
                 << QPointF(c.x() + r * 0.6, c.y() + r);
        break;
    default:
        triangle << QPointF(c.x() + r, c.y()) << QPointF(c.x() - r * 0.6, c.y() + r)
                 << QPointF(c.x() - r * 0.6, c.y() - r);
        break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(kKeyText));
    p.drawPolygon(triangle);
}

void DrawPower(QPainter& p, const QRectF& box)
{
    const qreal r = std::min(box.width(), box.height()) * 0.26;
    const QRectF ring(box.center().x() - r, box.center().y() - r, 2 * r, 2 * r);
    p.setPen(QPen(QColor::fromRgba(kPower), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 120 * 16, 300 * 16); // open at the top
    p.drawLine(QPointF(box.center().x(), ring.top() - 1.5), QPointF(box.center().x(), box.center().y()));
}

// Two windows side by side: touching when attached, apart when not.
void DrawAttachIcon(QPainter& p, const QRectF& box, bool attached)
{
    const QRectF inner = box.adjusted(3, 4, -3, -4);
    const qreal gap = attached ? 0 : 3;
    const qreal big = inner.width() * 0.55;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor::fromRgba(attached ? kKeyText : kCaptionText), 1.2));
    p.drawRect(QRectF(inner.left(), inner.top(), big - gap / 2, inner.height()));
    p.drawRect(QRectF(inner.left() + big + gap / 2, inner.top() + 2, inner.width() - big - gap / 2,
                      inner.height() - 4));
}

} // namespace

CKelvoRCUWindow::CKelvoRCUWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_host(parent ? parent->window() : nullptr)
{
    setWindowTitle(QStringLiteral("Remote"));
    // The main window keeps the keyboard: the remote only sends keys to the box.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setFixedSize(WindowSize());
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &CKelvoRCUWindow::OnRepeat);
    if (m_host)
        m_host->installEventFilter(this);
}

CKelvoRCUWindow::~CKelvoRCUWindow()
{
    if (m_host)
        m_host->removeEventFilter(this);
}

QRect CKelvoRCUWindow::KeyRect(int code) const
{
    const auto keys = KelvoRCUKeys();
    for (size_t i = 0; i < keys.size() && i < m_keyRects.size(); ++i) {
        if (keys[i].code == code)
            return m_keyRects[i];
    }
    return {};
}

void CKelvoRCUWindow::SetRepeatTiming(int delayMs, int intervalMs)
{
    m_repeatDelayMs = std::max(1, delayMs);
    m_repeatIntervalMs = std::max(1, intervalMs);
}

QPoint CKelvoRCUWindow::Anchor() const
{
    if (!m_host)
        return pos();
    const QRect outer = m_host->frameGeometry();
    return {outer.x() + outer.width(), outer.y()};
}

void CKelvoRCUWindow::SetAttached(bool attach)
{
    attach = attach && m_host;
    if (attach == m_attached)
        return;
    m_attached = attach;
    // Called while the parent is being dragged against this window, before the parent has
    // taken its new place: the offset is only right once it has.
    m_offset = pos() - Anchor();
    m_rebase = attach;
    update();
    emit attached(attach);
}

// Beside the parent's right edge, as high as it was as far as the parent's height allows.
void CKelvoRCUWindow::Dock()
{
    const QRect outer = m_host->frameGeometry();
    const int lowest = std::max(outer.top(), outer.top() + outer.height() - frameGeometry().height());
    const QPoint target(outer.x() + outer.width(), std::clamp(y(), outer.top(), lowest));
    m_attached = true;
    m_rebase = false;
    m_offset = target - Anchor();
    if (HostIsNormal())
        move(target);
    update();
    emit attached(true);
}

bool CKelvoRCUWindow::HostIsNormal() const
{
    return m_host &&
           (m_host->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) == 0;
}

void CKelvoRCUWindow::KeepBesideHost()
{
    // Beside a maximized or full-screen parent there is no room on the screen: the window stays
    // where it is and comes back beside the parent when the parent is a normal window again.
    if (!m_attached || !HostIsNormal())
        return;
    if (m_rebase) {
        m_rebase = false;
        m_offset = pos() - Anchor();
        return;
    }
    // Absolute, not by the parent's step: the parent's own drag may have moved this window first.
    const QPoint target = Anchor() + m_offset;
    if (pos() != target)
        move(target);
}

bool CKelvoRCUWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_host && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                              event->type() == QEvent::WindowStateChange))
        KeepBesideHost();
    return QWidget::eventFilter(watched, event);
}

void CKelvoRCUWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const auto keys = KelvoRCUKeys();
    m_keyRects.clear();
    m_keyRects.reserve(keys.size());
    for (const CKelvoRCUKeyElement& key : keys) {
        m_keyRects.emplace_back(kMargin + key.column * kColumnUnit, RowTop(key.row),
                                key.span * kColumnUnit - kGap, KeyHeight(key));
    }
    m_captionRect = QRect(0, 0, width(), kMargin + kCaptionHeight);
    const int buttonTop = kMargin + (kCaptionHeight - kCaptionButton) / 2;
    m_hideRect = QRect(width() - kMargin - kCaptionButton, buttonTop, kCaptionButton, kCaptionButton);
    m_attachRect = m_hideRect.translated(-(kCaptionButton + 4), 0);
}

void CKelvoRCUWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Shown again while attached: back beside the parent, wherever it was asked to appear.
    if (m_attached && !m_rebase && HostIsNormal())
        move(Anchor() + m_offset);
}

void CKelvoRCUWindow::hideEvent(QHideEvent* event)
{
    EndPress();
    QWidget::hideEvent(event);
}

CKelvoRCUWindow::Hit CKelvoRCUWindow::HitAt(QPoint point) const
{
    for (size_t i = 0; i < m_keyRects.size(); ++i) {
        if (m_keyRects[i].contains(point))
            return {Part::Key, static_cast<int>(i)};
    }
    if (m_attachRect.contains(point) && m_host)
        return {Part::Attach};
    if (m_hideRect.contains(point))
        return {Part::Hide};
    if (m_captionRect.contains(point))
        return {Part::Caption};
    return {};
}

void CKelvoRCUWindow::SetHover(Hit hit)
{
    if (hit.part == Part::Caption)
        hit = {};
    if (hit != m_hover) {
        m_hover = hit;
        update();
    }
}

void CKelvoRCUWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressed.part != Part::None) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Hit hit = HitAt(event->position().toPoint());
    if (hit.part == Part::Caption) {
        if (m_attached) {
            m_attached = false;
            update();
            emit attached(false);
        }
        if (windowHandle() && windowHandle()->startSystemMove())
            return;
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - pos();
        return;
    }
    if (hit.part == Part::None)
        return;
    m_pressed = hit;
    m_pressInside = true;
    update();
    if (hit.part != Part::Key)
        return; // the caption buttons act on release
    // The timer runs before the key goes out: sending it may wait for the box in a nested event
    // loop, and the release that ends the repeat can arrive in there.
    m_repeat.start(m_repeatDelayMs);
    emit bnClicked(KelvoRCUKeys()[static_cast<size_t>(hit.index)].code, false);
}

void CKelvoRCUWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    const Hit hit = HitAt(event->position().toPoint());
    SetHover(hit);
    if (m_pressed.part != Part::None && (hit == m_pressed) != m_pressInside) {
        m_pressInside = hit == m_pressed;
        update();
    }
}

void CKelvoRCUWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Hit released = m_pressed;
    const bool inside = m_pressInside && HitAt(event->position().toPoint()) == released;
    EndPress();
    if (!inside)
        return;
    if (released.part == Part::Attach) {
        if (m_attached) {
            m_attached = false;
            update();
            emit attached(false);
        } else if (m_host) {
            Dock();
        }
    } else if (released.part == Part::Hide) {
        hide();
    }
}

void CKelvoRCUWindow::leaveEvent(QEvent* event)
{
    SetHover({});
    QWidget::leaveEvent(event);
}

void CKelvoRCUWindow::EndPress()
{
    m_repeat.stop();
    m_dragging = false;
    if (m_pressed.part != Part::None) {
        m_pressed = {};
        m_pressInside = false;
        update();
    }
}

void CKelvoRCUWindow::OnRepeat()
{
    if (m_pressed.part != Part::Key) {
        m_repeat.stop();
        return;
    }
    m_repeat.setInterval(m_repeatIntervalMs);
    // Held but pulled off the button: no repeats until it is back over it.
    if (m_pressInside)
        emit bnClicked(KelvoRCUKeys()[static_cast<size_t>(m_pressed.index)].code, true);
}

void CKelvoRCUWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor::fromRgba(kBorder));
    p.setBrush(QColor::fromRgba(kBackground));
    p.drawRect(outer);

    QFont captionFont = font();
    captionFont.setPixelSize(11);
    p.setFont(captionFont);
    p.setPen(QColor::fromRgba(kCaptionText));
    p.drawText(QRect(kMargin + 2, kMargin, width() - 2 * kMargin, kCaptionHeight),
               Qt::AlignLeft | Qt::AlignVCenter, windowTitle());

    const auto faceOf = [this](const Hit& hit) {
        if (m_pressed == hit && m_pressInside)
            return QColor::fromRgba(kKeyDown);
        if (m_hover == hit)
            return QColor::fromRgba(kKeyHover);
        return QColor::fromRgba(kKeyFace);
    };

    // Caption buttons: attach (lit while attached) and hide.
    if (m_host) {
        p.setPen(Qt::NoPen);
        p.setBrush(m_attached ? QColor::fromRgba(kAccent) : faceOf({Part::Attach}));
        p.drawRoundedRect(QRectF(m_attachRect), 4, 4);
        DrawAttachIcon(p, QRectF(m_attachRect), m_attached);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(faceOf({Part::Hide}));
    p.drawRoundedRect(QRectF(m_hideRect), 4, 4);
    p.setPen(QPen(QColor::fromRgba(kCaptionText), 1.5));
    const QPointF mid = QRectF(m_hideRect).center();
    p.drawLine(QPointF(mid.x() - 4, mid.y() + 3), QPointF(mid.x() + 4, mid.y() + 3));

    QFont keyFont = font();
    keyFont.setPixelSize(10);
    keyFont.setBold(true);
    p.setFont(keyFont);
    const auto keys = KelvoRCUKeys();
    for (size_t i = 0; i < keys.size() && i < m_keyRects.size(); ++i) {
        const CKelvoRCUKeyElement& key = keys[i];
        const QRectF box = QRectF(m_keyRects[i]).adjusted(0.5, 0.5, -0.5, -0.5);
        const Hit self{Part::Key, static_cast<int>(i)};
        if (key.look >= Look::Red) {
            QColor colour = ColourKey(key.look);
            if (m_pressed == self && m_pressInside)
                colour = colour.darker(140);
            else if (m_hover == self)
                colour = colour.lighter(120);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(box, box.height() / 2, box.height() / 2);
            continue;
        }
        p.setPen(QColor::fromRgba(kKeyEdge));
        p.setBrush(faceOf(self));
        p.drawRoundedRect(box, 6, 6);
        switch (key.look) {
        case Look::Power:
            DrawPower(p, box);
            break;
        case Look::ArrowUp:
        case Look::ArrowDown:
        case Look::ArrowLeft:
        case Look::ArrowRight:
            DrawArrow(p, box, key.look);
            break;
        default:
            p.setPen(QColor::fromRgba(kKeyText));
            p.drawText(box, Qt::AlignCenter, QString::fromLatin1(key.label));
            break;
        }
    }
}
