#include "views/schedule/CKelvoViewSchedule.h"

#include "res/CStringTable.h"
#include "views/schedule/CKelvoSeriesListBox.h"
#include "views/schedule/CScheduleCaption.h"

#include <QPainter>

CKelvoViewSchedule::CKelvoViewSchedule(const CQuarnDataModel&, CMainFrameMessages& messages, QWidget* parent)
    : QWidget(parent), m_frame(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frame.SetSkinBorders(true);
    m_frame.Apply();
    m_list = new CKelvoSeriesListBox(messages, this);
    // The frame gives the caption to its view caption bar; until then it waits here, hidden.
    m_caption = new CScheduleCaption(CStringTable::Get(CStringTable::IDS_SCHEDULE_SETTING), false, this);
    m_caption->hide();
    Layout();
    setObjectName(QStringLiteral("scheduleView"));
}

void CKelvoViewSchedule::FillMembers(const CScheduleElement& seriesEntry)
{
    m_list->FillMembers(seriesEntry);
}

void CKelvoViewSchedule::ClearMembers()
{
    m_list->ClearMembers();
}

void CKelvoViewSchedule::OnBeginUpdate()
{
    m_list->setUpdatesEnabled(false);
}

void CKelvoViewSchedule::OnEndUpdate()
{
    m_list->setUpdatesEnabled(true);
    m_list->update();
}

QWidget* CKelvoViewSchedule::CaptionContent() const
{
    return m_caption.data();
}

void CKelvoViewSchedule::Layout()
{
    m_list->setGeometry(contentsRect());
}

void CKelvoViewSchedule::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CKelvoViewSchedule::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    m_frame.PaintBorders(p);
}
