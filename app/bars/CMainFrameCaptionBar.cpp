#include "app/bars/CMainFrameCaptionBar.h"

#include "commands/KelvoCommandIds.h"
#include "res/CStringTable.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/KelvoImageTable.h"

#include <QPainter>

namespace {

struct ModeSpec
{
    int command;
    int text;
    int image;
    QPoint pos;
    int textLeft;
};

constexpr std::array<ModeSpec, 3> kModes{{
    {Kelvo::ID_MODE_CHANNEL, CStringTable::IDS_CHANNEL, Kelvo::IDB_MODE_CHANNEL, {18, 70}, 40},
    {Kelvo::ID_MODE_SCHEDULE, CStringTable::IDS_SCHEDULE, Kelvo::IDB_MODE_SCHEDULE, {151, 70}, 42},
    {Kelvo::ID_MODE_SETTING, CStringTable::IDS_SETTING, Kelvo::IDB_MODE_SETTING, {290, 70}, 34},
}};
constexpr int kModeTextTop = 3;

} // namespace

CMainFrameCaptionBar::CMainFrameCaptionBar(QWidget* parent) : CKelvoCaptionBar(parent)
{
    const CKelvoRes& res = KelvoRes();
    SetBackgroundImage(&res.imgMainCaptionBack);

    for (size_t i = 0; i < kModes.size(); ++i) {
        const ModeSpec& spec = kModes[i];
        auto* button = new CKelvoButton(this, spec.command);
        button->setObjectName(QStringLiteral("modeButton%1").arg(i));
        button->SetKind(CPngButton::Kind::Radio);
        button->SetImage(spec.image, 4);
        button->SetText(CStringTable::Get(spec.text));
        button->SetTextAlignment(CPngButton::AlignLeft);
        button->SetMargins(QMargins(spec.textLeft, kModeTextTop, 0, 0));
        button->SetTextColours(res.colorModeText, res.colorWhite, res.colorModeHot, res.colorModeDisabled,
                               res.colorModeHot);
        button->move(spec.pos);
        m_modes[i] = button;
    }
    // The Channel button leads the radio group; only the checked radio is a tab stop.
    m_modes[0]->setFocusPolicy(Qt::StrongFocus);
    m_modes[1]->setFocusPolicy(Qt::ClickFocus);
    m_modes[2]->setFocusPolicy(Qt::ClickFocus);

    m_remote = new CKelvoButton(this, Kelvo::ID_TOGGLE_REMOTE);
    m_remote->setObjectName(QStringLiteral("remoteButton"));
    m_remote->SetImage(Kelvo::IDB_REMOTE, 4);
    m_remote->SetText(CStringTable::Get(CStringTable::IDS_REMOTE));
    m_remote->SetTextColours(res.colorWhite, res.colorRemotePressed, res.colorWhite, res.colorModeDisabled,
                             res.colorModeHot);
    LayoutItems(width());
    setObjectName(QStringLiteral("mainCaption"));
}

int CMainFrameCaptionBar::HitTest(QPoint pos) const
{
    const int hit = CKelvoCaptionBar::HitTest(pos);
    return hit == HitCaption && pos.y() >= kModeAreaTop ? HitNowhere : hit;
}

void CMainFrameCaptionBar::SetCheckedMode(int uiMode)
{
    if (uiMode < 0 || uiMode >= static_cast<int>(m_modes.size())) {
        return;
    }
    CKelvoButton* button = m_modes[static_cast<size_t>(uiMode)];
    if (!button->IsChecked()) {
        button->SetChecked(true);
    }
}

int CMainFrameCaptionBar::CheckedMode() const
{
    for (size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i]->IsChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CKelvoButton* CMainFrameCaptionBar::ModeButton(int uiMode) const
{
    return uiMode >= 0 && uiMode < static_cast<int>(m_modes.size()) ? m_modes[static_cast<size_t>(uiMode)]
                                                                    : nullptr;
}

void CMainFrameCaptionBar::DrawContent(QPainter& p)
{
    const CNxImages& logo = KelvoRes().imgLogo;
    if (!logo.IsNull()) {
        logo.Draw(p, QRect(kLogoPos, logo.FrameSize()), 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
    }
}

void CMainFrameCaptionBar::LayoutItems(int width)
{
    if (m_remote != nullptr) {
        m_remote->move(width - kRemoteRightOffset, kRemoteTop);
    }
}
