#pragma once

#include "app/bars/CKelvoCaptionBar.h"

class CKelvoButton;

// The normal title bar: 119 pixels of background, the product logo, the mode buttons Channel,
// Schedule and Setting (a radio group) and the Remote button. The buttons only carry their
// command ids; the command table binds them to the frame's actions.
class CMainFrameCaptionBar final : public CKelvoCaptionBar
{
    Q_OBJECT
public:
    static constexpr int kModeAreaTop = 70; // presses from here down do not drag the frame
    static constexpr QPoint kLogoPos{26, 21};
    // Distance of the Remote button's left edge from the right edge, and its top.
    static constexpr int kRemoteRightOffset = 104;
    static constexpr int kRemoteTop = 77;

    explicit CMainFrameCaptionBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CMainFrameCaptionBar)

    int HitTest(QPoint pos) const override;

    // Checks the mode button of a user-interface mode (0 channel, 1 schedule, 2 setting); other
    // modes leave the check where it is.
    void SetCheckedMode(int uiMode);
    // 0, 1, 2 for the checked mode button, -1 when none is checked.
    int CheckedMode() const;

    CKelvoButton* ModeButton(int uiMode) const;
    CKelvoButton* RemoteButton() const { return m_remote; }

protected:
    void DrawContent(QPainter& p) override;
    void LayoutItems(int width) override;

private:
    std::array<CKelvoButton*, 3> m_modes{};
    CKelvoButton* m_remote = nullptr;
};
