#pragma once

#include "ui/CNxListBox.h"

class CNearbyBoxList;

// The settings form's "Nearby Set-top-boxes (STB) List": draws the rows that CNearbyBoxList
// decides, "name (a.b.c.d)" for a box and "Scanning..." for the placeholder that stays last.
// A mouse click on the placeholder or below the rows is swallowed, so only the keyboard can land
// on the placeholder.
class CKelvoScanIPListBox final : public CNxListBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoScanIPListBox)

public:
    explicit CKelvoScanIPListBox(QWidget* parent = nullptr, int commandId = 0);

    void SetTextColours(const QColor& normal, const QColor& selected);
    // Shows the rows of `boxes` and its selection.
    void ShowRows(const CNearbyBoxList& boxes);
    bool IsPlaceholderRow(int index) const { return index >= 0 && index == GetCount() - 1; }

protected:
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool Swallowed(const QMouseEvent* event) const;

    QColor m_normal;
    QColor m_selected;
};
