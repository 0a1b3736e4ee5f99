#include "views/guide/CKelvoViewEPG.h"

#include "commands/KelvoCommandIds.h"
#include "model/CGuideElement.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/KelvoImageTable.h"
#include "views/common/CKelvoEPGCaption.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoEPGRows.h"

#include <QDateTime>
#include <QEvent>
#include <QPainter>

CKelvoViewEPG::CKelvoViewEPG(const CQuarnDataModel& db, CMainFrameMessages& messages,
                             std::function<qint64()> boxTime, QWidget* parent)
    : QWidget(parent), m_db(db), m_boxTime(std::move(boxTime)), m_frame(this)
{
    if (!m_boxTime)
        m_boxTime = [] { return QDateTime::currentSecsSinceEpoch(); };
    const CKelvoRes& res = KelvoRes();
    if (!res.imgBandGrey26.IsNull())
        m_bandHeight = res.imgBandGrey26.FrameSize().height();
    m_frame.SetSkinBorders(true);
    m_frame.Apply();
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_prevDay = new CKelvoButton(this, Kelvo::ID_GUIDE_PREV_DAY);
    m_prevDay->SetImage(Kelvo::IDB_PREV_DAY, 3);
    m_nextDay = new CKelvoButton(this, Kelvo::ID_GUIDE_NEXT_DAY);
    m_nextDay->SetImage(Kelvo::IDB_NEXT_DAY, 3);
    connect(m_prevDay, &CPngButton::clicked, this, &CKelvoViewEPG::ShowPrevDay);
    connect(m_nextDay, &CPngButton::clicked, this, &CKelvoViewEPG::ShowNextDay);
    m_list = new CKelvoEPGListBox(db, messages, m_boxTime, this);

    m_captionContent = new QWidget(this);
    m_captionContent->hide();
    m_captionContent->setObjectName(QStringLiteral("GuideCaptionContent"));
    m_captionContent->resize(400, kCaptionHeight);
    m_captionContent->setFixedHeight(kCaptionHeight);
    m_captionContent->installEventFilter(this);
    m_back = new CNxButton(m_captionContent, Kelvo::ID_GUIDE_TV);
    m_back->setText(CStringTable::Get(CStringTable::IDS_GUIDE_BACK_TV));
    if (res.IsLoaded())
        m_back->setFont(res.fontNormal12);
    m_back->SetTextColours(res.colorText, res.colorText, res.colorText);
    m_back->SetImage(Kelvo::IDB_BACK, Kelvo::IDB_BACK_HOT);
    m_back->SetCheckedImage(Kelvo::IDB_BACK_CHECKED);
    m_back->move(4, 1);
    m_back->SizeToContent();
    m_caption = new CKelvoEPGCaption(m_captionContent);
    PlaceCaption();
    Layout();
    setObjectName(QStringLiteral("guideView"));
    m_list->setObjectName(QStringLiteral("GuideList"));
    m_nextDay->setObjectName(QStringLiteral("GuideNextDay"));
}

const CGuideElement* CKelvoViewEPG::ShownGuide() const
{
    const CGuideElement& guide = m_db.Guide();
    if (!m_hasGuide || guide.svcType != m_guideType || guide.svcIdx != m_guideIdx)
        return nullptr;
    return &guide;
}

bool CKelvoViewEPG::SetService(int serviceKey)
{
    const CServiceElement* service = serviceKey >= 0 ? m_db.FindService(serviceKey) : nullptr;
    m_caption->SetService(service);
    PlaceCaption();
    if (!service) {
        // The guide and day stay, so the day buttons still page the last guide shown.
        m_serviceKey = -1;
        m_list->ShowDay(nullptr, 0);
        return serviceKey < 0;
    }
    m_serviceKey = serviceKey;
    m_hasGuide = false;
    m_day = 0;
    update(m_dateRect);
    const CGuideElement& guide = m_db.Guide();
    if (guide.svcType != service->type || guide.svcIdx != service->idx) {
        // The load failed: rows of whatever was shown before are not this service's events.
        m_list->ShowDay(nullptr, 0);
        return false;
    }
    m_hasGuide = true;
    m_guideType = guide.svcType;
    m_guideIdx = guide.svcIdx;
    // A reply without a creation time leaves no box day; the box's clock stands in.
    m_day = guide.boxTime != 0 ? guide.boxTime : m_boxTime();
    m_list->ShowDay(&guide, m_day);
    return true;
}

void CKelvoViewEPG::ScrollToNow()
{
    m_list->ScrollToNow();
}

void CKelvoViewEPG::SetEventId(int eventId)
{
    m_list->RepaintEvent(eventId);
}

void CKelvoViewEPG::StopProgressTimer()
{
    m_list->StopProgressTimer();
}

void CKelvoViewEPG::OnBeginUpdate()
{
    m_list->SetUpdating(true);
    m_list->setUpdatesEnabled(false);
}

void CKelvoViewEPG::OnEndUpdate()
{
    m_list->setUpdatesEnabled(true);
    m_list->SetUpdating(false);
    m_list->update();
}

void CKelvoViewEPG::RefreshContent()
{
    if (m_serviceKey >= 0) {
        m_caption->SetService(m_db.FindService(m_serviceKey));
        PlaceCaption();
    }
    if (m_day == 0)
        return;
    const int top = m_list->GetTopIndex();
    m_list->ShowDay(ShownGuide(), m_day);
    m_list->SetTopIndex(top);
}

void CKelvoViewEPG::ShowPrevDay()
{
    StepDay(-1);
}

void CKelvoViewEPG::ShowNextDay()
{
    StepDay(+1);
}

void CKelvoViewEPG::StepDay(int days)
{
    if (m_day == 0)
        return;
    m_day = CKelvoEPGRows::AddDays(m_day, days);
    m_list->ShowDay(ShownGuide(), m_day);
    update(m_dateRect);
}

bool CKelvoViewEPG::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_captionContent && event->type() == QEvent::Resize)
        PlaceCaption();
    return QWidget::eventFilter(watched, event);
}

void CKelvoViewEPG::PlaceCaption()
{
    if (!m_captionContent)
        return;
    const QRect area = m_captionContent->rect();
    m_caption->move(area.left() + (area.width() - m_caption->width()) / 2,
                    area.top() + (area.height() - m_caption->height()) / 2);
}

void CKelvoViewEPG::resizeEvent(QResizeEvent*)
{
    Layout();
}

void CKelvoViewEPG::Layout()
{
    const QRect client = contentsRect();
    const int w = client.width();
    m_prevDay->move(client.left() + 4, client.top());
    m_nextDay->move(client.left() + w - m_nextDay->width() - 4, client.top());
    m_list->setGeometry(client.left(), client.top() + m_bandHeight, w,
                        qMax(0, client.height() - m_bandHeight));
    m_dateRect = QRect(client.left() + (w - kDateWidth) / 2, client.top(), kDateWidth, m_bandHeight);
    update();
}

void CKelvoViewEPG::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const CKelvoRes& res = KelvoRes();
    const QRect client = contentsRect();
    p.fillRect(client, res.colorBlack);
    res.imgBandGrey26.Draw(p, client, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    if (m_day != 0) {
        p.setFont(res.fontBold14);
        p.setPen(res.colorText);
        const QString date = CKelvoRes::FormatTime(res.dateFormatShort, m_day);
        p.drawText(m_dateRect, Qt::AlignCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(date, Qt::ElideRight, m_dateRect.width()));
    }
    m_frame.PaintBorders(p);
}
