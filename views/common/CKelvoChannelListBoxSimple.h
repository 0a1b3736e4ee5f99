#pragma once

#include "ui/CNxListBox.h"

#include <vector>

class CQuarnDataModel;

// The list of the simple service list: number, scrambled mark and name of each TV service. Rows
// hold service keys and look the service up again when they are drawn.
class CKelvoChannelListBoxSimple final : public CNxListBox
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 30;

    CKelvoChannelListBoxSimple(const CQuarnDataModel& db, QWidget* parent = nullptr, int commandId = 0);

    // Every TV service of the database, in the database's order.
    void FillTvServices();
    int KeyAt(int row) const;
    // Selects the first row of the service; false (and nothing selected) when it is not listed.
    bool SelectService(int serviceKey);

protected:
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const CQuarnDataModel& m_db;
    std::vector<int> m_keys;
    QRect m_number;
    QRect m_scrambled;
    QRect m_name;
};
