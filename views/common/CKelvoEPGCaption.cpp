#include "views/common/CKelvoEPGCaption.h"

#include "model/CServiceElement.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kIconWidth = 14;

// Text extents are widened by half an average character so that the ellipsis never cuts a text
// that was measured to fit.
int WidenedWidth(const QFontMetrics& fm, const QString& text)
{
    const int w = fm.horizontalAdvance(text);
    return text.isEmpty() ? w : w + w / static_cast<int>(text.size()) / 2;
}

} // namespace

CKelvoEPGCaption::CKelvoEPGCaption(QWidget* parent)
    : QWidget(parent), m_noInformation(CStringTable::Get(CStringTable::IDS_NO_INFORMATION))
{
    if (KelvoRes().IsLoaded())
        setFont(KelvoRes().fontBold15);
    setCursor(Qt::ArrowCursor);
    SizeToText();
}

void CKelvoEPGCaption::SetService(const CServiceElement* service)
{
    m_key = service ? service->key : -1;
    m_lcn = service ? service->lcn : 0;
    m_scrambled = service && service->scrambled;
    m_name = service ? service->name : QString();
    SizeToText();
    update();
}

QString CKelvoEPGCaption::Text() const
{
    if (m_key < 0)
        return m_noInformation;
    return QString::asprintf("%04d ", m_lcn) + m_name;
}

void CKelvoEPGCaption::SizeToText()
{
    const QFontMetrics fm(font());
    if (m_key < 0) {
        resize(fm.horizontalAdvance(m_noInformation) + 6, fm.height() + 6);
        Layout();
        return;
    }
    const int number = WidenedWidth(fm, QString::asprintf("%04d", m_lcn));
    m_numberRight = number + 6;
    m_iconLeft = m_numberRight;
    m_nameLeft = m_scrambled ? m_iconLeft + kIconWidth + 3 : m_iconLeft;
    resize(m_nameLeft + WidenedWidth(fm, m_name) + 3, fm.height() + 6);
    Layout();
}

void CKelvoEPGCaption::Layout()
{
    const int cx = width();
    const int cy = height();
    if (m_key < 0) {
        m_nameRect = QRect(QPoint(3, 3), QPoint(cx - 3 - 1, cy - 3 - 1));
        m_numberRect = m_iconRect = QRect();
        return;
    }
    const int h = QFontMetrics(font()).boundingRect(QStringLiteral("gIjLy")).height();
    const int top = qMax(0, (cy - h) / 2);
    m_numberRect = QRect(3, top, m_numberRight - 3, h);
    m_iconRect = QRect(m_iconLeft, top + h - kIconWidth - 4, kIconWidth, kIconWidth);
    m_nameRect = QRect(m_nameLeft, top, qMax(0, cx - 3 - m_nameLeft), h);
}

void CKelvoEPGCaption::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        SizeToText();
    QWidget::changeEvent(event);
}

void CKelvoEPGCaption::resizeEvent(QResizeEvent*)
{
    Layout();
}

void CKelvoEPGCaption::paintEvent(QPaintEvent*)
{
    // No background of its own: the caption bar shows through.
    QPainter p(this);
    p.setFont(font());
    p.setPen(KelvoRes().colorText);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    if (m_key < 0) {
        p.drawText(m_nameRect, Qt::AlignCenter | Qt::TextSingleLine, m_noInformation);
        return;
    }
    const QFontMetrics& fm = p.fontMetrics();
    const QString number = QString::asprintf("%04d", m_lcn);
    p.drawText(m_numberRect, flags | Qt::AlignLeft,
               fm.elidedText(number, Qt::ElideRight, m_numberRect.width()));
    if (m_scrambled)
        KelvoRes().imgIconScrambled.Draw(p, m_iconRect, 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    p.drawText(m_nameRect, flags | Qt::AlignLeft, fm.elidedText(m_name, Qt::ElideRight, m_nameRect.width()));
}
