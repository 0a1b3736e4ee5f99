#pragma once

#include "rcu/KelvoRCUExport.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <vector>

// The remote-control window: a small top-level tool window with the buttons of a remote. A key
// goes out as bnClicked when its button is pressed and again, with `repeat`, for as long as it is
// held. The window can be attached to its parent window's right edge with its attach button;
// attached, it keeps its place beside the parent wherever the parent moves or however it is
// resized (while the parent is maximized or full screen it stays put), and dragging it by its
// caption detaches it.
class KELVORCU_EXPORT CKelvoRCUWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoRCUWindow)

public:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 120;

    explicit CKelvoRCUWindow(QWidget* parent = nullptr);
    ~CKelvoRCUWindow() override;

    bool IsAttached() const { return m_attached; }

    // Where the buttons are, in the window's coordinates, once it has been laid out (shown);
    // KeyRect is empty for a code the remote does not have.
    QRect KeyRect(int code) const;
    QRect AttachButtonRect() const { return m_attachRect; }
    QRect HideButtonRect() const { return m_hideRect; }

    // How long a key is held before it repeats, and how often it repeats then.
    void SetRepeatTiming(int delayMs, int intervalMs);

public slots:
    // The parent decided the two are attached or not (say, it was dragged against this window):
    // the window stays where it is and keeps its place beside the parent from the parent's next
    // move on. Emits `attached` when the state changes.
    void SetAttached(bool attached);

signals:
    void bnClicked(int keyCode, bool repeat);
    void attached(bool attached);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Part
    {
        None,
        Key,
        Attach,
        Hide,
        Caption,
    };
    struct Hit
    {
        Part part = Part::None;
        int index = -1; // into KelvoRCUKeys() for a key
        bool operator==(const Hit&) const = default;
    };

    Hit HitAt(QPoint point) const;
    // The parent's top-right outer corner: the point an attached window keeps its offset to.
    QPoint Anchor() const;
    bool HostIsNormal() const;
    void Dock();
    void KeepBesideHost();
    void EndPress();
    void OnRepeat();
    void SetHover(Hit hit);

    QPointer<QWidget> m_host;
    // Layout, made on resize.
    std::vector<QRect> m_keyRects; // by index into KelvoRCUKeys()
    QRect m_captionRect;
    QRect m_attachRect;
    QRect m_hideRect;
    // Input.
    QTimer m_repeat;
    int m_repeatDelayMs = kRepeatDelayMs;
    int m_repeatIntervalMs = kRepeatIntervalMs;
    Hit m_pressed;
    bool m_pressInside = false;
    Hit m_hover;
    bool m_dragging = false;
    QPoint m_dragOffset;
    // Docking.
    bool m_attached = false;
    QPoint m_offset;       // own top-left minus Anchor() while attached
    bool m_rebase = false; // take the offset afresh at the host's next move
};
