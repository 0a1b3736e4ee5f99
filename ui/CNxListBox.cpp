#include "ui/CNxListBox.h"

#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxScrollBar.h"
#include "ui/KelvoImageTable.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>
#include <algorithm>

CNxListBox::CNxListBox(QWidget* parent, int commandId)
    : QWidget(parent), m_commandId(commandId), m_back(KelvoRes().colorBlack),
      m_emptyColor(KelvoRes().colorEmptyText),
      m_emptyText(CStringTable::Get(CStringTable::IDS_NO_INFORMATION))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    if (KelvoRes().IsLoaded()) {
        setFont(KelvoRes().fontNormal12);
    }
    m_bar = new CNxScrollBar(Qt::Vertical, this, Kelvo::IDB_SCROLL_BAR);
    connect(m_bar, &CNxScrollBar::scrolled, this, &CNxListBox::OnScroll);
    PlaceScrollBar();
    UpdateScrollBar();
}

CNxListBox::~CNxListBox() = default;

void CNxListBox::SetVerticalScrollBarShown(bool on)
{
    m_wantScrollBar = on;
    PlaceScrollBar();
    UpdateScrollBar();
    update();
}

void CNxListBox::SetScrollBarOnLeft(bool on)
{
    m_scrollBarLeft = on;
    PlaceScrollBar();
    update();
}

void CNxListBox::SetBorder(bool on)
{
    m_border = on ? 1 : 0;
    PlaceScrollBar();
    UpdateScrollBar();
    update();
}

QRect CNxListBox::ClientRect() const
{
    QRect r = rect().adjusted(m_border, m_border, -m_border, -m_border);
    if (m_wantScrollBar) {
        const int w = m_bar->Thickness() + 2 * m_border;
        if (m_scrollBarLeft) {
            r.setLeft(r.left() + w);
        } else {
            r.setRight(r.right() - w);
        }
    }
    return r;
}

void CNxListBox::PlaceScrollBar()
{
    if (!m_wantScrollBar) {
        m_bar->hide();
        return;
    }
    const QRect inner = rect().adjusted(m_border, m_border, -m_border, -m_border);
    const int w = m_bar->Thickness();
    const int x = m_scrollBarLeft ? inner.left() : inner.left() + inner.width() - w;
    m_bar->setGeometry(x, inner.top(), w, inner.height());
    m_bar->show();
}

int CNxListBox::PageRows() const
{
    return m_rowHeight > 0 ? qMax(0, ClientRect().height()) / m_rowHeight : 0;
}

int CNxListBox::MaxTop() const
{
    return qMax(0, GetCount() - PageRows());
}

void CNxListBox::UpdateScrollBar()
{
    const int page = PageRows();
    m_bar->SetScrollInfo(0, qMax(0, GetCount() - 1), page, m_top + (m_top > 0 ? 1 : 0));
}

void CNxListBox::resizeEvent(QResizeEvent*)
{
    PlaceScrollBar();
    m_top = qMin(m_top, MaxTop());
    UpdateScrollBar();
}

int CNxListBox::AddString(const QString& text, const QVariant& itemData)
{
    int index = GetCount();
    if (m_sorted) {
        const auto it =
            std::upper_bound(m_texts.begin(), m_texts.end(), text, [](const QString& a, const QString& b) {
                return QString::compare(a, b, Qt::CaseInsensitive) < 0;
            });
        index = static_cast<int>(it - m_texts.begin());
    }
    return InsertString(index, text, itemData);
}

int CNxListBox::InsertString(int index, const QString& text, const QVariant& itemData)
{
    if (index < 0 || index > GetCount()) {
        index = GetCount();
    }
    m_texts.insert(m_texts.begin() + index, text);
    m_data.insert(m_data.begin() + index, itemData);
    if (m_sel >= index) {
        ++m_sel;
    }
    AfterRowsChanged();
    return index;
}

int CNxListBox::DeleteString(int index)
{
    if (index < 0 || index >= GetCount()) {
        return -1;
    }
    m_texts.erase(m_texts.begin() + index);
    m_data.erase(m_data.begin() + index);
    if (m_sel == index) {
        m_sel = -1;
    } else if (m_sel > index) {
        --m_sel;
    }
    AfterRowsChanged();
    return GetCount();
}

void CNxListBox::ResetContent()
{
    m_texts.clear();
    m_data.clear();
    m_sel = -1;
    m_top = 0;
    AfterRowsChanged();
}

void CNxListBox::SetRows(std::vector<QString> texts, std::vector<QVariant> itemData)
{
    itemData.resize(texts.size());
    m_texts = std::move(texts);
    m_data = std::move(itemData);
    m_sel = -1;
    m_top = 0;
    AfterRowsChanged();
}

void CNxListBox::AfterRowsChanged()
{
    m_top = qMin(m_top, MaxTop());
    UpdateScrollBar();
    RowsChanged();
    update();
}

QString CNxListBox::GetText(int index) const
{
    return index >= 0 && index < GetCount() ? m_texts[static_cast<size_t>(index)] : QString();
}

QVariant CNxListBox::GetItemData(int index) const
{
    return index >= 0 && index < GetCount() ? m_data[static_cast<size_t>(index)] : QVariant();
}

bool CNxListBox::SetItemData(int index, const QVariant& itemData)
{
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    m_data[static_cast<size_t>(index)] = itemData;
    update(GetItemRect(index));
    return true;
}

void CNxListBox::SetItemHeight(int height)
{
    m_rowHeight = qMax(1, height);
    m_top = qMin(m_top, MaxTop());
    UpdateScrollBar();
    update();
}

bool CNxListBox::SetTopIndex(int index)
{
    const int top = qBound(0, index, MaxTop());
    if (top == m_top) {
        return false;
    }
    m_top = top;
    UpdateScrollBar();
    update();
    return true;
}

bool CNxListBox::SetCurSel(int index)
{
    if (index < -1 || index >= GetCount()) {
        return false;
    }
    if (index != m_sel) {
        const int old = m_sel;
        m_sel = index;
        update(GetItemRect(old));
        update(GetItemRect(index));
    }
    return true;
}

QRect CNxListBox::GetItemRect(int index) const
{
    if (index < 0 || index >= GetCount()) {
        return QRect();
    }
    const QRect client = ClientRect();
    return QRect(client.left(), client.top() + (index - m_top) * m_rowHeight, client.width(), m_rowHeight);
}

int CNxListBox::ItemFromPoint(QPoint pos) const
{
    const QRect client = ClientRect();
    if (!client.contains(pos) || m_rowHeight <= 0) {
        return -1;
    }
    const int index = m_top + (pos.y() - client.top()) / m_rowHeight;
    return index < GetCount() ? index : -1;
}

bool CNxListBox::EnsureVisible(int index)
{
    if (index < 0 || index >= GetCount() || m_rowHeight <= 0 || ClientRect().height() <= 0) {
        return false;
    }
    int top = m_top;
    const int lastFull = m_top + ClientRect().height() / m_rowHeight - 1;
    if (index < m_top) {
        top = index;
    } else if (index > lastFull) {
        top = m_top + (index - lastFull);
    }
    if (top == m_top) {
        return false;
    }
    m_top = top;
    UpdateScrollBar();
    repaint();
    return true;
}

void CNxListBox::SetBackgroundColor(const QColor& c)
{
    m_back = c;
    update();
}

void CNxListBox::SetEmptyTextColor(const QColor& c)
{
    m_emptyColor = c;
    update();
}

void CNxListBox::SetEmptyText(const QString& text)
{
    m_emptyText = text;
    update();
}

void CNxListBox::OnScroll(int code, int position)
{
    int top = m_top;
    switch (code) {
    case CNxScrollBar::LineUp:
        top = m_top - 1;
        break;
    case CNxScrollBar::LineDown:
        top = m_top + 1;
        break;
    case CNxScrollBar::PageUp:
        top = m_top - qMax(1, PageRows());
        break;
    case CNxScrollBar::PageDown:
        top = m_top + qMax(1, PageRows());
        break;
    case CNxScrollBar::ThumbTrack:
    case CNxScrollBar::ThumbPosition:
        top = position;
        break;
    case CNxScrollBar::Top:
        top = 0;
        break;
    case CNxScrollBar::Bottom:
        top = MaxTop();
        break;
    default:
        return;
    }
    SetTopIndex(top);
}

void CNxListBox::wheelEvent(QWheelEvent* event)
{
    // One wheel notch (120) is one step of three rows; touchpads deliver it in pieces.
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    event->accept();
    if (notches == 0 || GetCount() == 0) {
        return;
    }
    SetTopIndex(m_top - notches * kWheelRows);
}

void CNxListBox::SelectByUser(int index)
{
    if (index < 0 || index >= GetCount() || index == m_sel) {
        return;
    }
    SetCurSel(index);
    EnsureVisible(index);
    if (m_notify) {
        emit selectionChanged(index);
    }
}

void CNxListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        SelectByUser(ItemFromPoint(event->position().toPoint()));
    }
}

void CNxListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int index = ItemFromPoint(event->position().toPoint());
    if (index >= 0 && m_notify) {
        emit itemDoubleClicked(index);
    }
}

void CNxListBox::keyPressEvent(QKeyEvent* event)
{
    if (GetCount() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int page = qMax(1, PageRows());
    int target = m_sel < 0 ? m_top : m_sel;
    switch (event->key()) {
    case Qt::Key_Up:
        target -= 1;
        break;
    case Qt::Key_Down:
        target = m_sel < 0 ? m_top : target + 1;
        break;
    case Qt::Key_PageUp:
        target -= page;
        break;
    case Qt::Key_PageDown:
        target += page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = GetCount() - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SelectByUser(qBound(0, target, GetCount() - 1));
}

void CNxListBox::DrawEmptyText(QPainter& p, const QRect& rect) const
{
    p.setPen(m_emptyColor);
    p.setFont(font());
    p.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, m_emptyText);
}

void CNxListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    p.fillRect(rect, item.selected ? KelvoRes().colorSelectionBack : m_back);
}

void CNxListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const QRect text = rect.adjusted(8, 0, -8, 0);
    p.setPen(item.enabled ? KelvoRes().colorText : KelvoRes().colorListDisabledText);
    p.setFont(font());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(item.text, Qt::ElideRight, text.width()));
}

void CNxListBox::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect client = ClientRect();
    if (m_border > 0) {
        p.setPen(KelvoRes().colorListLine);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    // whatever the rows and the scroll bar leave of the inside (the gap beside the bar)
    QRegion rest(rect().adjusted(m_border, m_border, -m_border, -m_border));
    rest -= client;
    if (m_bar->isVisible()) {
        rest -= m_bar->geometry();
    }
    for (const QRect& r : rest) {
        p.fillRect(r, m_back);
    }
    p.setClipRect(client.intersected(event->rect()));
    if (GetCount() == 0) {
        p.fillRect(client, m_back);
        DrawEmptyText(p, client);
        return;
    }
    // Only the rows that meet the damaged area are drawn: painting costs a page, not the list.
    const QRect dirty = client.intersected(event->rect());
    const int first = m_top + qMax(0, (dirty.top() - client.top()) / m_rowHeight);
    const int last = qMin(GetCount() - 1, m_top + (dirty.bottom() - client.top()) / m_rowHeight);
    const bool focused = hasFocus();
    const bool enabled = isEnabled();
    for (int i = first; i <= last; ++i) {
        const QRect row = GetItemRect(i);
        NxDrawItem item;
        item.index = i;
        item.text = m_texts[static_cast<size_t>(i)];
        item.data = m_data[static_cast<size_t>(i)];
        item.selected = i == m_sel;
        item.focused = focused && i == m_sel;
        item.enabled = enabled;
        DrawItemBackground(p, row, item);
        DrawItemContent(p, row, item);
    }
    const int rowsBottom = client.top() + (last - m_top + 1) * m_rowHeight;
    if (rowsBottom < client.top() + client.height()) {
        p.fillRect(
            QRect(client.left(), rowsBottom, client.width(), client.top() + client.height() - rowsBottom),
            m_back);
    }
}
