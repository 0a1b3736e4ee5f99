#pragma once

class QWidget;

// What the frame asks of a view, and of every page and bar that shows the database: the strip it
// shows on the frame's view caption bar, being shown and hidden, and the bracket around a box
// operation. A view registered with the frame gets all of it without further wiring.
class CKelvoView
{
public:
    virtual ~CKelvoView() = default;

    // The strip for the view caption bar while this view is shown; nullptr shows an empty bar.
    // A view made with the bar as its caption host builds the strip as the bar's child.
    virtual QWidget* CaptionContent() const { return nullptr; }

    // The view has become the one shown, or is no longer shown.
    virtual void Activate() {}
    virtual void Deactivate() {}

    // A box operation waits between these two in a nested event loop: the database may be
    // replaced meanwhile, so no record may be read. Operations can nest (a reload started from
    // inside another's wait); only the outermost bracket counts.
    void BeginUpdate()
    {
        if (m_updateDepth++ == 0)
            OnBeginUpdate();
    }
    void EndUpdate()
    {
        if (m_updateDepth == 0 || --m_updateDepth > 0)
            return;
        OnEndUpdate();
    }
    bool IsUpdating() const { return m_updateDepth > 0; }

    // The database was reloaded: show its content. Called within the bracket once the new content
    // is complete, so reading is safe here even while IsUpdating().
    virtual void RefreshContent() {}

protected:
    virtual void OnBeginUpdate() {}
    // The default shows the content as it is after the operation.
    virtual void OnEndUpdate() { RefreshContent(); }

private:
    int m_updateDepth = 0;
};
