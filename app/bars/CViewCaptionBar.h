#pragma once

#include "ui/CNxControlBar.h"

#include <QList>
#include <QPointer>

// The 38-pixel strip above the views. It has no items of its own: the current view hands it a
// content widget (its title and buttons), which the bar shows over its whole area while the
// previous view's content is hidden.
class CViewCaptionBar final : public CNxControlBar
{
    Q_OBJECT
public:
    explicit CViewCaptionBar(QWidget* parent = nullptr);
    ~CViewCaptionBar() override;
    Q_DISABLE_COPY_MOVE(CViewCaptionBar)

    // Shows `content` (nullptr: nothing) and hides the previous one. The content is reparented
    // into the bar and given the bar's whole rectangle, so it should be transparent and put its
    // items where it wants them. The view stays the owner: when the bar goes first, every content
    // it ever hosted is handed back to the parent it had before (or to none when it had none); a
    // content whose former parent is already gone dies with the bar.
    void SetContent(QWidget* content);
    QWidget* Content() const { return m_content; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Hosted
    {
        QPointer<QWidget> content;
        QPointer<QWidget> previousParent;
        bool hadParent = false;
    };
    QList<Hosted> m_hosted;
    QPointer<QWidget> m_content;
};
