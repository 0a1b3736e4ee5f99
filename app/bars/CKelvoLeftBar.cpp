#include "app/bars/CKelvoLeftBar.h"

#include "ui/CKelvoBaseWnd.h"

CKelvoLeftBar::CKelvoLeftBar(QWidget* parent) : CNxControlBar(parent)
{
    SetFixedBarSize(kCreationSize);
    setObjectName(QStringLiteral("leftBar"));
}

int CKelvoLeftBar::AddPage(CKelvoBaseWnd* page)
{
    if (page == nullptr) {
        return -1;
    }
    int index = IndexOf(page);
    if (index < 0) {
        if (page->parentWidget() != this) {
            page->setParent(this);
        }
        m_pages.append(page);
        index = static_cast<int>(m_pages.size()) - 1;
        Fit(page);
        page->hide();
    }
    ShowPage(index);
    return index;
}

void CKelvoLeftBar::ShowPage(int index)
{
    CKelvoBaseWnd* page = Page(index);
    if (page == nullptr || index == m_current) {
        return;
    }
    CKelvoBaseWnd* old = CurrentPage();
    // A page away in the popup is the popup's to show or hide.
    if (old != nullptr && IsHome(old)) {
        old->hide();
    }
    m_current = index;
    if (IsHome(page)) {
        Fit(page);
        page->show();
        page->update();
    }
    emit currentPageChanged(index);
}

void CKelvoLeftBar::ShowPage(const QWidget* page)
{
    const int index = IndexOf(page);
    if (index >= 0) {
        ShowPage(index);
    }
}

CKelvoBaseWnd* CKelvoLeftBar::CurrentPage() const
{
    return Page(m_current);
}

CKelvoBaseWnd* CKelvoLeftBar::Page(int index) const
{
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages.at(index).data() : nullptr;
}

int CKelvoLeftBar::IndexOf(const QWidget* page) const
{
    if (page == nullptr) {
        return -1;
    }
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        if (m_pages.at(i) == page) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CKelvoLeftBar::IsHome(const CKelvoBaseWnd* page) const
{
    return page != nullptr && page->parentWidget() == this;
}

void CKelvoLeftBar::PageReturned(CKelvoBaseWnd* page)
{
    if (!IsHome(page) || IndexOf(page) < 0) {
        return;
    }
    Fit(page);
    page->setVisible(page == CurrentPage());
}

void CKelvoLeftBar::Fit(CKelvoBaseWnd* page)
{
    page->setGeometry(rect());
}

void CKelvoLeftBar::resizeEvent(QResizeEvent* event)
{
    CNxControlBar::resizeEvent(event);
    for (const QPointer<CKelvoBaseWnd>& page : m_pages) {
        if (page != nullptr && IsHome(page)) {
            Fit(page);
        }
    }
}
