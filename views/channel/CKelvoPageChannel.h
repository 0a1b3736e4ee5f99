#pragma once

#include "ui/CKelvoBaseWnd.h"
#include "views/channel/CChannelRows.h"

#include <QRect>

class CKelvoButton;
class CKelvoChannelListBox;
class CKelvoComboBox;
class CKelvoEdit;
class CMainFrameMessages;
class CPlaybackState;
class CQuarnDataModel;

// The channel page of the left bar: TV/Radio, Refresh, the sort and group boxes, the search box
// and the channel list. It reads the database and talks to the frame only through
// CMainFrameMessages (double-click -> playService(key), guide button -> showGuide(key), dock
// button -> toggleChannelPopup()) and the Refresh button's command id ID_CHANNEL_REFRESH, which
// the frame's command table handles. The list is first filled by RefreshContent().
class CKelvoPageChannel final : public CKelvoBaseWnd
{
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 38;
    static constexpr int kBottomHeight = 9;
    static constexpr int kBorderWidth = 5;

    CKelvoPageChannel(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoPageChannel)

    // The application's media type (0 TV, 1 radio); the page refills when it changes. The user's
    // own choice is reported by mediaTypeChanged().
    void SetMediaType(int type);
    int MediaType() const { return m_rows.MediaType(); }
    // The service streamed to this computer (-1 none), drawn blue in the list.
    void SetStreamingService(int key);
    // After streaming started or stopped (the key streamed before, -1 none): repaints that row and
    // scrolls the streamed one into view.
    void ShowStreamedRow(int previousKey);
    // Marks the service the box streams as `now` says from here on.
    void Follow(const CPlaybackState& now);

    // In the channel popup (true) or in the left bar: the guide buttons work only when docked, the
    // dock button shows only when floating. The page fills its parent either way.
    void SetFloating(bool floating);
    bool IsFloating() const { return m_floating; }

    // Parts, for the frame's tests and screenshots.
    CKelvoChannelListBox* List() const { return m_list; }
    const CChannelRows& Rows() const { return m_rows; }
    CKelvoComboBox* SortBox() const { return m_sort; }
    CKelvoComboBox* GroupBox() const { return m_group; }
    CKelvoEdit* SearchBox() const { return m_search; }
    CKelvoButton* TvButton() const { return m_tv; }
    CKelvoButton* RadioButton() const { return m_radio; }
    CKelvoButton* RefreshButton() const { return m_refresh; }
    CKelvoButton* DockButton() const { return m_dock; }

public slots:
    // Around a box operation that may change the database (the box controller's updateBegins and
    // updateEnds): no redrawing of the group box and list, and the list uses no record meanwhile.
    // After the database was reloaded: groups (keeping the group index), list, streamed row.
    void RefreshContent() override;

signals:
    // The user pressed TV (0) or Radio (1).
    void mediaTypeChanged(int type);

protected:
    void OnBeginUpdate() override;
    void OnEndUpdate() override;
    bool CreateChildren() override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Layout();
    void PaintBackground(QPainter& p) const;
    void PaintFrame(QPainter& p) const;
    void FillGroups(bool resetIndex);
    void FillList();
    void CheckMediaButtons();
    void OnMediaButton(int type);
    void OnSortActivated(int index);
    void OnGroupActivated(int index);
    void OnSearchChanged(const QString& text);
    void OnDoubleClick();

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    CChannelRows m_rows;
    bool m_floating = false;

    CKelvoButton* m_tv = nullptr;
    CKelvoButton* m_radio = nullptr;
    CKelvoButton* m_refresh = nullptr;
    CKelvoButton* m_dock = nullptr;
    CKelvoComboBox* m_sort = nullptr;
    CKelvoComboBox* m_group = nullptr;
    CKelvoEdit* m_search = nullptr;
    CKelvoChannelListBox* m_list = nullptr;

    QRect m_header;
    QRect m_bottom;
    QRect m_leftBorder;
    QRect m_rightBorder;
    QRect m_searchBox;
};
