#include "ui/CKelvoComboBox.h"

#include "ui/CKelvoRes.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

class CKelvoComboDelegate final : public QStyledItemDelegate
{
public:
    // owned by the combo box: a view does not take ownership of its delegate
    explicit CKelvoComboDelegate(CKelvoComboBox* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool enabled = option.state & QStyle::State_Enabled;
        const bool selected = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
        if (enabled) {
            p->fillRect(option.rect, selected ? m_combo->m_selBack : m_combo->m_back);
        }
        const QRect text = option.rect.adjusted(4, 0, -4, 0);
        p->setFont(m_combo->font());
        p->setPen(enabled ? m_combo->m_text : CKelvoComboBox::DisabledColour(m_combo->m_text));
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    QFontMetrics(m_combo->font())
                        .elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width()));
        if (enabled && (option.state & QStyle::State_HasFocus)) {
            p->setPen(QPen(KelvoRes().colorFocusDots, 1, Qt::DotLine));
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(80, QFontMetrics(m_combo->font()).height() + 8);
    }

private:
    const CKelvoComboBox* m_combo;
};

namespace {

QString PopupStyle(const QColor& back)
{
    return QStringLiteral("background: rgb(%1,%2,%3); border: 1px solid rgb(%4,%5,%6);")
        .arg(back.red())
        .arg(back.green())
        .arg(back.blue())
        .arg(KelvoRes().colorControlBorder.red())
        .arg(KelvoRes().colorControlBorder.green())
        .arg(KelvoRes().colorControlBorder.blue());
}

} // namespace

CKelvoComboBox::CKelvoComboBox(QWidget* parent, int commandId)
    : QComboBox(parent), m_commandId(commandId), m_selBack(KelvoRes().colorHighlight),
      m_back(KelvoRes().colorListBack), m_text(KelvoRes().colorText)
{
    if (KelvoRes().IsLoaded()) {
        setFont(KelvoRes().fontNormal12);
    }
    setItemDelegate(new CKelvoComboDelegate(this));
    view()->setStyleSheet(PopupStyle(m_back));
    setMinimumHeight(21);
}

QColor CKelvoComboBox::DisabledColour(const QColor& text)
{
    return QColor(text.red() / 2, text.green() / 2, text.blue() / 2);
}

void CKelvoComboBox::SetColours(const QColor& selectedBack, const QColor& normalBack, const QColor& text)
{
    m_selBack = selectedBack;
    m_back = normalBack;
    m_text = text;
    view()->setStyleSheet(PopupStyle(normalBack));
    update();
}

void CKelvoComboBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect();
    const CKelvoRes& res = KelvoRes();
    // The whole face is the skin's frame; the drop button is a chevron on its right end.
    res.imgEditFrame.Draw3Slice(p, r, CNxImages::VAlign::Stretch);
    const QRect button(r.right() - kDropButtonWidth + 1, r.top(), kDropButtonWidth, r.height());
    p.setPen(QPen(res.colorControlBorder, 1));
    p.drawLine(QPointF(button.left() + 0.5, r.top() + 4), QPointF(button.left() + 0.5, r.bottom() - 3));
    const QPointF c = QRectF(button).center();
    QPainterPath chevron;
    chevron.moveTo(c.x() - 3.5, c.y() - 1.5);
    chevron.lineTo(c.x(), c.y() + 2);
    chevron.lineTo(c.x() + 3.5, c.y() - 1.5);
    p.setPen(QPen(isEnabled() ? res.colorChevron : res.colorChevronDisabled, 1.6, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
    const QRect text =
        QRect(r.left(), r.top(), r.width() - kDropButtonWidth, r.height()).adjusted(2 + 4, 0, -2, 0);
    p.setFont(font());
    p.setPen(isEnabled() ? m_text : DisabledColour(m_text));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(currentText(), Qt::ElideRight, text.width()));
    if (hasFocus()) {
        p.setPen(QPen(res.colorFocusCombo, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
}
