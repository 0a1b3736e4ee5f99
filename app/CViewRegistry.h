#pragma once

#include <QObject>
#include <map>
#include <vector>

class CKelvoView;
class CViewCaptionBar;
class QWidget;

// The frame's views by id, and the pages and bars that also show the database. What switching
// views and the bracket of a box operation do to them is written here once: a new view is its
// class and one Add line.
class CViewRegistry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CViewRegistry)

public:
    explicit CViewRegistry(CViewCaptionBar& captionBar, QObject* parent = nullptr);

    // A view the frame can show under `id`: hidden until switched to; its caption strip goes to
    // the caption bar now, once.
    template <class View> View* Add(int id, View* view)
    {
        AddView(id, view, view);
        return view;
    }
    // A page or bar that shows the database: it shares the bracket and the refresh, and is never
    // switched to.
    void AddPart(CKelvoView* part);

    QWidget* Widget(int id) const;
    int Current() const { return m_current; }
    QWidget* CurrentWidget() const { return Widget(m_current); }

    // Shows the view `id`, its caption strip and hides the one shown; false (and no change) when
    // `id` is unknown or already shown.
    bool Switch(int id);

    void BeginUpdate();
    void EndUpdate();
    // The database was reloaded.
    void RefreshContent();

signals:
    // After a switch, once the new view is shown and active.
    void currentChanged(int id);

private:
    struct Entry
    {
        QWidget* widget = nullptr;
        CKelvoView* view = nullptr;
    };
    void AddView(int id, QWidget* widget, CKelvoView* view);

    CViewCaptionBar& m_captionBar;
    std::map<int, Entry> m_views;
    // Views and parts in the order they were added: the order of the bracket and the refresh.
    std::vector<CKelvoView*> m_all;
    int m_current = -1;
};
