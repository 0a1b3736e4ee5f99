#include "views/schedule/CScheduleEditParts.h"

#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QSpinBox>

CScheduleServiceCaption::CScheduleServiceCaption(QWidget* parent)
    : QWidget(parent), m_none(CStringTable::Get(CStringTable::IDS_NO_INFORMATION))
{
    setFont(KelvoRes().fontBold19);
}

void CScheduleServiceCaption::ShowService(int lcn, const QString& name, bool scrambled)
{
    m_has = true;
    m_lcn = lcn;
    m_name = name;
    m_scrambled = scrambled;
    update();
}

void CScheduleServiceCaption::ShowNone()
{
    m_has = false;
    m_name.clear();
    m_scrambled = false;
    update();
}

QString CScheduleServiceCaption::Text() const
{
    return m_has ? QString::asprintf("%04d ", m_lcn) + m_name : m_none;
}

void CScheduleServiceCaption::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(KelvoRes().colorText);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    if (!m_has) {
        p.drawText(rect(), flags, m_none);
        return;
    }
    const QString number = QString::asprintf("%04d", m_lcn);
    QRect r = rect();
    p.drawText(r, flags, number);
    r.setLeft(r.left() + p.fontMetrics().horizontalAdvance(number) + 4);
    if (m_scrambled) {
        const CNxImages& icon = KelvoRes().imgIconScrambled;
        icon.Draw(p, QRect(r.left(), r.top(), icon.FrameSize().width(), r.height()), 0,
                  CNxImages::HAlign::Left, CNxImages::VAlign::Centre);
        r.setLeft(r.left() + icon.FrameSize().width() + 4);
    }
    p.drawText(r, flags, p.fontMetrics().elidedText(m_name, Qt::ElideRight, r.width()));
}

CScheduleDurationEdit::CScheduleDurationEdit(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    m_hours = new QSpinBox(this);
    m_hours->setRange(0, kMaxHours);
    m_hours->setSuffix(QStringLiteral(" Hour"));
    m_minutes = new QSpinBox(this);
    m_minutes->setRange(0, 59);
    m_minutes->setSuffix(QStringLiteral(" Min"));
    m_hours->setObjectName(QStringLiteral("durationHours"));
    m_minutes->setObjectName(QStringLiteral("durationMinutes"));
    for (QSpinBox* box : {m_hours, m_minutes}) {
        box->setAlignment(Qt::AlignRight);
        box->setFont(KelvoRes().fontNormal12);
        box->setAccelerated(true);
        row->addWidget(box, 1);
        connect(box, &QSpinBox::valueChanged, this, &CScheduleDurationEdit::changed);
    }
}

void CScheduleDurationEdit::SetMinutes(qint64 minutes)
{
    const QSignalBlocker b1(m_hours);
    const QSignalBlocker b2(m_minutes);
    minutes = qBound<qint64>(0, minutes, qint64(kMaxHours) * 60 + 59);
    m_hours->setValue(static_cast<int>(minutes / 60));
    m_minutes->setValue(static_cast<int>(minutes % 60));
}

qint64 CScheduleDurationEdit::Minutes() const
{
    return qint64(m_hours->value()) * 60 + m_minutes->value();
}
