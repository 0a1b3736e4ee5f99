#include "player/CKelvoSATInfoBar.h"

#include "model/CQuarnDataModel.h"
#include "player/CPlaybackState.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QPainter>

CKelvoSATInfoBar::CKelvoSATInfoBar(const CQuarnDataModel& db, QWidget* parent)
    : CNxControlBar(parent), m_db(db)
{
    SetBackgroundImage(&KelvoRes().imgSatInfoBack);
    Reload();
    setObjectName(QStringLiteral("satBar"));
}

void CKelvoSATInfoBar::Follow(const CPlaybackState& now)
{
    connect(&now, &CPlaybackState::pendingServiceChanged, this, &CKelvoSATInfoBar::SetService);
}

void CKelvoSATInfoBar::SetService(int serviceKey)
{
    m_service = serviceKey;
    Reload();
}

void CKelvoSATInfoBar::RefreshContent()
{
    Reload(true);
}

void CKelvoSATInfoBar::Reload(bool evenWhileUpdating)
{
    if (IsUpdating() && !evenWhileUpdating) {
        return;
    }
    m_lines = LinesFor(m_db, m_service);
    update();
}

QStringList CKelvoSATInfoBar::LinesFor(const CQuarnDataModel& db, int serviceKey)
{
    QStringList lines{CStringTable::Get(CStringTable::IDS_SAT), CStringTable::Get(CStringTable::IDS_TP),
                      CStringTable::Get(CStringTable::IDS_PID),
                      CStringTable::Get(CStringTable::IDS_PROVIDER)};
    const CServiceElement* s = serviceKey >= 0 ? db.FindService(serviceKey) : nullptr;
    if (s == nullptr) {
        return lines;
    }
    if (const CSatelliteElement* sat = db.FindGroup(s->satIdx)) {
        lines[0] += QStringLiteral(" : %1").arg(sat->name);
    }
    if (const CTransponderElement* tp = db.FindTransponder(s->tpIdx)) {
        lines[1] += QString::asprintf(" : %d [%c] %d", tp->freq, tp->polar != 0 ? 'H' : 'V', tp->sr);
        lines[3] += QStringLiteral(" : %1").arg(tp->netname);
    }
    lines[2] += QString::asprintf(" : %d / %d / %d", s->vpid, s->apid, s->ppid);
    return lines;
}

void CKelvoSATInfoBar::DrawContent(QPainter& p)
{
    const CKelvoRes& res = KelvoRes();
    p.setFont(res.fontNormal14);
    p.setPen(res.colorSatInfoText);
    const int lineHeight = QFontMetrics(res.fontNormal14).height();
    for (int i = 0; i < m_lines.size() && i < 4; ++i) {
        const QRect line(kTextLeft, kLineTops[i], std::max(0, width() - kTextLeft), lineHeight);
        p.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_lines.at(i));
    }
}
