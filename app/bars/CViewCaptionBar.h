#pragma once

#include "ui/CNxControlBar.h"

#include <QPointer>

// The 38-pixel strip above the views. It has no items of its own: each view's caption strip (its
// title and buttons) is given to the bar once, when the view joins the frame, and the bar shows
// the current view's strip over its whole area.
class CViewCaptionBar final : public CNxControlBar
{
    Q_OBJECT
public:
    explicit CViewCaptionBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CViewCaptionBar)

    // Makes `content` a child of the bar, hidden until it is shown; the bar owns it from then on.
    void Adopt(QWidget* content);
    // Shows `content` (nullptr: nothing) and hides the previous one. The content is given the
    // bar's whole rectangle, so it should be transparent and put its items where it wants them.
    void SetContent(QWidget* content);
    QWidget* Content() const { return m_content; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> m_content;
};
