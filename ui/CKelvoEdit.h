#pragma once

#include <QBrush>
#include <QColor>
#include <QLineEdit>

// The edit field of the channel page: its own text colour on its own background brush.
class CKelvoEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    explicit CKelvoEdit(QWidget* parent = nullptr, int commandId = 0);

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }
    void SetTextColour(const QColor& c);
    void SetBackgroundBrush(const QBrush& b);
    QColor TextColour() const { return m_text; }
    QBrush BackgroundBrush() const { return m_back; }

private:
    void ApplyColours();

    int m_commandId = 0;
    QColor m_text;
    QBrush m_back;
};
