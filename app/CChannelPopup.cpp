#include "app/CChannelPopup.h"

#include "app/bars/CPopupFrame.h"
#include "views/channel/CKelvoPageChannel.h"

CChannelPopup::CChannelPopup(CKelvoPageChannel& page, CKelvoLeftBar& home, QWidget& owner)
    : m_page(page), m_home(home), m_owner(owner)
{}

void CChannelPopup::Show()
{
    if (!m_popup) {
        m_popup = new CPopupFrame(&m_home, &m_owner);
        m_popup->setGeometry(QRect(m_owner.frameGeometry().topLeft() + CPopupFrame::kOffsetFromOwner,
                                   CPopupFrame::kCreationSize));
    }
    if (!m_page.IsFloating()) {
        m_popup->TakePage(&m_page);
        m_page.SetFloating(true);
    }
    m_popup->show();
}

void CChannelPopup::Dock()
{
    if (!m_popup)
        return;
    if (m_page.IsFloating()) {
        m_popup->GiveBack();
        m_page.SetFloating(false);
    }
    m_popup->hide();
}

bool CChannelPopup::IsShown() const
{
    return m_popup && m_popup->isVisible();
}

bool CChannelPopup::IsFloating() const
{
    return m_page.IsFloating();
}

QWidget* CChannelPopup::Window() const
{
    return m_popup;
}
