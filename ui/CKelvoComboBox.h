#pragma once

#include <QColor>
#include <QComboBox>

// The drop-down list of the channel page: the closed face is the skin's edit frame with the
// selected text, the rows are drawn on the skin's colours.
class CKelvoComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    static constexpr int kDropButtonWidth = 18;

    explicit CKelvoComboBox(QWidget* parent = nullptr, int commandId = 0);

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }
    void SetColours(const QColor& selectedBack, const QColor& normalBack, const QColor& text);
    QColor SelectedBackground() const { return m_selBack; }
    QColor NormalBackground() const { return m_back; }
    QColor TextColour() const { return m_text; }
    // The text colour of a disabled control: half the intensity per channel.
    static QColor DisabledColour(const QColor& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CKelvoComboDelegate;
    int m_commandId = 0;
    QColor m_selBack;
    QColor m_back;
    QColor m_text;
};
