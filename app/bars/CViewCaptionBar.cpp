#include "app/bars/CViewCaptionBar.h"

#include "ui/CKelvoRes.h"

#include <algorithm>

CViewCaptionBar::CViewCaptionBar(QWidget* parent) : CNxControlBar(parent)
{
    SetBackgroundImage(&KelvoRes().imgBarDark38);
}

CViewCaptionBar::~CViewCaptionBar()
{
    for (const Hosted& h : m_hosted) {
        // Handing a content to a parent that no longer exists would leave it owned by nobody.
        if (h.content != nullptr && h.content->parentWidget() == this && (!h.hadParent || h.previousParent)) {
            h.content->hide();
            h.content->setParent(h.previousParent);
        }
    }
}

void CViewCaptionBar::SetContent(QWidget* content)
{
    if (content == m_content && (content == nullptr || content->parentWidget() == this)) {
        return;
    }
    if (m_content != nullptr && m_content != content && m_content->parentWidget() == this) {
        m_content->hide();
    }
    m_content = content;
    if (content == nullptr) {
        return;
    }
    if (content->parentWidget() != this) {
        m_hosted.removeIf([](const Hosted& h) { return h.content == nullptr; });
        const auto known = std::find_if(m_hosted.begin(), m_hosted.end(),
                                        [content](const Hosted& h) { return h.content == content; });
        if (known == m_hosted.end()) {
            m_hosted.append(Hosted{content, content->parentWidget(), content->parentWidget() != nullptr});
        }
        content->setParent(this);
    }
    content->setGeometry(rect());
    content->show();
}

void CViewCaptionBar::resizeEvent(QResizeEvent* event)
{
    CNxControlBar::resizeEvent(event);
    if (m_content != nullptr && m_content->parentWidget() == this) {
        m_content->setGeometry(rect());
    }
}
