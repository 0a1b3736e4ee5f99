#include "ui/CNxControlBar.h"

#include "ui/CKelvoBaseWnd.h"
#include "ui/CNxImages.h"

#include <QPainter>

CNxControlBar::CNxControlBar(QWidget* parent) : QWidget(parent) {}

QSize CNxControlBar::CalcFixedLayout(bool stretch, bool horizontal) const
{
    return KelvoFixedLayout(m_size, stretch, horizontal);
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
