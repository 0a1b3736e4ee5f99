#pragma once

#include "views/common/CKelvoDlgFrame.h"

class CQuarnDataModel;
class CKelvoChannelListBoxSimple;

// The simple service list: a modal dialog listing every TV service (radio services are never
// listed) from which the user picks one with a double-click. Escape and the close button cancel.
//
// Use either the one-call form
//     const int key = CKelvoDlgChannelListSimple::Pick(db, currentKey, this);   // -1: cancelled
// or the dialog itself:
//     CKelvoDlgChannelListSimple dlg(db, this);
//     dlg.SetChosenService(currentKey);                 // preselects its row, if listed
//     if (dlg.exec() == QDialog::Accepted) use(dlg.ChosenService());
// After a cancel ChosenService() still holds the preselection and must be ignored.
class CKelvoDlgChannelListSimple final : public CKelvoDlgFrame
{
    Q_OBJECT
public:
    static constexpr int kTemplateId = 429;
    static constexpr int kListId = 1055;

    explicit CKelvoDlgChannelListSimple(const CQuarnDataModel& db, QWidget* parent = nullptr);

    // The service key chosen with a double-click (or the preselection; -1 for none).
    void SetChosenService(int serviceKey);
    int ChosenService() const { return m_chosen; }

    // Runs the dialog modally; the key of the chosen service, or -1 when the user cancelled.
    static int Pick(const CQuarnDataModel& db, int preselectedServiceKey, QWidget* parent);

    CKelvoChannelListBoxSimple* List() const { return m_list; }

private:
    void OnDoubleClick(int row);

    CKelvoChannelListBoxSimple* m_list = nullptr;
    int m_chosen = -1;
};
