#pragma once

#include <QColor>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <vector>

class CNxScrollBar;

// What a row is drawn from: the row's index, text and item data, and its state.
struct NxDrawItem
{
    int index = -1;
    QString text;
    QVariant data;
    bool selected = false;
    bool focused = false;
    bool enabled = true;
};

// The owner-drawn virtual list every view's list is built on: fixed row height, rows held as
// text plus item data (no widget per row), only the visible rows painted through
// DrawItemBackground and DrawItemContent, and its own skin scroll bar. It keeps the standard
// list box's requests and notifications.
class CNxListBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    static constexpr int kWheelRows = 3;

    explicit CNxListBox(QWidget* parent = nullptr, int commandId = 0);
    ~CNxListBox() override;
    Q_DISABLE_COPY_MOVE(CNxListBox)

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }

    // Styles of the standard list box.
    void SetVerticalScrollBarShown(bool on); // the requested vertical scroll bar style
    bool VerticalScrollBarShown() const { return m_wantScrollBar; }
    void SetScrollBarOnLeft(bool on);
    void SetBorder(bool on); // a thin one-pixel border
    void SetSorted(bool on) { m_sorted = on; }
    void SetNotify(bool on) { m_notify = on; }

    // Rows.
    int AddString(const QString& text, const QVariant& itemData = QVariant());
    int InsertString(int index, const QString& text, const QVariant& itemData = QVariant());
    int DeleteString(int index);
    void ResetContent();
    // Replaces all rows at once (one layout and one repaint for any number of rows).
    void SetRows(std::vector<QString> texts, std::vector<QVariant> itemData = {});
    int GetCount() const { return static_cast<int>(m_texts.size()); }
    QString GetText(int index) const;
    QVariant GetItemData(int index) const;
    bool SetItemData(int index, const QVariant& itemData);

    int GetItemHeight() const { return m_rowHeight; }
    void SetItemHeight(int height);
    int GetTopIndex() const { return m_top; }
    bool SetTopIndex(int index);
    int GetCurSel() const { return m_sel; }
    bool SetCurSel(int index);
    // Rows that fit entirely in the client area.
    int PageRows() const;
    QRect GetItemRect(int index) const;
    int ItemFromPoint(QPoint pos) const;
    // Scrolls so that the row is fully visible; true when it scrolled.
    bool EnsureVisible(int index);

    QColor BackgroundColor() const { return m_back; }
    void SetBackgroundColor(const QColor& c);
    QColor EmptyTextColor() const { return m_emptyColor; }
    void SetEmptyTextColor(const QColor& c);
    QString EmptyText() const { return m_emptyText; }
    void SetEmptyText(const QString& text);

    CNxScrollBar* ScrollBar() const { return m_bar; }
    // The rows' area: the widget less its border and, when shown, the scroll bar.
    QRect ClientRect() const;

signals:
    void selectionChanged(int index);
    void itemDoubleClicked(int index);

protected:
    virtual void DrawEmptyText(QPainter& p, const QRect& rect) const;
    virtual void PlaceScrollBar();
    virtual void UpdateScrollBar();
    virtual void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const;
    virtual void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Called after the rows changed (count, order or data); derived lists may refresh caches.
    virtual void RowsChanged() {}

private:
    void OnScroll(int code, int position);
    int MaxTop() const;
    void SelectByUser(int index);
    void AfterRowsChanged();

    int m_commandId = 0;
    bool m_wantScrollBar = true;
    bool m_scrollBarLeft = false;
    int m_border = 0;
    bool m_sorted = false;
    bool m_notify = true;
    std::vector<QString> m_texts;
    std::vector<QVariant> m_data;
    int m_rowHeight = 20;
    int m_top = 0;
    int m_sel = -1;
    int m_wheelRemainder = 0;
    QColor m_back;
    QColor m_emptyColor;
    QString m_emptyText;
    CNxScrollBar* m_bar = nullptr;
};
