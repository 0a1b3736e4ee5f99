// Draws every skin image from the shared image table and writes them as <id>.png into the
// directory given on the command line (res/images/ in the source tree). The committed PNGs are
// what the build uses; run this by hand after changing a drawing and commit the result.
#include "ui/KelvoImageTable.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

// The skin's palette: a dark, calm base with one blue accent.
const QColor kInk(243, 243, 243);
const QColor kInkDim(200, 202, 206);
const QColor kInkOff(70, 72, 76);
const QColor kAccent(0, 186, 255);
const QColor kAccentDeep(0, 120, 164);
const QColor kRed(226, 54, 54);
const QColor kGold(232, 184, 72);

// Button state frames: 0 normal, 1 pressed or checked, 2 hot, 3 disabled.
enum State
{
    Normal = 0,
    Pressed = 1,
    Hot = 2,
    Disabled = 3
};

QColor glyphColour(int state)
{
    switch (state) {
    case Pressed:
        return kAccent;
    case Hot:
        return QColor(255, 255, 255);
    case Disabled:
        return kInkOff;
    default:
        return kInkDim;
    }
}

QPen glyphPen(const QColor& c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QRectF frameRect(const KelvoImageSpec& s, int frame)
{
    const int fw = s.frameWidth();
    return QRectF(frame * fw, 0, fw, s.height);
}

void verticalGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

// A rounded surface of a push button in one of its states.
void buttonFace(QPainter& p, const QRectF& r, int state, qreal radius, bool accentBorder = true)
{
    QColor top(52, 56, 63), bottom(38, 41, 47), border(78, 84, 93);
    if (state == Pressed) {
        top = QColor(24, 26, 30);
        bottom = QColor(30, 33, 38);
        border = accentBorder ? kAccentDeep : QColor(60, 64, 70);
    } else if (state == Hot) {
        top = QColor(62, 67, 75);
        bottom = QColor(46, 50, 57);
        border = accentBorder ? kAccent : QColor(110, 116, 126);
    } else if (state == Disabled) {
        top = QColor(34, 36, 40);
        bottom = QColor(30, 32, 35);
        border = QColor(48, 51, 56);
    }
    const QRectF box = r.adjusted(1, 1, -1, -1);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (state != Pressed && state != Disabled) {
        // a faint top light makes the face read as raised
        p.setPen(QPen(QColor(255, 255, 255, 22), 1));
        p.drawLine(QPointF(box.left() + radius, box.top() + 1.5),
                   QPointF(box.right() - radius, box.top() + 1.5));
    }
}

// ---- glyphs, drawn into a square box ----

void glyphPlay(QPainter& p, const QRectF& b, const QColor& c)
{
    QPainterPath path;
    path.moveTo(b.left() + b.width() * 0.28, b.top() + b.height() * 0.18);
    path.lineTo(b.left() + b.width() * 0.84, b.center().y());
    path.lineTo(b.left() + b.width() * 0.28, b.top() + b.height() * 0.82);
    path.closeSubpath();
    p.setPen(glyphPen(c, qMax(1.0, b.width() / 14)));
    p.setBrush(c);
    p.drawPath(path);
}

void glyphPause(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width() * 0.2;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(b.left() + b.width() * 0.24, b.top() + b.height() * 0.2, w, b.height() * 0.6),
                      w / 4, w / 4);
    p.drawRoundedRect(
        QRectF(b.right() - b.width() * 0.24 - w, b.top() + b.height() * 0.2, w, b.height() * 0.6), w / 4,
        w / 4);
}

void glyphRecord(QPainter& p, const QRectF& b, const QColor& c)
{
    p.setPen(QPen(c.darker(140), 1));
    p.setBrush(c);
    const qreal r = b.width() * 0.28;
    p.drawEllipse(b.center(), r, r);
}

// A circular arrow turning clockwise, its head at the upper right.
void circularArrow(QPainter& p, const QPointF& m, qreal r, const QColor& c, qreal width, qreal head)
{
    const qreal a = qDegreesToRadians(50.0);
    p.setPen(glyphPen(c, width));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(m.x() - r, m.y() - r, 2 * r, 2 * r), 50 * 16, 275 * 16);
    const QPointF tip(m.x() + r * qCos(a), m.y() - r * qSin(a));
    const QPointF t(qSin(a), qCos(a)); // clockwise tangent
    const QPointF n(-t.y(), t.x());
    QPainterPath arrow;
    arrow.moveTo(tip + t * head);
    arrow.lineTo(tip - t * head * 0.5 + n * head);
    arrow.lineTo(tip - t * head * 0.5 - n * head);
    arrow.closeSubpath();
    p.setPen(glyphPen(c, 1));
    p.setBrush(c);
    p.drawPath(arrow);
}

// A loop with an arrow round a dot: a repeating (series) recording.
void glyphSeries(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal r = b.width() * 0.32;
    circularArrow(p, b.center(), r, c, 2, 3.4);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(b.center(), r * 0.35, r * 0.35);
}

void glyphClock(QPainter& p, const QRectF& b, const QColor& ring, const QColor& hands, const QColor& face)
{
    const qreal r = qMin(b.width(), b.height()) * 0.38;
    p.setPen(glyphPen(ring, 1.6));
    p.setBrush(face);
    p.drawEllipse(b.center(), r, r);
    p.setPen(glyphPen(hands, 1.6));
    p.drawLine(b.center(), b.center() + QPointF(0, -r * 0.62));
    p.drawLine(b.center(), b.center() + QPointF(r * 0.5, r * 0.18));
}

void glyphLock(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width();
    QRectF body(b.left() + w * 0.16, b.top() + b.height() * 0.44, w * 0.68, b.height() * 0.5);
    p.setPen(glyphPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    QRectF shackle(b.left() + w * 0.3, b.top() + b.height() * 0.08, w * 0.4, b.height() * 0.62);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
    p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), body.top()));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(body, 1.5, 1.5);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(body.center().x(), body.center().y() - 0.5), 1.3, 1.3);
}

// A key: the mark of a scrambled (encrypted) service.
void glyphKey(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal s = b.width();
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(c, 1.7));
    const QPointF bow(b.left() + s * 0.32, b.top() + s * 0.34);
    p.drawEllipse(bow, s * 0.2, s * 0.2);
    const QPointF shaftEnd(b.left() + s * 0.88, b.top() + s * 0.9);
    p.drawLine(bow + QPointF(s * 0.14, s * 0.14), shaftEnd);
    p.drawLine(QPointF(b.left() + s * 0.66, b.top() + s * 0.68),
               QPointF(b.left() + s * 0.8, b.top() + s * 0.56));
    p.drawLine(QPointF(b.left() + s * 0.78, b.top() + s * 0.8),
               QPointF(b.left() + s * 0.9, b.top() + s * 0.68));
}

void glyphChevron(QPainter& p, const QRectF& b, const QColor& c, bool left, qreal width)
{
    const qreal h = b.height() * 0.5, w = h * 0.5;
    const QPointF m = b.center();
    p.setPen(glyphPen(c, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    if (left) {
        path.moveTo(m.x() + w / 2, m.y() - h / 2);
        path.lineTo(m.x() - w / 2, m.y());
        path.lineTo(m.x() + w / 2, m.y() + h / 2);
    } else {
        path.moveTo(m.x() - w / 2, m.y() - h / 2);
        path.lineTo(m.x() + w / 2, m.y());
        path.lineTo(m.x() - w / 2, m.y() + h / 2);
    }
    p.drawPath(path);
}

// A filled triangle pointing up or down, for the scroll bar arrows.
void glyphTriangle(QPainter& p, const QPointF& centre, qreal half, bool up, const QColor& c)
{
    QPainterPath path;
    const qreal h = half * 0.75;
    if (up) {
        path.moveTo(centre.x() - half, centre.y() + h / 2);
        path.lineTo(centre.x() + half, centre.y() + h / 2);
        path.lineTo(centre.x(), centre.y() - h / 2 - 0.5);
    } else {
        path.moveTo(centre.x() - half, centre.y() - h / 2);
        path.lineTo(centre.x() + half, centre.y() - h / 2);
        path.lineTo(centre.x(), centre.y() + h / 2 + 0.5);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

void glyphSkip(QPainter& p, const QRectF& b, const QColor& c, bool forward)
{
    const qreal s = b.width();
    const qreal top = b.top() + s * 0.3, bottom = b.top() + s * 0.7, mid = b.center().y();
    QPainterPath tri;
    p.setPen(glyphPen(c, 1.5));
    p.setBrush(c);
    if (forward) {
        tri.moveTo(b.left() + s * 0.3, top);
        tri.lineTo(b.left() + s * 0.62, mid);
        tri.lineTo(b.left() + s * 0.3, bottom);
        tri.closeSubpath();
        p.drawPath(tri);
        p.drawLine(QPointF(b.left() + s * 0.68, top), QPointF(b.left() + s * 0.68, bottom));
    } else {
        tri.moveTo(b.left() + s * 0.7, top);
        tri.lineTo(b.left() + s * 0.38, mid);
        tri.lineTo(b.left() + s * 0.7, bottom);
        tri.closeSubpath();
        p.drawPath(tri);
        p.drawLine(QPointF(b.left() + s * 0.32, top), QPointF(b.left() + s * 0.32, bottom));
    }
}

void glyphList(QPainter& p, const QRectF& b, const QColor& c)
{
    p.setPen(glyphPen(c, 1.8));
    const qreal l = b.left() + b.width() * 0.26, r = b.right() - b.width() * 0.24;
    for (int i = 0; i < 3; ++i) {
        const qreal y = b.top() + b.height() * (0.33 + 0.17 * i);
        p.drawPoint(QPointF(l, y));
        p.drawLine(QPointF(l + 4, y), QPointF(r, y));
    }
}

void glyphSpeaker(QPainter& p, const QRectF& b, const QColor& c, bool muted)
{
    const qreal cy = b.center().y();
    QPainterPath body;
    body.moveTo(b.left() + 1, cy - 2.5);
    body.lineTo(b.left() + 3.5, cy - 2.5);
    body.lineTo(b.left() + 7, cy - 6);
    body.lineTo(b.left() + 7, cy + 6);
    body.lineTo(b.left() + 3.5, cy + 2.5);
    body.lineTo(b.left() + 1, cy + 2.5);
    body.closeSubpath();
    p.setPen(glyphPen(c, 1));
    p.setBrush(c);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    if (muted) {
        p.setPen(glyphPen(kRed, 1.5));
        p.drawLine(QPointF(b.left() + 9, cy - 3), QPointF(b.left() + 14, cy + 3));
        p.drawLine(QPointF(b.left() + 9, cy + 3), QPointF(b.left() + 14, cy - 3));
    } else {
        p.setPen(glyphPen(c, 1.3));
        p.drawArc(QRectF(b.left() + 4, cy - 4, 8, 8), -50 * 16, 100 * 16);
        p.drawArc(QRectF(b.left() + 3, cy - 7, 11, 14), -50 * 16, 100 * 16);
    }
}

void glyphGear(QPainter& p, const QRectF& b, const QColor& c)
{
    const QPointF m = b.center();
    const qreal ro = b.width() * 0.42, ri = b.width() * 0.31;
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i * M_PI) / teeth - M_PI / (teeth * 2.6);
        const qreal a1 = (i * M_PI) / teeth + M_PI / (teeth * 2.6);
        const qreal r = (i % 2 == 0) ? ro : ri;
        const QPointF p0(m.x() + r * qCos(a0), m.y() + r * qSin(a0));
        const QPointF p1(m.x() + r * qCos(a1), m.y() + r * qSin(a1));
        if (i == 0) {
            gear.moveTo(p0);
        } else {
            gear.lineTo(p0);
        }
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(m, b.width() * 0.13, b.width() * 0.13);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gear);
}

void glyphTv(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width();
    QRectF screen(b.left() + w * 0.1, b.top() + w * 0.2, w * 0.8, w * 0.54);
    p.setPen(glyphPen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(screen, 2.5, 2.5);
    p.drawLine(QPointF(b.left() + w * 0.34, b.top() + w * 0.86),
               QPointF(b.left() + w * 0.66, b.top() + w * 0.86));
}

void glyphCalendar(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width();
    QRectF page(b.left() + w * 0.12, b.top() + w * 0.18, w * 0.76, w * 0.7);
    p.setPen(glyphPen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(page, 2.5, 2.5);
    p.drawLine(QPointF(page.left(), page.top() + w * 0.2), QPointF(page.right(), page.top() + w * 0.2));
    p.drawLine(QPointF(page.left() + w * 0.2, b.top() + w * 0.1),
               QPointF(page.left() + w * 0.2, page.top() + 3));
    p.drawLine(QPointF(page.right() - w * 0.2, b.top() + w * 0.1),
               QPointF(page.right() - w * 0.2, page.top() + 3));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRect(QRectF(page.left() + w * (0.12 + col * 0.2), page.top() + w * (0.3 + row * 0.17),
                              w * 0.1, w * 0.1));
        }
    }
}

void glyphRefresh(QPainter& p, const QRectF& b, const QColor& c)
{
    circularArrow(p, b.center(), b.width() * 0.32, c, 1.8, 3.2);
}

void glyphMagnifier(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal s = b.width();
    p.setPen(glyphPen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    const QPointF lens(b.left() + s * 0.42, b.top() + s * 0.42);
    p.drawEllipse(lens, s * 0.26, s * 0.26);
    p.setPen(glyphPen(c, 2.4));
    p.drawLine(lens + QPointF(s * 0.2, s * 0.2), QPointF(b.left() + s * 0.86, b.top() + s * 0.86));
}

void glyphPlus(QPainter& p, const QRectF& b, const QColor& c, qreal width)
{
    p.setPen(glyphPen(c, width));
    const qreal h = b.width() * 0.22;
    p.drawLine(b.center() - QPointF(h, 0), b.center() + QPointF(h, 0));
    p.drawLine(b.center() - QPointF(0, h), b.center() + QPointF(0, h));
}

void glyphInfo(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal r = qMin(b.width(), b.height()) * 0.42;
    p.setPen(glyphPen(c, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(b.center(), r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(b.center().x(), b.center().y() - r * 0.48), 1.1, 1.1);
    p.drawRect(QRectF(b.center().x() - 0.9, b.center().y() - r * 0.15, 1.8, r * 0.75));
}

// Picture-in-picture: go to the mini player.
void glyphMini(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal s = b.width();
    p.setPen(glyphPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(b.left() + s * 0.2, b.top() + s * 0.26, s * 0.6, s * 0.48), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(b.left() + s * 0.46, b.top() + s * 0.48, s * 0.26, s * 0.18), 1, 1);
}

// Four outward corners: back to the normal player, and full screen.
void glyphExpand(QPainter& p, const QRectF& b, const QColor& c, qreal inset, qreal arm, qreal width)
{
    p.setPen(glyphPen(c, width));
    p.setBrush(Qt::NoBrush);
    const QRectF r = b.adjusted(inset, inset, -inset, -inset);
    const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    const QPointF dirs[4] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i) {
        const QPointF& k = corners[i];
        p.drawLine(k, k + QPointF(arm * dirs[i].x(), 0));
        p.drawLine(k, k + QPointF(0, arm * dirs[i].y()));
    }
}

void glyphRadio(QPainter& p, const QRectF& b, const QColor& c, qreal width)
{
    // a mast with waves: the radio picture's emblem
    const QPointF m = b.center();
    const qreal s = b.width();
    p.setPen(glyphPen(c, width));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = s * 0.12 * i;
        p.drawArc(QRectF(m.x() - r, m.y() - r, 2 * r, 2 * r), 40 * 16, 100 * 16);
        p.drawArc(QRectF(m.x() - r, m.y() - r, 2 * r, 2 * r), 220 * 16, 100 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(m, s * 0.045, s * 0.045);
}

QFont skinFont(int pixels, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// ---- the images ----

using Drawer = std::function<void(QPainter&, const KelvoImageSpec&)>;

void windowButton(QPainter& p, const KelvoImageSpec& s,
                  const std::function<void(QPainter&, QRectF, QColor, int)>& glyph, bool danger)
{
    for (int f = 0; f < s.frames; ++f) {
        const int state = f % 3;
        const QRectF r = frameRect(s, f);
        p.setPen(Qt::NoPen);
        if (state == Hot) {
            p.setBrush(danger ? QColor(232, 17, 35) : QColor(255, 255, 255, 30));
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
        } else if (state == Pressed) {
            p.setBrush(danger ? QColor(160, 18, 30) : QColor(255, 255, 255, 16));
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
        }
        glyph(p, r, state == Normal ? kInkDim : QColor(255, 255, 255), f);
    }
}

void modeButton(QPainter& p, const KelvoImageSpec& s,
                const std::function<void(QPainter&, QRectF, QColor)>& icon)
{
    for (int f = 0; f < s.frames; ++f) {
        const QRectF r = frameRect(s, f).adjusted(1, 2, -1, -2);
        QColor ic(135, 135, 135);
        if (f == Pressed) {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, QColor(58, 63, 71));
            g.setColorAt(1, QColor(40, 44, 50));
            p.setPen(QPen(QColor(74, 80, 89), 1));
            p.setBrush(g);
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(r.left() + 14, r.bottom() - 3, r.width() - 28, 3), 1.5, 1.5);
            ic = kAccent;
        } else if (f == Hot) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 20));
            p.drawRoundedRect(r, 8, 8);
            ic = QColor(220, 222, 226);
        } else if (f == Disabled) {
            ic = kInkOff;
        }
        icon(p, QRectF(r.left() + 9, r.center().y() - 11, 22, 22), ic);
    }
}

void threeSliceBar(QPainter& p, const KelvoImageSpec& s, const QColor& top, const QColor& bottom,
                   const QColor& topLine, const QColor& bottomLine)
{
    const QRectF r(0, 0, s.width, s.height);
    verticalGradient(p, r, top, bottom);
    p.fillRect(QRectF(0, 0, s.width, 1), topLine);
    p.fillRect(QRectF(0, s.height - 1, s.width, 1), bottomLine);
}

void roundedThreeSlice(QPainter& p, const KelvoImageSpec& s, qreal radius, const QColor& top,
                       const QColor& bottom, const QColor& border)
{
    const QRectF r = QRectF(0, 0, s.width, s.height).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void rowGradient(QPainter& p, const KelvoImageSpec& s, const QColor& top, const QColor& bottom,
                 const QColor& hi)
{
    verticalGradient(p, QRectF(0, 0, s.width, s.height), top, bottom);
    p.fillRect(QRectF(0, 0, s.width, 1), hi);
}

void playerButton(QPainter& p, const KelvoImageSpec& s,
                  const std::function<void(QPainter&, QRectF, QColor)>& glyph)
{
    for (int f = 0; f < s.frames; ++f) {
        const QRectF r = frameRect(s, f);
        const QRectF disc = r.adjusted(2, 2, -2, -2);
        if (f == Hot || f == Pressed) {
            p.setPen(QPen(f == Pressed ? kAccentDeep : QColor(255, 255, 255, 50), 1));
            p.setBrush(f == Pressed ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 26));
            p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        glyph(p, r, glyphColour(f));
    }
}

void textButton(QPainter& p, const KelvoImageSpec& s, qreal radius)
{
    for (int f = 0; f < s.frames; ++f) {
        buttonFace(p, frameRect(s, f), f, radius);
    }
}

void drawBackdrop(QPainter& p, const KelvoImageSpec& s, const QColor& inner, const QColor& outer, bool radio)
{
    const QRectF r(0, 0, s.width, s.height);
    QRadialGradient g(r.center(), s.width * 0.62);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.fillRect(r, g);
    const QRectF emblem(r.center().x() - 110, r.center().y() - 150, 220, 220);
    if (radio) {
        glyphRadio(p, emblem, QColor(255, 255, 255, 70), 7);
    } else {
        p.setPen(glyphPen(QColor(255, 255, 255, 34), 7));
        p.setBrush(Qt::NoBrush);
        glyphTv(p, emblem, QColor(255, 255, 255, 34));
    }
    p.setFont(skinFont(64, true));
    p.setPen(QColor(255, 255, 255, radio ? 60 : 38));
    p.drawText(QRectF(0, emblem.bottom() + 10, s.width, 90), Qt::AlignCenter, QStringLiteral("Kelvo+"));
}

std::map<int, Drawer> drawers()
{
    std::map<int, Drawer> d;
    d[318] = [](QPainter& p, const KelvoImageSpec& s) {
        const QRectF r(0, 0, s.width, s.height);
        verticalGradient(p, r, QColor(34, 37, 42), QColor(20, 22, 25));
        p.fillRect(QRectF(0, 0, s.width, 1), QColor(255, 255, 255, 18));
        p.fillRect(QRectF(0, s.height - 1, s.width, 1), QColor(8, 8, 10));
        p.fillRect(QRectF(0, 62, s.width, 1), QColor(0, 0, 0, 70));
        p.fillRect(QRectF(0, 63, s.width, 1), QColor(255, 255, 255, 10));
    };
    d[319] = [](QPainter& p, const KelvoImageSpec& s) {
        // emblem: a rounded blue square with a play mark, then the name
        const QRectF badge(1, 2, 25, 25);
        QLinearGradient g(badge.topLeft(), badge.bottomRight());
        g.setColorAt(0, kAccent);
        g.setColorAt(1, kAccentDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(badge, 6, 6);
        glyphPlay(p, badge.adjusted(4, 4, -3, -4), QColor(255, 255, 255));
        p.setFont(skinFont(22, true));
        p.setPen(kInk);
        p.drawText(QRectF(33, 0, s.width - 33, s.height), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Kelvo"));
        const int w = QFontMetrics(skinFont(22, true)).horizontalAdvance(QStringLiteral("Kelvo"));
        p.setPen(kAccent);
        p.drawText(QRectF(33 + w + 1, 0, 30, s.height), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("+"));
    };
    d[358] = [](QPainter& p, const KelvoImageSpec& s) {
        windowButton(
            p, s,
            [](QPainter& q, QRectF r, QColor c, int) {
                q.setPen(glyphPen(c, 1.5));
                const QPointF m = r.center();
                q.drawLine(m + QPointF(-4.5, -4.5), m + QPointF(4.5, 4.5));
                q.drawLine(m + QPointF(-4.5, 4.5), m + QPointF(4.5, -4.5));
            },
            true);
    };
    d[359] = [](QPainter& p, const KelvoImageSpec& s) {
        windowButton(
            p, s,
            [](QPainter& g, QRectF r, QColor c, int frame) {
                g.setPen(glyphPen(c, 1.4));
                g.setBrush(Qt::NoBrush);
                const QPointF m = r.center();
                if (frame >= 3) {
                    g.drawRect(QRectF(m.x() - 5, m.y() - 2.5, 7.5, 7.5));
                    g.drawPolyline(QPolygonF{QPointF(m.x() - 2.5, m.y() - 2.5),
                                             QPointF(m.x() - 2.5, m.y() - 5), QPointF(m.x() + 5, m.y() - 5),
                                             QPointF(m.x() + 5, m.y() + 2.5),
                                             QPointF(m.x() + 2.5, m.y() + 2.5)});
                } else {
                    g.drawRect(QRectF(m.x() - 4.5, m.y() - 4.5, 9, 9));
                }
            },
            false);
    };
    d[360] = [](QPainter& p, const KelvoImageSpec& s) {
        windowButton(
            p, s,
            [](QPainter& q, QRectF r, QColor c, int) {
                q.setPen(glyphPen(c, 1.5));
                const QPointF m = r.center();
                q.drawLine(m + QPointF(-5, 0.5), m + QPointF(5, 0.5));
            },
            false);
    };
    d[436] = [](QPainter& p, const KelvoImageSpec& s) {
        windowButton(
            p, s, [](QPainter& q, QRectF r, QColor c, int) { glyphExpand(q, r, c, 6.5, 3.5, 1.4); }, false);
    };
    d[362] = [](QPainter& p, const KelvoImageSpec& s) { modeButton(p, s, glyphTv); };
    d[364] = [](QPainter& p, const KelvoImageSpec& s) { modeButton(p, s, glyphCalendar); };
    d[365] = [](QPainter& p, const KelvoImageSpec& s) { modeButton(p, s, glyphGear); };
    d[363] = [](QPainter& p, const KelvoImageSpec& s) { textButton(p, s, 15); };
    d[367] = [](QPainter& p, const KelvoImageSpec& s) {
        const qreal fw = s.frameWidth();
        // arrows: 0-2 down, 3-5 up (normal, pressed, hot)
        for (int f = 0; f < 6; ++f) {
            const QRectF r = frameRect(s, f);
            const int state = f % 3;
            p.fillRect(r, QColor(22, 23, 26));
            if (state != 0) {
                p.setPen(Qt::NoPen);
                p.setBrush(state == 1 ? QColor(0, 120, 164, 160) : QColor(255, 255, 255, 26));
                p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2, 2);
            }
            const QColor c = state == 0 ? QColor(140, 144, 150) : QColor(255, 255, 255);
            glyphTriangle(p, r.center(), 3.5, f >= 3, c);
        }
        // thumb frames are drawn stretched along the track, so they are uniform along it
        const QColor thumbs[3] = {QColor(84, 89, 97), QColor(0, 150, 205), QColor(118, 124, 134)};
        for (int i = 0; i < 3; ++i) {
            const QRectF r = frameRect(s, 6 + i);
            const QRectF bar(r.left() + 3, r.top(), fw - 6, r.height());
            p.fillRect(bar, thumbs[i]);
            p.fillRect(QRectF(bar.left(), bar.top(), 1, bar.height()), thumbs[i].lighter(125));
            p.fillRect(QRectF(bar.right() - 1, bar.top(), 1, bar.height()), thumbs[i].darker(125));
        }
        const QRectF track = frameRect(s, 9);
        p.fillRect(track, QColor(22, 23, 26));
        p.fillRect(QRectF(track.center().x() - 0.5, track.top(), 1, track.height()), QColor(44, 46, 50));
    };
    d[369] = [](QPainter& p, const KelvoImageSpec& s) {
        threeSliceBar(p, s, QColor(40, 43, 48), QColor(26, 28, 32), QColor(255, 255, 255, 22),
                      QColor(10, 10, 12));
    };
    d[373] = [](QPainter& p, const KelvoImageSpec& s) {
        threeSliceBar(p, s, QColor(36, 39, 44, 245), QColor(18, 19, 22, 245), QColor(70, 75, 83),
                      QColor(8, 8, 10));
    };
    d[374] = [](QPainter& p, const KelvoImageSpec& s) {
        threeSliceBar(p, s, QColor(30, 33, 38, 235), QColor(14, 15, 18, 235), QColor(70, 75, 83),
                      QColor(8, 8, 10));
        // a thin accent at the left end marks the bar as information
        p.fillRect(QRectF(0, 14, 3, s.height - 28), kAccentDeep);
    };
    d[375] = [](QPainter& p, const KelvoImageSpec& s) {
        verticalGradient(p, QRectF(0, 0, s.width, s.height), QColor(26, 28, 32), QColor(12, 13, 15));
        p.fillRect(QRectF(0, s.height - 1, s.width, 1), QColor(46, 49, 54));
        p.fillRect(QRectF(0, 0, 1, s.height), QColor(46, 49, 54));
        p.fillRect(QRectF(s.width - 1, 0, 1, s.height), QColor(46, 49, 54));
    };
    auto side = [](QPainter& p, const KelvoImageSpec& s, bool left) {
        QLinearGradient g(0, 0, s.width, 0);
        g.setColorAt(left ? 0 : 1, QColor(12, 13, 15));
        g.setColorAt(left ? 1 : 0, QColor(28, 30, 34));
        p.fillRect(QRectF(0, 0, s.width, s.height), g);
        p.fillRect(QRectF(left ? 0 : s.width - 1, 0, 1, s.height), QColor(46, 49, 54));
    };
    d[376] = [side](QPainter& p, const KelvoImageSpec& s) { side(p, s, true); };
    d[377] = [side](QPainter& p, const KelvoImageSpec& s) { side(p, s, false); };
    d[378] = [](QPainter& p, const KelvoImageSpec& s) {
        const QColor ring[4] = {QColor(170, 174, 180), kAccentDeep, kAccent, QColor(70, 72, 76)};
        for (int f = 0; f < 4; ++f) {
            const QRectF r = frameRect(s, f);
            glyphClock(p, r.adjusted(0, 0, f == 1 ? 1 : 0, f == 1 ? 1 : 0), ring[f], ring[f], Qt::NoBrush);
        }
    };
    d[379] = [](QPainter& p, const KelvoImageSpec& s) {
        for (int f = 0; f < s.frames; ++f) {
            const QRectF r = frameRect(s, f);
            buttonFace(p, r, f, 6);
            glyphRefresh(p, QRectF(r.right() - 26, r.center().y() - 9, 18, 18), glyphColour(f));
        }
    };
    // TV and Radio form one segmented switch: TV holds the left end, Radio the right.
    auto segment = [](QPainter& p, const KelvoImageSpec& s, bool leftEnd) {
        for (int f = 0; f < s.frames; ++f) {
            const QRectF r = frameRect(s, f).adjusted(leftEnd ? 1 : 0, 2, leftEnd ? 0 : -1, -2);
            QPainterPath path;
            const qreal rad = 7;
            QRectF body = leftEnd ? r.adjusted(0, 0, rad, 0) : r.adjusted(-rad, 0, 0, 0);
            path.addRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), rad, rad);
            p.save();
            p.setClipRect(r);
            QColor top(40, 43, 49), bottom(30, 32, 37), border(64, 69, 77);
            if (f == Pressed) {
                top = QColor(0, 132, 182);
                bottom = QColor(0, 104, 146);
                border = QColor(0, 150, 205);
            } else if (f == Hot) {
                top = QColor(54, 58, 66);
                bottom = QColor(40, 43, 49);
            }
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, top);
            g.setColorAt(1, bottom);
            p.setPen(QPen(border, 1));
            p.setBrush(g);
            p.drawPath(path);
            p.restore();
        }
    };
    d[380] = [segment](QPainter& p, const KelvoImageSpec& s) { segment(p, s, false); };
    d[381] = [segment](QPainter& p, const KelvoImageSpec& s) { segment(p, s, true); };
    d[382] = [](QPainter& p, const KelvoImageSpec& s) {
        rowGradient(p, s, QColor(58, 61, 66), QColor(42, 44, 48), QColor(255, 255, 255, 16));
    };
    d[383] = [](QPainter& p, const KelvoImageSpec& s) {
        rowGradient(p, s, QColor(0, 104, 148), QColor(0, 72, 108), QColor(255, 255, 255, 30));
    };
    d[431] = d[383];
    d[414] = d[383];
    d[427] = [](QPainter& p, const KelvoImageSpec& s) {
        rowGradient(p, s, QColor(40, 190, 245), QColor(0, 136, 196), QColor(255, 255, 255, 60));
    };
    d[421] = [](QPainter& p, const KelvoImageSpec& s) {
        rowGradient(p, s, QColor(44, 46, 51), QColor(26, 27, 30), QColor(255, 255, 255, 14));
    };
    d[384] = [](QPainter& p, const KelvoImageSpec& s) {
        roundedThreeSlice(p, s, 13.5, QColor(16, 17, 19), QColor(24, 25, 28), QColor(70, 75, 83));
        glyphMagnifier(p, QRectF(9, 7, 14, 14), QColor(150, 154, 160));
    };
    d[391] = [](QPainter& p, const KelvoImageSpec& s) {
        roundedThreeSlice(p, s, 4, QColor(44, 47, 53), QColor(32, 34, 39), QColor(74, 80, 89));
    };
    d[402] = [](QPainter& p, const KelvoImageSpec& s) {
        roundedThreeSlice(p, s, 6, QColor(12, 13, 15, 235), QColor(20, 21, 24, 235), QColor(56, 60, 67));
    };
    d[432] = [](QPainter& p, const KelvoImageSpec& s) {
        QPainterPath path;
        const QRectF r(0, 0, s.width, s.height + 8);
        path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, 0), 7, 7);
        p.setClipRect(QRectF(0, 0, s.width, s.height));
        QLinearGradient g(0, 0, 0, s.height);
        g.setColorAt(0, QColor(46, 50, 57));
        g.setColorAt(1, QColor(28, 30, 35));
        p.setPen(QPen(QColor(74, 80, 89), 1));
        p.setBrush(g);
        p.drawPath(path);
        p.setClipping(false);
        p.fillRect(QRectF(0, s.height - 1, s.width, 1), QColor(10, 10, 12));
    };
    d[389] = [](QPainter& p, const KelvoImageSpec& s) {
        glyphKey(p, QRectF(0, 0, s.width, s.height), kGold);
    };
    d[390] = [](QPainter& p, const KelvoImageSpec& s) {
        glyphLock(p, QRectF(0, 0, s.width, s.height), QColor(236, 132, 60));
    };
    d[396] = [](QPainter& p, const KelvoImageSpec& s) {
        playerButton(p, s, [](QPainter& q, QRectF r, QColor c) { glyphSkip(q, r, c, false); });
    };
    d[398] = [](QPainter& p, const KelvoImageSpec& s) {
        playerButton(p, s, [](QPainter& q, QRectF r, QColor c) { glyphSkip(q, r, c, true); });
    };
    d[397] = [](QPainter& p, const KelvoImageSpec& s) { playerButton(p, s, glyphList); };
    d[437] = [](QPainter& p, const KelvoImageSpec& s) { playerButton(p, s, glyphMini); };
    d[438] = [](QPainter& p, const KelvoImageSpec& s) {
        playerButton(p, s, [](QPainter& q, QRectF r, QColor c) { glyphExpand(q, r, c, 10.5, 4, 1.6); });
    };
    d[400] = [](QPainter& p, const KelvoImageSpec& s) {
        for (int f = 0; f < s.frames; ++f) {
            glyphInfo(p, frameRect(s, f), glyphColour(f));
        }
    };
    d[401] = [](QPainter& p, const KelvoImageSpec& s) {
        QLinearGradient g(0, 0, 0, s.height);
        g.setColorAt(0, kAccent);
        g.setColorAt(1, kAccentDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(3, 2, s.width - 6, s.height - 4), 3, 3);
    };
    auto flash = [](QPainter& p, const KelvoImageSpec& s, bool play) {
        const QRectF r(0, 0, s.width, s.height);
        p.setPen(QPen(QColor(255, 255, 255, 60), 1.5));
        p.setBrush(QColor(0, 0, 0, 150));
        p.drawEllipse(r.adjusted(2, 2, -2, -2));
        const QRectF g = r.adjusted(26, 26, -26, -26);
        if (play) {
            glyphPlay(p, g.translated(3, 0), QColor(255, 255, 255, 235));
        } else {
            glyphPause(p, g, QColor(255, 255, 255, 235));
        }
    };
    d[403] = [flash](QPainter& p, const KelvoImageSpec& s) { flash(p, s, false); };
    d[404] = [flash](QPainter& p, const KelvoImageSpec& s) { flash(p, s, true); };
    d[405] = [](QPainter& p, const KelvoImageSpec& s) {
        glyphSpeaker(p, frameRect(s, 0), kInkDim, false);
        glyphSpeaker(p, frameRect(s, 1), kInkDim, true);
        glyphSpeaker(p, frameRect(s, 2), QColor(255, 255, 255), false);
    };
    d[406] = [](QPainter& p, const KelvoImageSpec& s) {
        const QRectF r(0, 0, s.width, s.height);
        p.setPen(QPen(kAccent, 2));
        p.setBrush(QColor(250, 250, 250));
        p.drawEllipse(r.adjusted(2, 2, -2, -2));
    };
    d[407] = [](QPainter& p, const KelvoImageSpec& s) {
        const QColor c[3] = {QColor(70, 74, 81), kAccent, QColor(44, 46, 50)};
        for (int f = 0; f < 3; ++f) {
            const QRectF r = frameRect(s, f);
            p.fillRect(QRectF(r.left(), 1, r.width(), 3), c[f]);
        }
    };
    d[408] = [](QPainter& p, const KelvoImageSpec& s) {
        drawBackdrop(p, s, QColor(30, 33, 38), QColor(6, 7, 8), false);
    };
    d[409] = [](QPainter& p, const KelvoImageSpec& s) {
        drawBackdrop(p, s, QColor(8, 62, 92), QColor(4, 10, 18), true);
    };
    d[410] = [](QPainter& p, const KelvoImageSpec& s) { textButton(p, s, 7); };
    d[428] = d[410];
    d[411] = [](QPainter& p, const KelvoImageSpec& s) {
        const QRectF r = QRectF(0, 0, s.width, s.height).adjusted(1.5, 1.5, -1.5, -1.5);
        p.setPen(QPen(QColor(140, 146, 154), 1.3));
        p.setBrush(QColor(20, 21, 24));
        p.drawEllipse(r);
    };
    d[412] = [](QPainter& p, const KelvoImageSpec& s) {
        const QRectF r = QRectF(0, 0, s.width, s.height).adjusted(1.5, 1.5, -1.5, -1.5);
        p.setPen(QPen(kAccent, 1.3));
        p.setBrush(QColor(20, 21, 24));
        p.drawEllipse(r);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(r.center(), 3.2, 3.2);
    };
    d[413] = [](QPainter& p, const KelvoImageSpec& s) {
        for (int f = 0; f < 2; ++f) {
            const QRectF r = frameRect(s, f);
            const QColor c = f == 0 ? QColor(96, 100, 106) : QColor(255, 255, 255);
            p.setPen(QPen(c, 1.8));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(r.center(), 12, 12);
            glyphPlus(p, r, c, 2);
        }
    };
    auto arrow = [](QPainter& p, const KelvoImageSpec& s, bool left, const QColor& c) {
        glyphChevron(p, QRectF(0, 0, s.width, s.height), c, left, 2.4);
    };
    d[415] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, true, kAccent); };
    d[416] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, true, kInkDim); };
    d[417] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, true, QColor(255, 255, 255)); };
    d[418] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, false, kAccent); };
    d[419] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, false, kInkDim); };
    d[420] = [arrow](QPainter& p, const KelvoImageSpec& s) { arrow(p, s, false, QColor(255, 255, 255)); };
    d[423] = [](QPainter& p, const KelvoImageSpec& s) {
        for (int f = 0; f < 10; ++f) {
            const QRectF r = frameRect(s, f);
            if (f >= 5) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 120, 170));
                p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 5, 5);
            }
            const QRectF g = r.adjusted(6, 6, -6, -6);
            switch (f % 5) {
            case 0:
                glyphPlay(p, g.translated(1, 0), QColor(90, 210, 120));
                break;
            case 1:
                glyphRecord(p, g, kRed);
                break;
            case 2:
                glyphSeries(p, g, QColor(150, 154, 160));
                break;
            case 3:
                glyphSeries(p, g, kRed);
                break;
            default:
                break;
            }
        }
    };
    d[424] = [](QPainter& p, const KelvoImageSpec& s) {
        const QColor ring[4] = {QColor(240, 240, 240), QColor(0, 96, 150), kAccent, QColor(80, 82, 86)};
        for (int f = 0; f < 4; ++f) {
            glyphClock(p, frameRect(s, f), ring[f], ring[f], QColor(0, 0, 0, 60));
        }
    };
    auto dayButton = [](QPainter& p, const KelvoImageSpec& s, bool left) {
        for (int f = 0; f < s.frames; ++f) {
            const QRectF r = frameRect(s, f);
            buttonFace(p, r, f, 5, false);
            glyphChevron(p, r, glyphColour(f), left, 2);
        }
    };
    d[425] = [dayButton](QPainter& p, const KelvoImageSpec& s) { dayButton(p, s, true); };
    d[426] = [dayButton](QPainter& p, const KelvoImageSpec& s) { dayButton(p, s, false); };
    d[435] = [](QPainter& p, const KelvoImageSpec& s) {
        // twelve dots; the bright one walks round, trailed by fading neighbours
        for (int f = 0; f < 12; ++f) {
            const QRectF r = frameRect(s, f);
            for (int i = 0; i < 12; ++i) {
                const qreal a = (i * 30 - 90) * M_PI / 180.0;
                const int age = (f - i + 12) % 12;
                const int alpha = qMax(40, 255 - age * 36);
                const QPointF c(r.center().x() + 16 * qCos(a), r.center().y() + 16 * qSin(a));
                p.setPen(Qt::NoPen);
                p.setBrush(age == 0 ? QColor(0, 186, 255, alpha) : QColor(230, 236, 242, alpha));
                p.drawEllipse(c, age == 0 ? 3.6 : 3.0, age == 0 ? 3.6 : 3.0);
            }
        }
    };
    return d;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelvo_imagegen <output directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const auto table = drawers();
    int failures = 0;
    for (const auto& spec : kKelvoImages) {
        const auto it = table.find(spec.id);
        if (it == table.end()) {
            std::fprintf(stderr, "no drawing for image %d\n", spec.id);
            ++failures;
            continue;
        }
        QImage img(spec.width, spec.height, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            it->second(p, spec);
        }
        const QString path = out.filePath(QStringLiteral("%1.png").arg(spec.id));
        if (!img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG", 9)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    if (argc >= 4 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--sheet")) {
        // A contact sheet of every image at three times its size, for looking them over.
        const int scale = 3, cell = 170;
        QImage sheet(1800, 2600, QImage::Format_ARGB32);
        sheet.fill(QColor(60, 60, 60));
        QPainter p(&sheet);
        p.setFont(skinFont(12, false));
        int x = 4, y = 4, rowHeight = 0;
        for (const auto& spec : kKelvoImages) {
            if (spec.width > 600) {
                continue;
            }
            const QImage img(out.filePath(QStringLiteral("%1.png").arg(spec.id)));
            const QSize size = img.size() * scale;
            if (x + size.width() > sheet.width()) {
                x = 4;
                y += rowHeight + 20;
                rowHeight = 0;
            }
            p.fillRect(QRect(QPoint(x, y), size), QColor(10, 10, 12));
            p.drawImage(QRect(QPoint(x, y), size), img);
            p.setPen(Qt::white);
            p.drawText(x, y + size.height() + 13, QString::number(spec.id));
            x += qMax(size.width(), 40) + 8;
            rowHeight = qMax(rowHeight, size.height());
            (void)cell;
        }
        p.end();
        sheet.copy(0, 0, sheet.width(), y + rowHeight + 24).save(QString::fromLocal8Bit(argv[3]));
    }
    return failures == 0 ? 0 : 1;
}
