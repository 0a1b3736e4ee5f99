#include "ui/CNxButton.h"

#include "ui/CKelvoRes.h"
#include "ui/CNxImages.h"

#include <QMouseEvent>
#include <QPainter>

CNxButton::CNxButton(QWidget* parent, int commandId)
    : QAbstractButton(parent), m_commandId(commandId), m_normal(KelvoRes().colorText),
      m_hotColour(KelvoRes().colorHot), m_pressed(KelvoRes().colorPressed)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] { emit command(m_commandId); });
}

namespace {

QPixmap LoadPixmap(int id)
{
    QPixmap pm;
    if (id > 0) {
        pm.load(CNxImages::ResourcePath(id), "PNG");
    }
    return pm;
}

} // namespace

bool CNxButton::SetImage(int normalId, int hotId)
{
    m_image = LoadPixmap(normalId);
    m_hotImage = LoadPixmap(hotId);
    updateGeometry();
    update();
    return !m_image.isNull();
}

bool CNxButton::SetCheckedImage(int checkedId, int checkedHotId)
{
    m_checked = LoadPixmap(checkedId);
    m_checkedHot = LoadPixmap(checkedHotId);
    update();
    return !m_checked.isNull();
}

void CNxButton::SetTextColours(const QColor& normal, const QColor& hot, const QColor& pressed)
{
    m_normal = normal;
    m_hotColour = hot;
    m_pressed = pressed;
    update();
}

QSize CNxButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const int textWidth = text().isEmpty() ? 0 : fm.horizontalAdvance(text());
    const int imageWidth = m_image.width();
    const int gap = imageWidth > 0 && textWidth > 0 ? kSpacing : 0;
    const int w = imageWidth + gap + textWidth + (m_borderless ? 2 : 8);
    const int h = qMax(m_image.height(), fm.height() + (m_borderless ? 2 : 8));
    return QSize(w, h);
}

void CNxButton::SizeToContent()
{
    resize(sizeHint());
}

QColor CNxButton::CurrentTextColour() const
{
    if (!isEnabled()) {
        return KelvoRes().colorDisabledText;
    }
    if (isDown()) {
        return m_pressed;
    }
    return m_hot ? m_hotColour : m_normal;
}

const QPixmap& CNxButton::CurrentImage() const
{
    if (isChecked() && !m_checked.isNull()) {
        return m_hot && !m_checkedHot.isNull() ? m_checkedHot : m_checked;
    }
    return m_hot && !m_hotImage.isNull() ? m_hotImage : m_image;
}

void CNxButton::enterEvent(QEnterEvent* event)
{
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CNxButton::leaveEvent(QEvent* event)
{
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CNxButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_mousePress = true;
        m_pressCancelled = false;
    }
    QAbstractButton::mousePressEvent(event);
}

void CNxButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressCancelled) {
        event->ignore();
        return;
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CNxButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_pressCancelled) {
            setDown(false); // the standard release then only ends its press, without a click
        }
        m_mousePress = false;
        m_pressCancelled = false;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CNxButton::CancelPress()
{
    if (m_mousePress) {
        m_pressCancelled = true;
    }
    if (isDown()) {
        setDown(false);
    }
}

void CNxButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event); // first, so that it still reports the release
    CancelPress();
}

void CNxButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        CancelPress();
    }
}

void CNxButton::hideEvent(QHideEvent* event)
{
    CancelPress();
    QAbstractButton::hideEvent(event);
}

void CNxButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect();
    if (!m_transparent) {
        p.fillRect(r, testAttribute(Qt::WA_SetPalette) ? palette().color(QPalette::Button)
                                                       : KelvoRes().colorListBack);
    }
    if (!m_borderless) {
        p.setPen(KelvoRes().colorButtonBorder);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    const QPixmap& image = CurrentImage();
    int x = r.left() + (m_borderless ? 1 : 4);
    if (!image.isNull()) {
        const int y = r.top() + (r.height() - image.height()) / 2;
        p.drawPixmap(x, y, image);
        x += image.width() + kSpacing;
    }
    if (!text().isEmpty()) {
        const QRect textRect(x, r.top(), r.right() - x + 1, r.height());
        p.setFont(font());
        p.setPen(CurrentTextColour());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));
    }
    if (hasFocus() && !m_transparent) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(KelvoRes().colorFocusButton, 1, Qt::DotLine));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}
