#include "app/CViewRegistry.h"

#include "app/bars/CViewCaptionBar.h"
#include "ui/CKelvoView.h"

#include <QWidget>

CViewRegistry::CViewRegistry(CViewCaptionBar& captionBar, QObject* parent)
    : QObject(parent), m_captionBar(captionBar)
{}

void CViewRegistry::AddView(int id, QWidget* widget, CKelvoView* view)
{
    Q_ASSERT(m_views.count(id) == 0);
    widget->hide();
    m_captionBar.Adopt(view->CaptionContent());
    m_views[id] = Entry{widget, view};
    m_all.push_back(view);
}

void CViewRegistry::AddPart(CKelvoView* part)
{
    m_all.push_back(part);
}

QWidget* CViewRegistry::Widget(int id) const
{
    const auto it = m_views.find(id);
    return it == m_views.end() ? nullptr : it->second.widget;
}

bool CViewRegistry::Switch(int id)
{
    const auto next = m_views.find(id);
    if (next == m_views.end() || id == m_current)
        return false;
    if (const auto shown = m_views.find(m_current); shown != m_views.end()) {
        shown->second.widget->hide();
        shown->second.view->Deactivate();
    }
    m_current = id;
    next->second.widget->show();
    m_captionBar.SetContent(next->second.view->CaptionContent());
    next->second.view->Activate();
    emit currentChanged(id);
    return true;
}

void CViewRegistry::BeginUpdate()
{
    for (CKelvoView* v : m_all)
        v->BeginUpdate();
}

void CViewRegistry::EndUpdate()
{
    for (CKelvoView* v : m_all)
        v->EndUpdate();
}

void CViewRegistry::RefreshContent()
{
    for (CKelvoView* v : m_all)
        v->RefreshContent();
}
