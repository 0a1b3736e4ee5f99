#include "ui/CNxControlBar.h"

#include "ui/CKelvoBaseWnd.h"
#include "ui/CNxImages.h"

#include <QPainter>

CNxControlBar::CNxControlBar(QWidget* parent) : QWidget(parent) {}

bool CNxControlBar::Create(QWidget* parent, int id, const QRect& rect)
{
    setParent(parent);
    m_commandId = id;
    if (m_size.isEmpty()) {
        m_size = rect.size();
    }
    if (!CreateChildren()) {
        return false;
    }
    setGeometry(0, 0, 0, 0);
    show();
    return true;
}

QSize CNxControlBar::CalcFixedLayout(bool stretch, bool horizontal) const
{
    return KelvoFixedLayout(m_size, stretch, horizontal);
}

void CNxControlBar::UpdateCommandStates(const std::function<int(int commandId)>& isEnabled)
{
    KelvoUpdateCommandStates(this, isEnabled);
}

void CNxControlBar::SetBackgroundImage(const CNxImages* image)
{
    m_background = image;
    if (image != nullptr && !image->IsNull()) {
        m_size = image->StripSize();
        setAttribute(Qt::WA_OpaquePaintEvent, !image->Strip().hasAlphaChannel());
    }
    updateGeometry();
    update();
}

void CNxControlBar::DrawBackground(QPainter& p)
{
    if (m_background == nullptr || m_background->IsNull()) {
        return;
    }
    if (m_background->FrameCount() == 3) {
        m_background->Draw3Slice(p, rect(), CNxImages::VAlign::Stretch);
    } else {
        m_background->Draw(p, rect(), 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    }
}

void CNxControlBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawBackground(p);
    DrawContent(p);
}
