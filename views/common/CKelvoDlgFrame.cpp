#include "views/common/CKelvoDlgFrame.h"

#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"
#include "ui/CPngButton.h"
#include "ui/KelvoImageTable.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CKelvoDlgFrame::CKelvoDlgFrame(const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const CKelvoRes& res = KelvoRes();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, res.colorListBack);
    pal.setColor(QPalette::Base, res.colorListBack);
    pal.setColor(QPalette::Text, res.colorWhite);
    pal.setColor(QPalette::WindowText, res.colorWhite);
    setPalette(pal);

    m_title = new CNxStatic(title, this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->SetTransparent(true);
    m_title->SetAlignment(CNxStatic::Align::Centre);
    m_title->SetCentreVertically(true);
    m_title->SetTextColour(res.colorWhite);
    if (res.IsLoaded()) {
        m_title->setFont(res.fontBold15);
    }

    m_close = new CPngButton(this, kCloseButtonId);
    m_close->setObjectName(QStringLiteral("close"));
    m_close->SetImage(Kelvo::IDB_CLOSE, 3);
    connect(m_close, &CPngButton::clicked, this, &QDialog::reject);
}

void CKelvoDlgFrame::SetClientSize(QSize size)
{
    setFixedSize(size + QSize(2 * kFrameWidth, 2 * kFrameWidth));
    LayoutCaption();
}

QSize CKelvoDlgFrame::ClientSize() const
{
    return size() - QSize(2 * kFrameWidth, 2 * kFrameWidth);
}

void CKelvoDlgFrame::PlaceInClient(QWidget* child, const QRect& clientRect) const
{
    child->setGeometry(clientRect.translated(ClientOrigin()));
}

void CKelvoDlgFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutCaption();
}

void CKelvoDlgFrame::LayoutCaption()
{
    const int w = ClientSize().width();
    PlaceInClient(m_title, QRect(0, 0, w, kCaptionHeight));
    const QSize closeSize = m_close->size();
    PlaceInClient(m_close, QRect(QPoint(w - 30, 6), closeSize));
}

void CKelvoDlgFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const CKelvoRes& res = KelvoRes();
    p.setPen(res.colorDialogFrameOuter);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(res.colorDialogFrameInner);
    p.drawRect(rect().adjusted(1, 1, -2, -2));

    const QRect client(ClientOrigin(), ClientSize());
    p.fillRect(client, res.colorListBack);
    if (res.IsLoaded()) {
        QRect band = client;
        band.setHeight(qMin(kCaptionHeight, client.height()));
        res.imgDialogCaption.Draw3Slice(p, band, CNxImages::VAlign::Top);
    }
    if (m_separator.width() > 0) {
        const QRect line = m_separator.translated(ClientOrigin());
        p.fillRect(QRect(line.left(), line.top(), line.width(), 1), res.colorListLine);
    }
}

void CKelvoDlgFrame::mousePressEvent(QMouseEvent* event)
{
    const QPoint client = event->position().toPoint() - ClientOrigin();
    if (m_dragByCaption && event->button() == Qt::LeftButton && client.y() < kCaptionHeight) {
        // The window system moves the dialog where it can; elsewhere it follows the mouse.
        if (windowHandle() && windowHandle()->startSystemMove()) {
            return;
        }
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CKelvoDlgFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CKelvoDlgFrame::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
