#include "views/guide/CKelvoEPGListBox.h"

#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CGuideElement.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {

QString SpanText(qint64 start, qint64 end, int minutes)
{
    const QString& format = KelvoRes().timeFormat;
    return QStringLiteral("%1~%2 / %3 Min")
        .arg(CKelvoRes::FormatTime(format, start), CKelvoRes::FormatTime(format, end))
        .arg(minutes);
}

} // namespace

CKelvoEPGListBox::CKelvoEPGListBox(const CQuarnDataModel& db, CMainFrameMessages& messages,
                                   std::function<qint64()> boxTime, QWidget* parent)
    : CNxListBox(parent, Kelvo::ID_GUIDE_LIST), m_db(db), m_messages(messages), m_boxTime(std::move(boxTime))
{
    if (!m_boxTime)
        m_boxTime = [] { return QDateTime::currentSecsSinceEpoch(); };
    setMouseTracking(true);
    SetNotify(true);
    SetSorted(false);
    SetBackgroundColor(KelvoRes().colorBlack);
    SetEmptyTextColor(KelvoRes().colorText);
    SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
    SetItemHeight(kRowHeight);
    Layout();
}

CKelvoEPGListBox::~CKelvoEPGListBox()
{
    m_progress.stop();
}

void CKelvoEPGListBox::ShowDay(const CGuideElement* guide, qint64 day)
{
    StopProgressTimer();
    m_onAirRow = -1;
    if (guide)
        m_rows.Fill(*guide, day);
    else
        m_rows.Clear();
    std::vector<QString> names;
    std::vector<QVariant> ids;
    names.reserve(static_cast<size_t>(m_rows.Count()));
    ids.reserve(static_cast<size_t>(m_rows.Count()));
    for (int i = 0; i < m_rows.Count(); ++i) {
        names.push_back(m_rows.At(i)->name);
        ids.emplace_back(m_rows.At(i)->eventId);
    }
    SetRows(std::move(names), std::move(ids));
    m_guideShown = guide != nullptr;
    ApplyProgressTimer();
}

void CKelvoEPGListBox::ScrollToNow()
{
    const int row = m_rows.FirstNotEnded(m_boxTime());
    if (row >= 0)
        EnsureVisible(row);
}

void CKelvoEPGListBox::RepaintEvent(int eventId)
{
    const int row = m_rows.FindEvent(eventId);
    if (row >= 0)
        update(GetItemRect(row));
}

void CKelvoEPGListBox::ApplyProgressTimer()
{
    if (m_guideShown && !m_updating && isVisible())
        m_progress.start(kProgressPeriodMs, this);
    else
        m_progress.stop();
}

void CKelvoEPGListBox::SetUpdating(bool on)
{
    m_updating = on;
    ApplyProgressTimer();
}

void CKelvoEPGListBox::StopProgressTimer()
{
    m_progress.stop();
}

std::pair<int, int> CKelvoEPGListBox::HitTest(QPoint pos) const
{
    const int row = ItemFromPoint(pos);
    if (row < 0)
        return {-1, PartNone};
    const QPoint inRow = pos - GetItemRect(row).topLeft();
    if (m_iconRect.contains(inRow))
        return {row, PartIcon};
    if (m_timerRect.contains(inRow))
        return {row, PartTimer};
    return {-1, PartNone};
}

QRect CKelvoEPGListBox::PartRect(int row, int part) const
{
    const QRect r = GetItemRect(row);
    if (r.isEmpty())
        return QRect();
    if (part == PartIcon)
        return m_iconRect.translated(r.topLeft());
    if (part == PartTimer)
        return m_timerRect.translated(r.topLeft());
    return QRect();
}

std::pair<int, int> CKelvoEPGListBox::Hot() const
{
    return m_mouse ? HitTest(*m_mouse) : std::pair<int, int>{-1, PartNone};
}

void CKelvoEPGListBox::PlaceScrollBar()
{
    CNxListBox::PlaceScrollBar();
    Layout();
}

void CKelvoEPGListBox::resizeEvent(QResizeEvent* event)
{
    CNxListBox::resizeEvent(event);
    Layout();
}

void CKelvoEPGListBox::Layout()
{
    const int w = ClientRect().width();
    // Wide enough for the widest span the time format can produce.
    const QString now = CKelvoRes::FormatTime(KelvoRes().timeFormat, QDateTime::currentSecsSinceEpoch());
    const QString widest = QStringLiteral("%1~%2 / %3 Min").arg(now, now).arg(9999);
    const int timeWidth = QFontMetrics(KelvoRes().fontNormal12).horizontalAdvance(widest);
    m_iconRect = QRect(QPoint(12, 7), QPoint(41, 36));
    m_timeRect = QRect(QPoint(50, 7), QPoint(50 + timeWidth - 1, 36));
    m_timerRect = QRect(QPoint(w - 42, 7), QPoint(w - 13, 36));
    m_nameRect = QRect(QPoint(m_timeRect.right() + 1 + 8, 7), QPoint(w - 42 - 8 - 1, 36));
    update();
}

void CKelvoEPGListBox::RowsChanged()
{
    // Rows were replaced: a press begun on one of them must not land on another event.
    m_pressedRow = -1;
    m_onAirRow = -1;
}

void CKelvoEPGListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    using HA = CNxImages::HAlign;
    using VA = CNxImages::VAlign;
    const CKelvoRes& res = KelvoRes();
    p.fillRect(rect, res.colorBlack);
    const EPGRow* row = m_rows.At(item.index);
    if (row && item.selected) {
        res.imgRowBlue43.Draw(p, rect, 0, HA::Stretch, VA::Top);
    } else if (row) {
        const double progress = CKelvoEPGRows::Progress(row->start, row->end, m_boxTime());
        if (progress > 0.0) {
            const int split = static_cast<int>(rect.width() * progress);
            res.imgProgressBlue43.Draw(p, QRect(rect.left(), rect.top(), split, rect.height()), 0,
                                       HA::Stretch, VA::Top);
            res.imgRowGrey43.Draw(p,
                                  QRect(rect.left() + split, rect.top(), rect.width() - split, rect.height()),
                                  0, HA::Stretch, VA::Top);
        }
    }
    p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), res.colorListLine);
}

void CKelvoEPGListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    using HA = CNxImages::HAlign;
    using VA = CNxImages::VAlign;
    const EPGRow* row = m_rows.At(item.index);
    if (!row)
        return;
    const CKelvoRes& res = KelvoRes();
    const qint64 now = m_boxTime();
    const bool ended = CKelvoEPGRows::HasEnded(row->end, now);
    const CScheduleElement* schedule = m_updating ? nullptr : m_rows.ScheduleOf(m_db, item.index);
    const auto [hotRow, hotPart] = Hot();

    QRect timer = m_timerRect.translated(rect.topLeft());
    int timerFrame = 0;
    if (schedule && schedule->seriesId >= 0) {
        timerFrame = 3;
    } else if (hotRow == item.index && hotPart == PartTimer && m_pressedRow == item.index) {
        timerFrame = 1;
        timer.translate(1, 1);
    } else if (hotRow == item.index && hotPart == PartTimer && m_pressedRow < 0) {
        timerFrame = 2;
    }
    res.imgIconsClock.Draw(p, timer, timerFrame, HA::Centre, VA::Centre);

    int iconFrame = CKelvoEPGRows::IconFrameFor(schedule);
    if (hotRow == item.index && hotPart == PartIcon && !ended)
        iconFrame += CKelvoEPGRows::kHoverFrames;
    res.imgIconsSchedule.Draw(p, m_iconRect.translated(rect.topLeft()), iconFrame, HA::Centre, VA::Centre);

    p.setPen(ended ? res.colorColumn2 : res.colorText);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    const QRect time = m_timeRect.translated(rect.topLeft());
    p.setFont(res.fontNormal12);
    p.drawText(time, flags,
               p.fontMetrics().elidedText(
                   SpanText(row->start, row->end, CKelvoEPGRows::LengthMinutes(row->start, row->end)),
                   Qt::ElideRight, time.width()));
    const QRect name = m_nameRect.translated(rect.topLeft());
    p.setFont(res.fontBold15);
    p.drawText(name, flags, p.fontMetrics().elidedText(row->name, Qt::ElideRight, qMax(0, name.width())));
}

void CKelvoEPGListBox::SetMousePos(std::optional<QPoint> pos)
{
    const auto before = Hot();
    m_mouse = pos;
    const auto after = Hot();
    if (before == after)
        return;
    UpdatePart(before.first, before.second);
    UpdatePart(after.first, after.second);
}

void CKelvoEPGListBox::UpdatePart(int row, int part)
{
    const QRect r = PartRect(row, part);
    if (!r.isEmpty())
        update(r.adjusted(0, 0, 1, 1)); // the pressed timer button is drawn one pixel down and right
}

void CKelvoEPGListBox::mouseMoveEvent(QMouseEvent* event)
{
    SetMousePos(event->position().toPoint());
}

void CKelvoEPGListBox::mousePressEvent(QMouseEvent* event)
{
    CNxListBox::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    SetMousePos(pos);
    if (event->button() != Qt::LeftButton || m_updating)
        return;
    const auto [row, part] = HitTest(pos);
    if (part == PartTimer) {
        if (m_rows.TimerDisabled(m_db, row))
            return;
        m_pressedRow = row;
        UpdatePart(row, PartTimer);
    } else if (part == PartIcon) {
        PressIcon(row);
    }
}

void CKelvoEPGListBox::PressIcon(int row)
{
    const std::optional<CScheduleElement> copy = m_rows.IconPress(m_db, row, m_boxTime());
    if (!copy)
        return;
    // The frame sends it to the box and, once the box has answered, tells us which event to
    // repaint; the next press then starts from whatever the box stored.
    emit m_messages.setSchedule(*copy);
}

void CKelvoEPGListBox::mouseReleaseEvent(QMouseEvent* event)
{
    CNxListBox::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || m_pressedRow < 0)
        return;
    const int row = m_pressedRow;
    m_pressedRow = -1;
    UpdatePart(row, PartTimer);
    const QPoint pos = event->position().toPoint();
    SetMousePos(pos);
    if (m_updating || HitTest(pos) != std::pair<int, int>{row, PartTimer})
        return;
    if (const std::optional<CScheduleElement> schedule = m_rows.TimerPress(m_db, row))
        emit m_messages.editSchedule(*schedule);
}

void CKelvoEPGListBox::CancelPress()
{
    if (m_pressedRow >= 0)
        UpdatePart(m_pressedRow, PartTimer);
    m_pressedRow = -1;
}

void CKelvoEPGListBox::leaveEvent(QEvent* event)
{
    SetMousePos(std::nullopt);
    CNxListBox::leaveEvent(event);
}

void CKelvoEPGListBox::showEvent(QShowEvent* event)
{
    CNxListBox::showEvent(event);
    ApplyProgressTimer();
}

void CKelvoEPGListBox::hideEvent(QHideEvent* event)
{
    m_progress.stop();
    CancelPress();
    SetMousePos(std::nullopt);
    CNxListBox::hideEvent(event);
}

void CKelvoEPGListBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_progress.timerId()) {
        CNxListBox::timerEvent(event);
        return;
    }
    AdvanceProgress();
}

void CKelvoEPGListBox::AdvanceProgress()
{
    if (m_updating || GetItemHeight() <= 0)
        return;
    // Only the running event's bar moves; a partly shown last row counts as shown.
    const qint64 now = m_boxTime();
    const int shown = (ClientRect().height() + GetItemHeight() - 1) / GetItemHeight();
    const int last = qMin(GetCount(), GetTopIndex() + shown);
    for (int i = GetTopIndex(); i < last; ++i) {
        const EPGRow* row = m_rows.At(i);
        if (!row || CKelvoEPGRows::Progress(row->start, row->end, now) <= 0.0)
            continue;
        update(GetItemRect(i));
        if (i != m_onAirRow) {
            if (m_onAirRow >= 0)
                update(GetItemRect(m_onAirRow));
            m_onAirRow = i;
        }
        return;
    }
    // The running event has ended (or scrolled away): its bar must not stay drawn.
    if (m_onAirRow >= 0)
        update(GetItemRect(m_onAirRow));
    m_onAirRow = -1;
}
