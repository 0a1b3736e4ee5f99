#include "app/bars/CViewCaptionBar.h"

#include "ui/CKelvoRes.h"

CViewCaptionBar::CViewCaptionBar(QWidget* parent) : CNxControlBar(parent)
{
    SetBackgroundImage(&KelvoRes().imgBarDark38);
    setObjectName(QStringLiteral("viewCaption"));
}

void CViewCaptionBar::Adopt(QWidget* content)
{
    if (content == nullptr || content->parentWidget() == this)
        return;
    content->hide();
    content->setParent(this);
}

void CViewCaptionBar::SetContent(QWidget* content)
{
    if (m_content != nullptr && m_content != content)
        m_content->hide();
    m_content = content;
    if (content == nullptr)
        return;
    Adopt(content);
    content->setGeometry(rect());
    content->show();
}

void CViewCaptionBar::resizeEvent(QResizeEvent* event)
{
    CNxControlBar::resizeEvent(event);
    if (m_content != nullptr)
        m_content->setGeometry(rect());
}
