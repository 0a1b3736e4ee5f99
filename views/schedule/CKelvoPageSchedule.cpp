#include "views/schedule/CKelvoPageSchedule.h"

#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "views/schedule/CKelvoScheduleListBox.h"

#include <QDateTime>
#include <QPainter>

namespace {

constexpr int kScheduleMode = 1;

// The database's current record for a row: schedules are looked up again on use, so what is
// sent is what the database holds now, not what the row copied at its last fill.
const CScheduleElement* CurrentRecord(const CQuarnDataModel& db, const CScheduleElement& row)
{
    if (row.seriesId < 0) {
        const CScheduleElement* s = db.FindSchedule(row.id);
        return s && s->seriesId < 0 ? s : nullptr;
    }
    for (const auto& entry : db.Schedules()) {
        if (entry->seriesId == row.seriesId)
            return entry.get();
    }
    return nullptr;
}

} // namespace

CKelvoPageSchedule::CKelvoPageSchedule(const CQuarnDataModel& db, CMainFrameMessages& messages,
                                       std::function<qint64()> boxTime, QWidget* parent)
    : CKelvoBaseWnd(parent), m_db(db), m_messages(messages), m_boxTime(std::move(boxTime)),
      m_title(CStringTable::Get(CStringTable::IDS_MY_SCHEDULE))
{
    setObjectName(QStringLiteral("PageSchedule"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_list = new CKelvoScheduleListBox(this);
    m_list->SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
    // Until the first reload the page shows the "+" row alone, nothing selected.
    m_list->FillSchedules({}, true);
    connect(m_list, &CNxListBox::selectionChanged, this, &CKelvoPageSchedule::Announce);
    connect(m_list, &CKelvoScheduleListBox::reselected, this, &CKelvoPageSchedule::Announce);
    Layout();
    m_list->setObjectName(QStringLiteral("ScheduleList"));
}

void CKelvoPageSchedule::RefreshContent(bool resetSelection)
{
    const bool wasEnabled = m_list->updatesEnabled();
    m_list->setUpdatesEnabled(false);
    const int sel = m_list->FillSchedules(m_db.Schedules(), resetSelection);
    m_list->setUpdatesEnabled(wasEnabled);
    if (sel >= 0 && m_uiMode && m_uiMode() == kScheduleMode)
        Announce(sel);
}

void CKelvoPageSchedule::OnBeginUpdate()
{
    m_list->setUpdatesEnabled(false);
}

void CKelvoPageSchedule::OnEndUpdate()
{
    m_list->setUpdatesEnabled(true);
    m_list->update();
}

bool CKelvoPageSchedule::SelectionOpensEditForm() const
{
    return m_list->Rows().OpensEditForm(m_list->GetCurSel());
}

void CKelvoPageSchedule::Announce(int row)
{
    const auto& rows = m_list->Rows().Rows();
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return;
    m_list->KeepSelection(row);
    const CScheduleRow& r = rows[static_cast<size_t>(row)];
    if (!r.isNew) {
        // A copy: the receiver may reload the database while it still reads the record.
        const CScheduleElement* current = CurrentRecord(m_db, r.schedule);
        const CScheduleElement record = current ? *current : r.schedule;
        emit m_messages.editSchedule(record);
        return;
    }
    const qint64 now = m_boxTime ? m_boxTime() : QDateTime::currentSecsSinceEpoch();
    const auto made = MakeNewSchedule(m_db, m_lastStreamingKey ? m_lastStreamingKey() : -1, now);
    if (made)
        emit m_messages.editSchedule(*made);
}

void CKelvoPageSchedule::resizeEvent(QResizeEvent* event)
{
    CKelvoBaseWnd::resizeEvent(event);
    Layout();
}

void CKelvoPageSchedule::Layout()
{
    const auto& res = KelvoRes();
    const int w = width();
    const int h = height();
    const int headerH = res.imgBarDark38.IsNull() ? 38 : res.imgBarDark38.FrameSize().height();
    const int bottomH = res.imgFrameBottom.IsNull() ? 9 : res.imgFrameBottom.FrameSize().height();
    const int leftW = res.imgFrameLeft.IsNull() ? 5 : res.imgFrameLeft.FrameSize().width();
    const int rightW = res.imgFrameRight.IsNull() ? 5 : res.imgFrameRight.FrameSize().width();
    m_header = QRect(0, 0, w, headerH);
    m_bottom = QRect(0, h - bottomH, w, bottomH);
    m_left = QRect(0, headerH, leftW, h - bottomH - headerH);
    m_right = QRect(w - rightW, headerH, rightW, h - bottomH - headerH);
    m_list->setGeometry(leftW, headerH, qMax(0, w - leftW - rightW), qMax(0, h - bottomH - headerH));
}

void CKelvoPageSchedule::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintBackground(p);
    PaintFrame(p);
}

void CKelvoPageSchedule::PaintBackground(QPainter& p) const
{
    const auto& res = KelvoRes();
    p.fillRect(rect(), res.colorListBack);
    res.imgBarDark38.Draw3Slice(p, m_header, CNxImages::VAlign::Top);
    res.imgFrameBottom.Draw3Slice(p, m_bottom, CNxImages::VAlign::Top);
}

void CKelvoPageSchedule::PaintFrame(QPainter& p) const
{
    const auto& res = KelvoRes();
    res.imgFrameLeft.Draw(p, m_left, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    res.imgFrameRight.Draw(p, m_right, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    p.setFont(res.fontBold15);
    p.setPen(res.colorText);
    p.drawText(m_header, Qt::AlignCenter | Qt::TextSingleLine, m_title);
}
