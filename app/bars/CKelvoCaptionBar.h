#pragma once

#include "ui/CNxControlBar.h"

#include <QPoint>
#include <array>

class CPngButton;

// The frame's own title bar: a background image, four window buttons at the right (full screen,
// minimize, maximize or restore, close) and the caption area that drags the frameless frame.
// It decides nothing itself: every action leaves as a signal that the frame (or its window
// handler) connects.
class CKelvoCaptionBar : public CNxControlBar
{
    Q_OBJECT
public:
    enum WindowButton
    {
        FullScreenButton = 0,
        MinimizeButton = 1,
        MaximizeButton = 2,
        CloseButton = 3,
        WindowButtonCount = 4
    };
    // What lies under a point: the window system's hit codes of the original title bar.
    enum HitCode
    {
        HitNowhere = 0,
        HitCaption = 2,
        HitMinimize = 8,
        HitMaximize = 9,
        HitClose = 20,
        HitFullScreen = 23
    };
    static constexpr int kButtonSize = 24;

    // Top-left of a window button in a bar `width` pixels wide.
    static QPoint ButtonPosition(int button, int width);
    static int ButtonHitCode(int button);

    explicit CKelvoCaptionBar(QWidget* parent = nullptr);

    // Hit code of a point in bar coordinates.
    virtual int HitTest(QPoint pos) const;

    // While the frame is maximized the maximize button shows the restore face.
    void SetMaximized(bool maximized);
    bool IsMaximized() const { return m_maximized; }
    // In full screen the full-screen button is neither drawn nor active.
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }
    // Without buttons the bar answers HitNowhere everywhere and shows no window buttons.
    void SetButtonsEnabled(bool on);
    bool ButtonsEnabled() const { return m_buttonsEnabled; }

    CPngButton* Button(int button) const;

signals:
    void fullScreenRequested(); // UM_TOGGLE_FULL_SCREEN
    void minimizeRequested();
    // Maximize when restored, restore when maximized (the button and a double click on the caption).
    void maximizeRequested();
    void closeRequested();
    // A left press on the caption: the frame starts moving with the cursor.
    void moveStarted(QPoint globalCursor);
    // A right click on the caption: the frame's window menu at that point.
    void systemMenuRequested(QPoint global);

protected:
    // A window button was clicked (pressed and released over it).
    virtual void EmitAction(int button);
    // Places the bar's own items; the window buttons are already placed.
    virtual void LayoutItems(int width) { Q_UNUSED(width) }
    // The frame entered or left full screen (after the buttons were updated).
    virtual void FullScreenChanged(bool on) { Q_UNUSED(on) }

    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void LayoutButtons();
    void UpdateButtonVisibility();
    void UpdateMaximizeFace();

    std::array<CPngButton*, WindowButtonCount> m_buttons{};
    QPixmap m_maximizeFace;
    QPixmap m_restoreFace;
    bool m_maximized = false;
    bool m_fullScreen = false;
    bool m_buttonsEnabled = true;
};
