#include "ui/CKelvoButton.h"

#include "ui/CKelvoRes.h"

CKelvoButton::CKelvoButton(QWidget* parent, int commandId) : CPngButton(parent, commandId)
{
    const CKelvoRes& res = KelvoRes();
    m_colours = {res.colorText, res.colorWhite, res.colorWhite, res.colorDisabledText, res.colorWhite};
}

void CKelvoButton::SetTextColours(const QColor& normal, const QColor& pressed, const QColor& hot,
                                  const QColor& disabled, const QColor& pressedHot)
{
    m_colours = {normal, pressed, hot, disabled, pressedHot};
    update();
}

void CKelvoButton::SetTextColour(int index, const QColor& colour)
{
    if (index >= 0 && index < static_cast<int>(m_colours.size())) {
        m_colours[static_cast<size_t>(index)] = colour;
        update();
    }
}

QColor CKelvoButton::TextColourAt(int index) const
{
    return index >= 0 && index < static_cast<int>(m_colours.size()) ? m_colours[static_cast<size_t>(index)]
                                                                    : QColor();
}

QColor CKelvoButton::TextColour(int stateIndex, bool pressedAndHot) const
{
    return TextColourAt(pressedAndHot ? PressedHot : stateIndex);
}

QFont CKelvoButton::TextFont() const
{
    if (testAttribute(Qt::WA_SetFont)) {
        return font();
    }
    return ButtonKind() == Kind::Push ? KelvoRes().fontNormal14 : KelvoRes().fontBold14;
}
