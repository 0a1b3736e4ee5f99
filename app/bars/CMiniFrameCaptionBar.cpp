#include "app/bars/CMiniFrameCaptionBar.h"

#include "res/CStringTable.h"
#include "ui/CBarOverlay.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"

CMiniFrameCaptionBar::CMiniFrameCaptionBar(QWidget* parent)
    : CKelvoCaptionBar(parent), m_overlay(new CBarOverlay(*this))
{
    connect(m_overlay, &CBarOverlay::cursorLeft, this, [this] { ShowOverlay(false); });
    connect(m_overlay, &CBarOverlay::docked, this, &CMiniFrameCaptionBar::docked);
    SetBackgroundImage(&KelvoRes().imgBarDark38);
    m_title = new CNxStatic(CStringTable::Get(CStringTable::IDS_ON_AIR), this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->SetTransparent(true);
    m_title->setFont(KelvoRes().fontBold15);
    m_title->SetTextColour(KelvoRes().colorText);
    m_title->SizeToText();
    LayoutItems(width());
    setObjectName(QStringLiteral("miniCaption"));
}

int CMiniFrameCaptionBar::HitTest(QPoint pos) const
{
    const int hit = CKelvoCaptionBar::HitTest(pos);
    return hit == HitCaption && m_overlay->IsFloating() ? HitNowhere : hit;
}

void CMiniFrameCaptionBar::LayoutItems(int width)
{
    if (m_title != nullptr) {
        m_title->move((width - m_title->width()) / 2, (height() - m_title->height()) / 2);
    }
}

void CMiniFrameCaptionBar::EmitAction(int button)
{
    if (m_overlay->IsFloating()) {
        ShowOverlay(false);
        if (button != CloseButton) {
            emit fullScreenRequested();
        }
    }
    CKelvoCaptionBar::EmitAction(button);
}

void CMiniFrameCaptionBar::FullScreenChanged(bool on)
{
    if (!on) {
        ShowOverlay(false);
    }
}

bool CMiniFrameCaptionBar::IsOverlayShown() const
{
    return m_overlay->IsFloating();
}

bool CMiniFrameCaptionBar::IsDockPending() const
{
    return m_overlay->IsDockPending();
}

QRect CMiniFrameCaptionBar::OverlayRect() const
{
    return m_overlay->Rect();
}

void CMiniFrameCaptionBar::ShowOverlay(bool on)
{
    m_overlay->SetFloating(on, Qt::TopEdge, height());
}

void CMiniFrameCaptionBar::setVisible(bool visible)
{
    if (!m_overlay->DeferVisible(visible)) {
        CKelvoCaptionBar::setVisible(visible);
    }
}
