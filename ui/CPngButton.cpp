#include "ui/CPngButton.h"

#include "ui/CKelvoRes.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

int CPngButton::StateIndex(bool enabled, bool pressed, bool checked, bool hot)
{
    if (!enabled) {
        return 3;
    }
    if (pressed || checked) {
        return 1;
    }
    return hot ? 2 : 0;
}

int CPngButton::FrameForState(int stateIndex, int frameCount, bool checkable, bool checked)
{
    if (stateIndex < frameCount) {
        return stateIndex;
    }
    // (frame 1 only where the strip has it)
    return checkable && checked && frameCount > 1 ? 1 : 0;
}

CPngButton::CPngButton(QWidget* parent, int commandId) : QWidget(parent), m_commandId(commandId)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

CPngButton::~CPngButton() = default;

void CPngButton::SetKind(Kind kind, bool autoToggle)
{
    m_kind = kind;
    m_auto = kind != Kind::Push && autoToggle;
    update();
}

bool CPngButton::SetImage(int resourceId, int frameCount)
{
    CNxImages images;
    if (!images.Load(resourceId)) {
        return false;
    }
    images.SetFrameCount(qMax(1, frameCount));
    m_images = images;
    resize(m_images.FrameSize());
    UpdateMask();
    update();
    return true;
}

void CPngButton::SetImageStrip(const QPixmap& strip, int frameCount)
{
    m_images.LoadImage(strip);
    m_images.SetFrameCount(qMax(1, frameCount));
    resize(m_images.FrameSize());
    UpdateMask();
    update();
}

void CPngButton::SetText(const QString& text)
{
    m_text = text;
    update();
}

void CPngButton::SetTextAlignment(TextAlign align)
{
    m_align = align;
    update();
}

void CPngButton::SetMargins(const QMargins& margins)
{
    m_margins = margins;
    update();
}

void CPngButton::SetButtonCursor(const QCursor& cursor)
{
    setCursor(cursor);
}

void CPngButton::SetRepeatDelays(const QList<int>& delays)
{
    m_repeatDelays = delays;
}

void CPngButton::SetTransparent(bool on)
{
    m_transparent = on;
    UpdateMask();
}

void CPngButton::SetUseRegion(bool noRegion)
{
    m_noRegion = noRegion;
    UpdateMask();
}

void CPngButton::UpdateMask()
{
    if (m_transparent && !m_noRegion && !m_images.IsNull()) {
        setMask(QBitmap::fromImage(m_images.Frame(0).toImage().createAlphaMask()));
    } else {
        clearMask();
    }
}

void CPngButton::SetChecked(bool checked)
{
    if (m_kind == Kind::Push) {
        return;
    }
    if (checked && m_kind == Kind::Radio) {
        CheckRadio();
        return;
    }
    if (m_checked != checked) {
        m_checked = checked;
        update();
    }
}

QList<CPngButton*> CPngButton::GroupRadios() const
{
    QList<CPngButton*> result;
    if (parentWidget() == nullptr) {
        return result;
    }
    for (CPngButton* b : parentWidget()->findChildren<CPngButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (b->m_kind == Kind::Radio && b->m_group == m_group) {
            result.append(b);
        }
    }
    return result;
}

void CPngButton::CheckRadio()
{
    for (CPngButton* b : GroupRadios()) {
        if (b != this && b->m_checked) {
            b->m_checked = false;
            b->setFocusPolicy(Qt::ClickFocus); // only the checked radio of a group is a tab stop
            b->update();
        }
    }
    m_checked = true;
    setFocusPolicy(Qt::StrongFocus);
    update();
}

int CPngButton::CurrentStateIndex() const
{
    return StateIndex(isEnabled(), m_pressed, IsChecked(), m_hot);
}

int CPngButton::CurrentFrame() const
{
    return FrameForState(CurrentStateIndex(), m_images.FrameCount(), m_kind != Kind::Push, IsChecked());
}

QColor CPngButton::TextColour(int stateIndex, bool) const
{
    // An owner that gave the button a palette of its own chooses the colour; otherwise the skin.
    if (testAttribute(Qt::WA_SetPalette)) {
        return palette().color(QPalette::ButtonText);
    }
    return stateIndex == 3 ? KelvoRes().colorDisabledText : KelvoRes().colorText;
}

QFont CPngButton::TextFont() const
{
    return font();
}

void CPngButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int state = CurrentStateIndex();
    m_images.Draw(p, rect(), CurrentFrame(), CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    if (!m_text.isEmpty()) {
        const QRect r = rect().marginsRemoved(m_margins).adjusted(4, 0, -4, 0);
        int flags = m_align == AlignLeft    ? Qt::AlignLeft
                    : m_align == AlignRight ? Qt::AlignRight
                                            : Qt::AlignHCenter;
        if (m_text.contains(QLatin1Char('\n'))) {
            flags |= Qt::AlignTop | Qt::TextWordWrap;
        } else {
            flags |= Qt::AlignVCenter | Qt::TextSingleLine;
        }
        p.setFont(TextFont());
        p.setPen(TextColour(state, m_pressed && m_hot));
        p.drawText(r, flags, m_text);
    }
    if (m_drawFocus && hasFocus()) {
        p.setPen(QPen(KelvoRes().colorFocusButton, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void CPngButton::Click()
{
    emit clicked();
    emit command(m_commandId);
}

void CPngButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_downInside = true;
    m_hot = true;
    update();
    if (m_notifyOnPress) {
        Click();
    }
    if (!m_repeatDelays.isEmpty()) {
        m_repeatStep = 0;
        m_repeat.start(qMax(0, m_repeatDelays.first()), this);
    }
}

void CPngButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void CPngButton::mouseMoveEvent(QMouseEvent* event)
{
    const bool inside = rect().contains(event->position().toPoint());
    const bool down = (event->buttons() & Qt::LeftButton) != 0;
    if (inside != m_hot) {
        m_hot = inside;
        if (down && m_downInside) {
            m_pressed = inside; // leaving with the button down releases, coming back presses again
        }
        update();
    }
}

void CPngButton::enterEvent(QEnterEvent* event)
{
    if (!m_hot && isEnabled()) {
        m_hot = true;
        if (m_downInside) {
            m_pressed = true;
        }
        update();
    }
    QWidget::enterEvent(event);
}

void CPngButton::leaveEvent(QEvent* event)
{
    if (m_hot) {
        m_hot = false;
        m_pressed = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void CPngButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    const bool wasDownInside = m_downInside;
    m_repeat.stop();
    m_pressed = false;
    m_downInside = false;
    m_hot = inside;
    if (wasDownInside && inside) {
        if (m_auto && m_kind == Kind::CheckBox) {
            m_checked = !m_checked;
        } else if (m_auto && m_kind == Kind::Radio && !m_checked) {
            CheckRadio();
        }
        if (!m_notifyOnPress && m_repeatDelays.isEmpty()) {
            Click();
        }
    }
    update();
}

void CPngButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_repeat.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_pressed && m_hot) {
        Click();
    }
    m_repeatStep = qMin(m_repeatStep + 1, static_cast<int>(m_repeatDelays.size()) - 1);
    m_repeat.start(qMax(1, m_repeatDelays.at(m_repeatStep)), this);
}

void CPngButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Click();
        return;
    case Qt::Key_Space:
        if (m_auto && m_kind == Kind::CheckBox) {
            m_checked = !m_checked;
            update();
            Click();
            return;
        }
        if (m_auto && m_kind == Kind::Radio) {
            CheckRadio();
            Click();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (m_kind == Kind::Radio) {
            const QList<CPngButton*> radios = GroupRadios();
            const qsizetype i = radios.indexOf(this);
            if (i >= 0 && radios.size() > 1) {
                const bool back = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up;
                CPngButton* next = radios.at((i + (back ? radios.size() - 1 : 1)) % radios.size());
                next->CheckRadio();
                next->setFocus(Qt::TabFocusReason);
                next->Click();
            }
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void CPngButton::ClearInput()
{
    m_repeat.stop();
    if (m_pressed || m_hot || m_downInside) {
        m_pressed = false;
        m_hot = false;
        m_downInside = false;
        update();
    }
}

void CPngButton::focusOutEvent(QFocusEvent* event)
{
    ClearInput();
    QWidget::focusOutEvent(event);
}

void CPngButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        ClearInput();
        update();
    }
    QWidget::changeEvent(event);
}

void CPngButton::hideEvent(QHideEvent* event)
{
    ClearInput();
    QWidget::hideEvent(event);
}
