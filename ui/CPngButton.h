#pragma once

#include "ui/CNxImages.h"

#include <QBasicTimer>
#include <QColor>
#include <QList>
#include <QMargins>
#include <QWidget>

// An image button: one strip frame per state (0 normal, 1 pressed or checked, 2 hot,
// 3 disabled), optional text, push, check box or radio behaviour, and auto-repeat. A click is
// reported as clicked() and as command(commandId), the standard button's click command.
class CPngButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
    Q_PROPERTY(bool checked READ IsChecked WRITE SetChecked)
public:
    enum class Kind
    {
        Push,
        CheckBox,
        Radio
    };
    enum TextAlign
    {
        AlignLeft = 0,
        AlignRight = 1,
        AlignCentre = 2
    };
    // The state index before any fallback: 3 disabled, else 1 pressed or checked, 2 hot, else 0.
    static int StateIndex(bool enabled, bool pressed, bool checked, bool hot);
    // The frame actually drawn: the state index, or for a strip without that frame, frame 1 for
    // a checked check box or radio and frame 0 otherwise.
    static int FrameForState(int stateIndex, int frameCount, bool checkable, bool checked);

    explicit CPngButton(QWidget* parent = nullptr, int commandId = 0);
    ~CPngButton() override;
    Q_DISABLE_COPY_MOVE(CPngButton)

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }

    // Push button, check box or radio; `autoToggle` makes it change its check by itself.
    void SetKind(Kind kind, bool autoToggle = true);
    Kind ButtonKind() const { return m_kind; }
    // Radios of the same parent and group toggle each other.
    void SetGroup(int group) { m_group = group; }
    int Group() const { return m_group; }

    // Loads the strip and sizes the button to one frame, keeping its position.
    bool SetImage(int resourceId, int frameCount);
    void SetImageStrip(const QPixmap& strip, int frameCount);
    const CNxImages& Images() const { return m_images; }

    void SetText(const QString& text);
    QString Text() const { return m_text; }
    void SetTextAlignment(TextAlign align);
    void SetMargins(const QMargins& margins);
    void SetButtonCursor(const QCursor& cursor);
    // Delays (ms) between repeated clicks while held: the first, then the next; the last repeats.
    void SetRepeatDelays(const QList<int>& delays);
    void SetNotifyOnPress(bool on) { m_notifyOnPress = on; }
    // Clip the window to the opaque pixels of its image.
    void SetTransparent(bool on);
    void SetUseRegion(bool noRegion);
    void SetDrawFocus(bool on) { m_drawFocus = on; }

    bool IsChecked() const { return m_kind != Kind::Push && m_checked; }
    void SetChecked(bool checked);
    bool IsPressed() const { return m_pressed; }
    bool IsHot() const { return m_hot; }
    int CurrentStateIndex() const;
    int CurrentFrame() const;

signals:
    void clicked();
    void command(int id);

protected:
    // The button's own palette when it was given one, else the skin's text colours.
    virtual QColor TextColour(int stateIndex, bool pressedAndHot) const;
    virtual QFont TextFont() const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Click();
    void ClearInput();
    void CheckRadio();
    QList<CPngButton*> GroupRadios() const;
    void UpdateMask();

    int m_commandId = 0;
    Kind m_kind = Kind::Push;
    bool m_auto = false;
    int m_group = 0;
    CNxImages m_images;
    QString m_text;
    TextAlign m_align = AlignCentre;
    QMargins m_margins;
    bool m_transparent = false;
    bool m_noRegion = true;
    bool m_drawFocus = false;
    bool m_pressed = false;
    bool m_downInside = false;
    bool m_hot = false;
    bool m_checked = false;
    bool m_notifyOnPress = false;
    QList<int> m_repeatDelays;
    int m_repeatStep = 0;
    QBasicTimer m_repeat;
};
