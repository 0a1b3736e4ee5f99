#include "ui/CKelvoEdit.h"

#include "ui/CKelvoRes.h"

#include <QPalette>

CKelvoEdit::CKelvoEdit(QWidget* parent, int commandId)
    : QLineEdit(parent), m_commandId(commandId), m_text(KelvoRes().colorText),
      m_back(KelvoRes().colorListBack)
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
    pal.setColor(QPalette::Highlight, KelvoRes().colorHighlight);
    pal.setColor(QPalette::HighlightedText, KelvoRes().colorWhite);
    pal.setColor(QPalette::PlaceholderText, KelvoRes().colorPlaceholder);
    setPalette(pal);
    update();
}
