#include "player/CKelvoInfoBox.h"

#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/KelvoImageTable.h"

#include <QDateTime>
#include <QPainter>

namespace {

void DrawLine(QPainter& p, const QRect& rect, const QString& text, Qt::Alignment h)
{
    if (rect.width() <= 0) {
        return;
    }
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    p.drawText(rect, h | Qt::AlignBottom | Qt::TextSingleLine, shown);
}

} // namespace

CKelvoInfoBox::CKelvoInfoBox(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent)
    : CKelvoBaseWnd(parent), m_db(db), m_messages(messages)
{
    // Not opaque: the skin's box is translucent with rounded corners, so the bar has to be painted
    // beneath it; otherwise whatever the window showed there before (a bar that is hidden now)
    // stays in the back buffer and shows through.
    m_info = new CKelvoButton(this, Kelvo::ID_CHANNEL_INFO);
    m_info->SetImage(Kelvo::IDB_CHANNEL_INFO, 3);
    m_info->setEnabled(false);
    connect(m_info, &CKelvoButton::clicked, this, &CKelvoInfoBox::ShowInfo);
    resize(kMinWidth, kHeight);
}

void CKelvoInfoBox::SetService(int serviceKey)
{
    m_service = serviceKey;
    Reload();
}

void CKelvoInfoBox::SetInfoEnabled(bool enabled)
{
    m_info->setEnabled(enabled);
}

void CKelvoInfoBox::ShowInfo()
{
    if (m_service >= 0 && m_info->isEnabled()) {
        emit m_messages.showChannelInfo(m_service);
    }
}

void CKelvoInfoBox::RefreshContent()
{
    Reload(true);
}

void CKelvoInfoBox::Reload(bool evenWhileUpdating)
{
    // While the database is being replaced the last copy stays on screen.
    if (IsUpdating() && !evenWhileUpdating) {
        return;
    }
    m_content = ContentFor(m_db, m_service);
    m_layout = ComputeLayout(size(), m_content.scrambled);
    update();
}

CKelvoInfoBox::Content CKelvoInfoBox::ContentFor(const CQuarnDataModel& db, int serviceKey)
{
    Content c;
    const CServiceElement* s = serviceKey >= 0 ? db.FindService(serviceKey) : nullptr;
    if (s == nullptr) {
        return c;
    }
    c.found = true;
    c.lcn = s->lcn;
    c.name = s->name;
    c.scrambled = s->scrambled;
    c.blocked = s->blocked;
    c.streamingPossible = s->streamingPossible;
    c.live = s->live;
    c.hasEvent = s->presentEvent.id >= 0;
    c.eventName = s->presentEvent.name;
    c.start = s->presentEvent.start;
    c.end = s->presentEvent.end;
    return c;
}

CKelvoInfoBox::Layout CKelvoInfoBox::ComputeLayout(QSize size, bool scrambled)
{
    const int w = size.width();
    const int h = size.height();
    // Rectangles are given as left, top, right, bottom with exclusive right and bottom edges.
    const auto r = [](int l, int t, int rr, int b) { return QRect(QPoint(l, t), QPoint(rr - 1, b - 1)); };
    Layout l;
    l.infoButton = QRect(w - 27, (h - 20) / 2 + 2, 22, 20);
    l.number = r(18, 4, 60, 25);
    l.scrambled = r(60, 8, 74, 22);
    l.name = r(scrambled ? 77 : 60, 4, w - 52, 25);
    l.blocked = r(w - 49, 6, w - 33, 22);
    l.eventTime = r(18, 25, 98, h - 4);
    l.eventName = r(101, 25, w - 81, h - 4);
    l.duration = r(w - 78, 25, w - 30, h - 4);
    l.noEvent = r(60, 25, w - 81, h - 4);
    return l;
}

int CKelvoInfoBox::DurationMinutes(qint64 start, qint64 end)
{
    const qint64 seconds = end - start;
    // A broken guide entry would otherwise show a negative length.
    if (seconds < 0) {
        return -1;
    }
    const qint64 h = seconds / 3600;
    const qint64 m = seconds / 60;
    const qint64 d = seconds / 86400;
    return static_cast<int>(h - 24 * d <= 0 ? m - 60 * h : m - 1440 * d);
}

QString CKelvoInfoBox::TimeText(qint64 start, qint64 end)
{
    const QTime s = QDateTime::fromSecsSinceEpoch(start).time();
    const QTime e = QDateTime::fromSecsSinceEpoch(end).time();
    return QString::asprintf("%02d:%02d ~ %02d:%02d", s.hour(), s.minute(), e.hour(), e.minute());
}

QString CKelvoInfoBox::DurationText(qint64 start, qint64 end)
{
    const int minutes = DurationMinutes(start, end);
    return minutes < 0 ? QString() : QString::asprintf("%d Min", minutes);
}

void CKelvoInfoBox::resizeEvent(QResizeEvent* event)
{
    CKelvoBaseWnd::resizeEvent(event);
    m_layout = ComputeLayout(size(), m_content.scrambled);
    m_info->move(m_layout.infoButton.topLeft());
}

void CKelvoInfoBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const CKelvoRes& res = KelvoRes();
    res.imgInfoBoxBack.Draw3Slice(p, rect(), CNxImages::VAlign::Stretch);
    const Content& c = m_content;
    const QString noInformation = CStringTable::Get(CStringTable::IDS_NO_INFORMATION);
    if (!c.found) {
        p.setFont(res.fontBold15);
        p.setPen(res.colorColumn2);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, noInformation);
        return;
    }
    if (c.scrambled) {
        res.imgIconScrambled.Draw(p, m_layout.scrambled, 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    }
    if (c.blocked) {
        res.imgIconLock.Draw(p, m_layout.blocked, 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    }
    p.setFont(res.fontBold15);
    p.setPen(c.streamingPossible ? res.colorText : res.colorColumn2);
    DrawLine(p, m_layout.number, QString::asprintf("%04d", c.lcn), Qt::AlignLeft);
    DrawLine(p, m_layout.name, c.name, Qt::AlignLeft);

    p.setFont(res.fontNormal12);
    p.setPen(!c.streamingPossible ? res.colorColumn2 : (c.live ? res.colorColumn1 : res.colorColumn3));
    if (!c.hasEvent) {
        DrawLine(p, m_layout.noEvent, noInformation, Qt::AlignLeft);
        return;
    }
    DrawLine(p, m_layout.eventName, c.eventName, Qt::AlignLeft);
    DrawLine(p, m_layout.eventTime, TimeText(c.start, c.end), Qt::AlignLeft);
    DrawLine(p, m_layout.duration, DurationText(c.start, c.end), Qt::AlignRight);
}
