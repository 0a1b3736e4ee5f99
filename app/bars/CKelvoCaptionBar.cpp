#include "app/bars/CKelvoCaptionBar.h"

#include "ui/CNxImages.h"
#include "ui/CPngButton.h"
#include "ui/KelvoImageTable.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace {

struct ButtonSpec
{
    int rightOffset; // x = width - rightOffset
    int image;
    int hitCode;
    const char* name;
};

constexpr std::array<ButtonSpec, CKelvoCaptionBar::WindowButtonCount> kButtons{{
    {101, Kelvo::IDB_FULL_SCREEN, CKelvoCaptionBar::HitFullScreen, "fullScreenButton"},
    {77, Kelvo::IDB_MINIMIZE, CKelvoCaptionBar::HitMinimize, "minimizeButton"},
    {53, Kelvo::IDB_MAXIMIZE_RESTORE, CKelvoCaptionBar::HitMaximize, "maximizeButton"},
    {29, Kelvo::IDB_CLOSE, CKelvoCaptionBar::HitClose, "closeButton"},
}};
constexpr int kButtonTop = 6;

} // namespace

QPoint CKelvoCaptionBar::ButtonPosition(int button, int width)
{
    if (button < 0 || button >= WindowButtonCount) {
        return {};
    }
    return {width - kButtons[static_cast<size_t>(button)].rightOffset, kButtonTop};
}

int CKelvoCaptionBar::ButtonHitCode(int button)
{
    return button >= 0 && button < WindowButtonCount ? kButtons[static_cast<size_t>(button)].hitCode
                                                     : HitNowhere;
}

CKelvoCaptionBar::CKelvoCaptionBar(QWidget* parent) : CNxControlBar(parent)
{
    // The maximize strip holds both faces (frames 0-2 maximize, 3-5 restore); each becomes a
    // three-frame strip of its own so the button's state frames stay 0-2.
    const QPixmap both(CNxImages::ResourcePath(Kelvo::IDB_MAXIMIZE_RESTORE));
    if (!both.isNull()) {
        const int half = both.width() / 2;
        m_maximizeFace = both.copy(0, 0, half, both.height());
        m_restoreFace = both.copy(half, 0, both.width() - half, both.height());
    }
    for (int i = 0; i < WindowButtonCount; ++i) {
        const ButtonSpec& spec = kButtons[static_cast<size_t>(i)];
        auto* button = new CPngButton(this);
        button->setObjectName(QLatin1String(spec.name));
        button->setFocusPolicy(Qt::NoFocus);
        if (i == MaximizeButton) {
            button->SetImageStrip(m_maximizeFace, 3);
        } else {
            button->SetImage(spec.image, 3);
        }
        button->resize(kButtonSize, kButtonSize);
        connect(button, &CPngButton::clicked, this, [this, i] { EmitAction(i); });
        m_buttons[static_cast<size_t>(i)] = button;
    }
    LayoutButtons();
}

CPngButton* CKelvoCaptionBar::Button(int button) const
{
    return button >= 0 && button < WindowButtonCount ? m_buttons[static_cast<size_t>(button)] : nullptr;
}

int CKelvoCaptionBar::HitTest(QPoint pos) const
{
    if (!m_buttonsEnabled) {
        return HitNowhere;
    }
    for (int i = 0; i < WindowButtonCount; ++i) {
        if (i == FullScreenButton && m_fullScreen) {
            continue;
        }
        if (QRect(ButtonPosition(i, width()), QSize(kButtonSize, kButtonSize)).contains(pos)) {
            return ButtonHitCode(i);
        }
    }
    return rect().contains(pos) ? HitCaption : HitNowhere;
}

void CKelvoCaptionBar::SetMaximized(bool maximized)
{
    if (m_maximized != maximized) {
        m_maximized = maximized;
        UpdateMaximizeFace();
    }
}

void CKelvoCaptionBar::SetFullScreen(bool on)
{
    if (m_fullScreen != on) {
        m_fullScreen = on;
        UpdateButtonVisibility();
        FullScreenChanged(on);
    }
}

void CKelvoCaptionBar::SetButtonsEnabled(bool on)
{
    if (m_buttonsEnabled != on) {
        m_buttonsEnabled = on;
        UpdateButtonVisibility();
    }
}

void CKelvoCaptionBar::EmitAction(int button)
{
    switch (button) {
    case FullScreenButton:
        if (!m_fullScreen) {
            emit fullScreenRequested();
        }
        break;
    case MinimizeButton:
        emit minimizeRequested();
        break;
    case MaximizeButton:
        emit maximizeRequested();
        break;
    case CloseButton:
        emit closeRequested();
        break;
    default:
        break;
    }
}

void CKelvoCaptionBar::LayoutButtons()
{
    for (int i = 0; i < WindowButtonCount; ++i) {
        m_buttons[static_cast<size_t>(i)]->move(ButtonPosition(i, width()));
    }
    UpdateButtonVisibility();
}

void CKelvoCaptionBar::UpdateButtonVisibility()
{
    for (int i = 0; i < WindowButtonCount; ++i) {
        const bool shown = m_buttonsEnabled && !(i == FullScreenButton && m_fullScreen);
        m_buttons[static_cast<size_t>(i)]->setVisible(shown);
    }
}

void CKelvoCaptionBar::UpdateMaximizeFace()
{
    CPngButton* button = m_buttons[MaximizeButton];
    const QPoint at = button->pos();
    button->SetImageStrip(m_maximized ? m_restoreFace : m_maximizeFace, 3);
    button->resize(kButtonSize, kButtonSize);
    button->move(at);
}

void CKelvoCaptionBar::resizeEvent(QResizeEvent* event)
{
    CNxControlBar::resizeEvent(event);
    LayoutButtons();
    LayoutItems(width());
}

void CKelvoCaptionBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && HitTest(event->position().toPoint()) == HitCaption) {
        emit moveStarted(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    CNxControlBar::mousePressEvent(event);
}

void CKelvoCaptionBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && HitTest(event->position().toPoint()) == HitCaption) {
        emit maximizeRequested();
        event->accept();
        return;
    }
    CNxControlBar::mouseDoubleClickEvent(event);
}

void CKelvoCaptionBar::contextMenuEvent(QContextMenuEvent* event)
{
    if (HitTest(event->pos()) == HitCaption) {
        emit systemMenuRequested(event->globalPos());
        event->accept();
        return;
    }
    CNxControlBar::contextMenuEvent(event);
}
