#include "views/common/CKelvoChannelListBoxSimple.h"

#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QPainter>

CKelvoChannelListBoxSimple::CKelvoChannelListBoxSimple(const CQuarnDataModel& db, QWidget* parent,
                                                       int commandId)
    : CNxListBox(parent, commandId), m_db(db)
{
    SetItemHeight(kRowHeight);
    SetBackgroundColor(KelvoRes().colorListBack);
    SetEmptyTextColor(KelvoRes().colorText);
    SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
    SetNotify(true);
}

void CKelvoChannelListBoxSimple::FillTvServices()
{
    m_keys.clear();
    for (const auto& service : m_db.Services()) {
        if (service->type == 0) {
            m_keys.push_back(service->key);
        }
    }
    SetRows(std::vector<QString>(m_keys.size()));
}

int CKelvoChannelListBoxSimple::KeyAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_keys.size()) ? m_keys[static_cast<size_t>(row)] : -1;
}

bool CKelvoChannelListBoxSimple::SelectService(int serviceKey)
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (serviceKey >= 0 && m_keys[i] == serviceKey) {
            SetCurSel(static_cast<int>(i));
            EnsureVisible(static_cast<int>(i));
            return true;
        }
    }
    SetCurSel(-1);
    return false;
}

void CKelvoChannelListBoxSimple::resizeEvent(QResizeEvent* event)
{
    CNxListBox::resizeEvent(event);
    const int w = ClientRect().width();
    m_number = QRect(16, 0, 58 - 16, 30);
    m_scrambled = QRect(58, 0, 72 - 58, 28);
    m_name = QRect(75, 0, qMax(0, w - 16 - 75), 30);
}

void CKelvoChannelListBoxSimple::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const CServiceElement* service = m_db.FindService(KeyAt(item.index));
    const CNxImages* image = nullptr;
    if (item.selected) {
        image = &KelvoRes().imgRowBlue30;
    } else if (service && service->live) {
        image = &KelvoRes().imgRowGrey43;
    }
    if (image && !image->IsNull()) {
        const QRect band(rect.left(), rect.top(), rect.width(), image->FrameSize().height());
        p.fillRect(rect, KelvoRes().colorListBack);
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
        image->Draw(p, band, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
        p.restore();
    } else {
        p.fillRect(rect, KelvoRes().colorListBack);
    }
}

void CKelvoChannelListBoxSimple::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const CServiceElement* service = m_db.FindService(KeyAt(item.index));
    if (!service) {
        return;
    }
    const QPoint origin = rect.topLeft();
    QRect name = m_name.translated(origin);
    if (service->scrambled) {
        KelvoRes().imgIconScrambled.Draw(p, m_scrambled.translated(origin), 0, CNxImages::HAlign::Left,
                                         CNxImages::VAlign::Centre);
    } else {
        name.setLeft(origin.x() + 58);
    }
    p.setFont(KelvoRes().fontBold15);
    p.setPen(KelvoRes().colorText);
    const QFontMetrics fm = p.fontMetrics();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    const QRect number = m_number.translated(origin);
    p.drawText(number, flags, fm.elidedText(QString::asprintf("%04d", service->lcn), Qt::ElideRight, number.width()));
    p.drawText(name, flags, fm.elidedText(service->name, Qt::ElideRight, name.width()));
}
