#include "views/schedule/CKelvoSeriesListBox.h"

#include "commands/CMainFrameMessages.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

void DrawLine(QPainter& p, const QRect& r, const QString& text)
{
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
}

} // namespace

CKelvoSeriesListBox::CKelvoSeriesListBox(CMainFrameMessages& messages, QWidget* parent)
    : CNxListBox(parent, kListId), m_messages(messages)
{
    SetItemHeight(kRowHeight);
    SetBackgroundColor(KelvoRes().colorBlack);
    SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
    setMouseTracking(true);
    // Wide enough for any time of day in the skin's format and a four-digit minute count.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QString nowText = CKelvoRes::FormatTime(KelvoRes().timeFormat, now);
    m_timeWidth = QFontMetrics(KelvoRes().fontNormal12)
                      .horizontalAdvance(QStringLiteral("%1~%1 / %2 Min").arg(nowText).arg(9999));
}

QRect CKelvoSeriesListBox::NameRect(int width) const
{
    const int left = 50 + m_timeWidth + 8;
    return QRect(left, 7, qMax(0, width - 8 - left), 30);
}

void CKelvoSeriesListBox::FillMembers(const CScheduleElement& seriesEntry)
{
    const bool wasEnabled = updatesEnabled();
    setUpdatesEnabled(false);
    m_rows.Fill(seriesEntry, KelvoRes().timeFormat);
    std::vector<QString> texts;
    for (const CSeriesRow& r : m_rows.Rows())
        texts.push_back(r.name);
    m_hot = -1;
    SetRows(std::move(texts));
    setUpdatesEnabled(wasEnabled);
    RecomputeHotRow();
}

void CKelvoSeriesListBox::ClearMembers()
{
    m_rows.Clear();
    m_hot = -1;
    SetRows({});
}

void CKelvoSeriesListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem&) const
{
    p.fillRect(rect, KelvoRes().colorBlack);
    p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), KelvoRes().colorListLine);
}

void CKelvoSeriesListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const auto& rows = m_rows.Rows();
    if (item.index < 0 || item.index >= static_cast<int>(rows.size()))
        return;
    const CSeriesRow& row = rows[static_cast<size_t>(item.index)];
    const auto& res = KelvoRes();
    const QPoint at = rect.topLeft();
    res.imgIconsSchedule.Draw(p, IconRect().translated(at), row.icon + (item.index == m_hot ? 5 : 0),
                              CNxImages::HAlign::Centre, CNxImages::VAlign::Centre);
    p.setPen(row.skipped ? res.colorColumn2 : res.colorText);
    p.setFont(res.fontNormal12);
    DrawLine(p, TimeRect().translated(at), row.timeLine);
    p.setFont(res.fontBold15);
    DrawLine(p, NameRect(rect.width()).translated(at), row.name);
}

void CKelvoSeriesListBox::wheelEvent(QWheelEvent* event)
{
    CNxListBox::wheelEvent(event);
    // The rows moved under a still cursor: the hot mark follows them.
    RecomputeHotRow();
}

int CKelvoSeriesListBox::IconRowAt(QPoint pos) const
{
    const int row = ItemFromPoint(pos);
    if (row < 0 || row >= static_cast<int>(m_rows.Rows().size()))
        return -1;
    return IconRect().translated(GetItemRect(row).topLeft()).contains(pos) ? row : -1;
}

void CKelvoSeriesListBox::SetHotRow(int row)
{
    if (row == m_hot)
        return;
    const int old = m_hot;
    m_hot = row;
    if (old >= 0)
        update(IconRect().translated(GetItemRect(old).topLeft()));
    if (row >= 0)
        update(IconRect().translated(GetItemRect(row).topLeft()));
}

void CKelvoSeriesListBox::RecomputeHotRow()
{
    if (!underMouse()) {
        return;
    }
    SetHotRow(IconRowAt(mapFromGlobal(QCursor::pos())));
}

void CKelvoSeriesListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (ItemFromPoint(pos) < 0) {
        m_hot = -1; // no repaint over the empty part, as the list always did
        return;
    }
    SetHotRow(IconRowAt(pos));
}

void CKelvoSeriesListBox::leaveEvent(QEvent* event)
{
    CNxListBox::leaveEvent(event);
    // The cursor is gone, so no icon stays lit.
    SetHotRow(-1);
}

void CKelvoSeriesListBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int row = ItemFromPoint(pos);
    if (row < 0 || row >= static_cast<int>(m_rows.Rows().size()))
        return;
    CNxListBox::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || IconRowAt(pos) != row)
        return;
    // The record travels as a value; the receiver may reload the database, which refills this
    // list, so nothing of the row is used after the signal.
    if (const auto step = m_rows.StepRecord(row))
        emit m_messages.setSchedule(*step);
    RecomputeHotRow();
}
