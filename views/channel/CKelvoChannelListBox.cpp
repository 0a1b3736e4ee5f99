#include "views/channel/CKelvoChannelListBox.h"

#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "views/channel/CChannelRows.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Windows-style edges (right and bottom exclusive) to a QRect.
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, qMax(0, right - left), qMax(0, bottom - top));
}

void DrawLine(QPainter& p, const QRect& r, const QString& text, Qt::Alignment align)
{
    p.drawText(r, int(align) | Qt::AlignBottom | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
}
} // namespace

CKelvoChannelListBox::RowLayout CKelvoChannelListBox::RowLayout::ForWidth(int w)
{
    RowLayout l;
    l.number = Edges(18, 4, 60, 25);
    l.scrambled = Edges(60, 8, 74, 22);
    l.name = Edges(77, 4, w - 64, 25);
    l.lock = Edges(w - 61, 6, w - 45, 22);
    l.guideButton = Edges(w - 39, 10, w - 12, 35);
    l.start = Edges(18, 25, 60, 40);
    l.eventName = Edges(60, 25, w - 93, 40);
    l.duration = Edges(w - 90, 25, w - 42, 40);
    return l;
}

CKelvoChannelListBox::CKelvoChannelListBox(const CQuarnDataModel& db, const CChannelRows& rows,
                                           CMainFrameMessages& messages, QWidget* parent)
    : CNxListBox(parent, 49175), m_db(db), m_rows(rows), m_messages(messages),
      m_noEventText(CStringTable::Get(CStringTable::IDS_NO_INFORMATION))
{
    setMouseTracking(true);
    SetItemHeight(kRowHeight);
    SetBackgroundColor(KelvoRes().colorListBack);
    SetEmptyTextColor(KelvoRes().colorText);
    SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
    PlaceScrollBar();
}

void CKelvoChannelListBox::RowsRefilled()
{
    // The base list only needs the count; what a row shows is read through its key.
    SetRows(std::vector<QString>(static_cast<size_t>(m_rows.Count())));
}

int CKelvoChannelListBox::KeyAt(int row) const
{
    return m_rows.KeyAt(row);
}

void CKelvoChannelListBox::SetStreamingService(int key)
{
    if (key != m_streaming) {
        m_streaming = key;
        update();
    }
}

void CKelvoChannelListBox::ShowStreamedRow(int previousKey)
{
    if (previousKey >= 0) {
        const int top = GetTopIndex();
        const int last = qMin(GetCount() - 1, top + ClientRect().height() / kRowHeight);
        for (int i = top; i <= last; ++i) {
            if (KeyAt(i) == previousKey) {
                update(GetItemRect(i));
                break;
            }
        }
    }
    if (m_streaming >= 0) {
        for (int i = 0; i < GetCount(); ++i) {
            if (KeyAt(i) == m_streaming) {
                update(GetItemRect(i));
                EnsureVisible(i);
                break;
            }
        }
    }
}

void CKelvoChannelListBox::SetUpdating(bool on)
{
    if (on == m_updating) {
        return;
    }
    m_updating = on;
    if (on) {
        CancelPress();
        m_hot = -1;
    }
    update();
}

void CKelvoChannelListBox::SetGuideButtonsEnabled(bool on)
{
    if (on != m_guideEnabled) {
        m_guideEnabled = on;
        if (!on) {
            CancelPress();
        }
        update();
    }
}

void CKelvoChannelListBox::PlaceScrollBar()
{
    CNxListBox::PlaceScrollBar();
    m_layout = RowLayout::ForWidth(ClientRect().width());
}

void CKelvoChannelListBox::UpdateScrollBar()
{
    CNxListBox::UpdateScrollBar();
    // Rows moved under a resting pointer: the button under it is another one now.
    if (m_tracking && !m_capturing) {
        SetHotRow(HitTestGuideButton(mapFromGlobal(QCursor::pos())));
    }
}

QRect CKelvoChannelListBox::GuideButtonRect(int row) const
{
    const QRect r = GetItemRect(row);
    return r.isNull() ? QRect() : m_layout.guideButton.translated(r.topLeft());
}

int CKelvoChannelListBox::HitTestGuideButton(QPoint pos) const
{
    const int row = ItemFromPoint(pos);
    if (row < 0 || !m_guideEnabled || m_updating) {
        return -1;
    }
    const CServiceElement* service = m_db.FindService(KeyAt(row));
    // An event id of 0 shows an active button that does not answer, as the box's own client does.
    if (!service || service->presentEvent.id <= 0) {
        return -1;
    }
    return GuideButtonRect(row).contains(pos) ? row : -1;
}

int CKelvoChannelListBox::GuideButtonFrame(int row) const
{
    const CServiceElement* service = m_updating ? nullptr : m_db.FindService(KeyAt(row));
    if (!m_guideEnabled || !service || service->presentEvent.id < 0) {
        return 3;
    }
    if (row == m_hot && row == m_pressed) {
        return 1;
    }
    if (row == m_hot && m_pressed < 0 && m_tracking) {
        return 2;
    }
    return 0;
}

void CKelvoChannelListBox::UpdateButton(int row)
{
    const QRect r = GuideButtonRect(row);
    if (!r.isNull()) {
        update(r.adjusted(0, 0, 1, 1)); // the pressed image sits one pixel lower right
    }
}

void CKelvoChannelListBox::SetHotRow(int row)
{
    if (row == m_hot) {
        return;
    }
    UpdateButton(m_hot);
    m_hot = row;
    UpdateButton(m_capturing ? m_pressed : m_hot);
}

void CKelvoChannelListBox::CancelPress()
{
    if (m_capturing || m_pressed >= 0) {
        m_capturing = false;
        m_hot = -1;
        m_pressed = -1;
        update();
    }
}

void CKelvoChannelListBox::mouseMoveEvent(QMouseEvent* event)
{
    m_tracking = true;
    SetHotRow(HitTestGuideButton(event->position().toPoint()));
}

void CKelvoChannelListBox::mousePressEvent(QMouseEvent* event)
{
    CNxListBox::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !m_guideEnabled) {
        return;
    }
    const int hit = HitTestGuideButton(event->position().toPoint());
    m_hot = hit;
    if (hit >= 0) {
        m_capturing = true; // Qt keeps the mouse with us until the button is released
        m_pressed = hit;
        UpdateButton(hit);
    }
}

void CKelvoChannelListBox::mouseReleaseEvent(QMouseEvent* event)
{
    CNxListBox::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_capturing = false;
    const int pressed = m_pressed;
    m_pressed = -1;
    UpdateButton(pressed);
    if (pressed >= 0 && pressed == m_hot) {
        // Last: the frame may reload the database and refill these rows before this returns.
        emit m_messages.showGuide(KeyAt(pressed));
    }
}

void CKelvoChannelListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double-click on a guide button is not a double-click on the row:
    // the first click has already opened the guide, and playing now would take it away again.
    if (m_updating ||
        (event->button() == Qt::LeftButton && HitTestGuideButton(event->position().toPoint()) >= 0)) {
        return;
    }
    CNxListBox::mouseDoubleClickEvent(event);
}

void CKelvoChannelListBox::leaveEvent(QEvent* event)
{
    CNxListBox::leaveEvent(event);
    m_tracking = false;
    UpdateButton(m_hot);
}

void CKelvoChannelListBox::hideEvent(QHideEvent* event)
{
    CNxListBox::hideEvent(event);
    CancelPress();
}

bool CKelvoChannelListBox::event(QEvent* event)
{
    // The window system's "cancel mode": another window took the mouse away from us.
    if (event->type() == QEvent::UngrabMouse || event->type() == QEvent::WindowDeactivate) {
        CancelPress();
    }
    return CNxListBox::event(event);
}

void CKelvoChannelListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const CServiceElement* service = m_updating ? nullptr : m_db.FindService(KeyAt(item.index));
    const CNxImages* image = nullptr;
    if (service && service->key == m_streaming) {
        image = &KelvoRes().imgRowBlue43;
    } else if (service && service->live) {
        image = &KelvoRes().imgRowGrey43;
    }
    p.fillRect(rect, KelvoRes().colorListBack);
    if (image && !image->IsNull()) {
        const QRect band(rect.left(), rect.top(), rect.width(), image->FrameSize().height());
        image->Draw(p, band, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    }
    p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), KelvoRes().colorListLine);
}

void CKelvoChannelListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const CServiceElement* service = m_updating ? nullptr : m_db.FindService(KeyAt(item.index));
    if (!service) {
        return;
    }
    const CKelvoRes& res = KelvoRes();
    const QPoint o = rect.topLeft();
    const RowLayout& l = m_layout;

    const int frame = GuideButtonFrame(item.index);
    const QPoint shift = frame == 1 ? QPoint(1, 1) : QPoint();
    res.imgIconsTimer.Draw(p, l.guideButton.translated(o + shift), frame, CNxImages::HAlign::Left,
                           CNxImages::VAlign::Top);

    QRect name = l.name.translated(o);
    if (service->scrambled) {
        res.imgIconScrambled.Draw(p, l.scrambled.translated(o), 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    } else {
        name.setLeft(o.x() + l.scrambled.left());
    }
    if (service->blocked) {
        res.imgIconLock.Draw(p, l.lock.translated(o), 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    }

    p.setPen(service->streamingPossible ? res.colorText : res.colorColumn2);
    p.setFont(res.fontBold15);
    DrawLine(p, l.number.translated(o), CChannelRows::NumberText(service->lcn), Qt::AlignLeft);
    if (p.fontMetrics().horizontalAdvance(service->name) > name.width()) {
        p.setFont(res.fontBold12);
    }
    DrawLine(p, name, service->name, Qt::AlignLeft);

    if (!service->streamingPossible) {
        p.setPen(res.colorColumn2);
    } else {
        p.setPen(item.selected || service->live ? res.colorColumn1 : res.colorColumn3);
    }
    p.setFont(res.fontNormal12);
    const CEventElement& event = service->presentEvent;
    if (event.id < 0) {
        DrawLine(p, l.eventName.translated(o), m_noEventText, Qt::AlignLeft);
        return;
    }
    DrawLine(p, l.start.translated(o), CChannelRows::StartText(event.start), Qt::AlignLeft);
    DrawLine(p, l.duration.translated(o),
             QStringLiteral("%1 Min").arg(CChannelRows::LengthMinutes(event.start, event.end)), Qt::AlignRight);
    const QRect eventName = l.eventName.translated(o);
    if (p.fontMetrics().horizontalAdvance(event.name) > eventName.width()) {
        p.setFont(res.fontNormal10);
    }
    DrawLine(p, eventName, event.name, Qt::AlignLeft);
}
