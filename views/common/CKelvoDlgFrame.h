#pragma once

#include <QDialog>

class CNxStatic;
class CPngButton;

// The look both channel dialogs share: no system caption, a two-pixel frame drawn in two greys,
// a dark caption band with a centred title and a close button, and a dark client area. The
// "client area" below is the dialog less its frame; its origin is ClientOrigin() in widget
// coordinates, so template positions are placed with PlaceInClient().
class CKelvoDlgFrame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 2;
    static constexpr int kCaptionHeight = 38;   // height of the dialog caption image
    static constexpr int kCloseButtonId = 2;     // the template's cancel button
    static constexpr int kTitleId = 1057;

    explicit CKelvoDlgFrame(const QString& title, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoDlgFrame)

    // Sizes the dialog so that its client area has this size.
    void SetClientSize(QSize size);
    QSize ClientSize() const;
    QPoint ClientOrigin() const { return {kFrameWidth, kFrameWidth}; }
    void PlaceInClient(QWidget* child, const QRect& clientRect) const;

    CNxStatic* Title() const { return m_title; }
    CPngButton* CloseButton() const { return m_close; }

protected:
    // The dialog follows the mouse when it is pressed in the caption band.
    void SetDragByCaption(bool on) { m_dragByCaption = on; }
    // A separator line to draw along the top edge of a rectangle (client coordinates).
    void SetSeparator(const QRect& clientRect) { m_separator = clientRect; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LayoutCaption();

    CNxStatic* m_title = nullptr;
    CPngButton* m_close = nullptr;
    bool m_dragByCaption = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
    QRect m_separator;
};
