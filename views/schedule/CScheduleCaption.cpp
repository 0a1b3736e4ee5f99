#include "views/schedule/CScheduleCaption.h"

#include "commands/KelvoCommandIds.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"
#include "ui/KelvoImageTable.h"

CScheduleCaption::CScheduleCaption(const QString& title, bool withBackButton, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setFixedHeight(kHeight);
    const auto& res = KelvoRes();
    m_title = new CNxStatic(title, this);
    m_title->SetTransparent(true);
    m_title->setFont(res.fontBold15);
    m_title->SetTextColour(res.colorText);
    m_title->SizeToText();
    if (withBackButton) {
        m_back = new CNxButton(this, Kelvo::ID_SCHEDULE_EDIT_BACK);
        m_back->setText(CStringTable::Get(CStringTable::IDS_PROGRAM_GUIDE));
        m_back->setFont(res.fontNormal12);
        m_back->SetImage(Kelvo::IDB_BACK, Kelvo::IDB_BACK_HOT);
        m_back->SetCheckedImage(Kelvo::IDB_BACK_CHECKED);
        m_back->SetTextColours(res.colorText, res.colorHot, res.colorPressed);
        m_back->SetTransparent(true);
        m_back->SizeToContent();
        m_back->move(4, 1);
    }
    PlaceCaption();
}

void CScheduleCaption::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceCaption();
}

void CScheduleCaption::PlaceCaption()
{
    m_title->move((width() - m_title->width()) / 2, (height() - m_title->height()) / 2);
}
