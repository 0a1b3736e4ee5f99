#pragma once

#include "ui/CKelvoBaseWnd.h"
#include "ui/CNxControlBar.h"

#include <QList>
#include <QPointer>

// The left pane (321 pixels wide): a list of pages of which it shows one, sized to fill the bar.
// A page may be away (hosted by the channel popup); it stays in the list, the bar leaves it alone
// while it is away and lays it out again when it comes back (PageReturned).
class CKelvoLeftBar final : public CNxControlBar
{
    Q_OBJECT
public:
    static constexpr QSize kCreationSize{321, 570};

    explicit CKelvoLeftBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoLeftBar)

    // Appends the page (made a child of the bar if it is not yet) and shows it; returns its index.
    // A page already in the list is only shown.
    int AddPage(CKelvoBaseWnd* page);
    // Shows a page of the list and hides the one shown before; anything else is ignored.
    void ShowPage(int index);
    void ShowPage(const QWidget* page);

    CKelvoBaseWnd* CurrentPage() const;
    int CurrentIndex() const { return m_current; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    CKelvoBaseWnd* Page(int index) const;
    int IndexOf(const QWidget* page) const;

    // Whether the page sits in the bar (not away in the popup).
    bool IsHome(const CKelvoBaseWnd* page) const;
    // A page came back from the popup: fit it and show it only if it is the shown page.
    void PageReturned(CKelvoBaseWnd* page);

signals:
    void currentPageChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit(CKelvoBaseWnd* page);

    QList<QPointer<CKelvoBaseWnd>> m_pages;
    int m_current = -1;
};
