#include "ui/CKelvoEdit.h"

#include <QPalette>

CKelvoEdit::CKelvoEdit(QWidget* parent, int commandId) : QLineEdit(parent), m_commandId(commandId)
{
    setFrame(false);
    ApplyColours();
}

void CKelvoEdit::SetTextColour(const QColor& c)
{
    m_text = c;
    ApplyColours();
}

void CKelvoEdit::SetBackgroundBrush(const QBrush& b)
{
    m_back = b;
    ApplyColours();
}

void CKelvoEdit::ApplyColours()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, m_text);
    pal.setBrush(QPalette::Base, m_back);
    pal.setColor(QPalette::Highlight, QColor(0, 110, 156));
    pal.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    pal.setColor(QPalette::PlaceholderText, QColor(110, 114, 120));
    setPalette(pal);
    update();
}
