#pragma once

#include "ui/CPngButton.h"

#include <array>

// The image button of pages, bars, dialogs and views, with a text colour per state.
class CKelvoButton : public CPngButton
{
    Q_OBJECT
public:
    // Colour indices: 0 normal, 1 pressed or checked, 2 hot, 3 disabled, 4 pressed while hot.
    enum ColourIndex
    {
        Normal = 0,
        PressedOrChecked = 1,
        Hot = 2,
        Disabled = 3,
        PressedHot = 4
    };

    explicit CKelvoButton(QWidget* parent = nullptr, int commandId = 0);

    void SetTextColours(const QColor& normal, const QColor& pressed, const QColor& hot,
                        const QColor& disabled, const QColor& pressedHot);
    void SetTextColour(int index, const QColor& colour);
    QColor TextColourAt(int index) const;

protected:
    QColor TextColour(int stateIndex, bool pressedAndHot) const override;
    QFont TextFont() const override;

private:
    std::array<QColor, 5> m_colours;
};
