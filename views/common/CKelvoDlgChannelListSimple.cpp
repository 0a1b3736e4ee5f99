#include "views/common/CKelvoDlgChannelListSimple.h"

#include "model/CQuarnDataModel.h"
#include "ui/CDialogUnits.h"
#include "views/common/CKelvoChannelListBoxSimple.h"

namespace {
// Template 429: the dialog, and the list placeholder that the list replaces.
constexpr QSize kDialogDlu(222, 222);
} // namespace

CKelvoDlgChannelListSimple::CKelvoDlgChannelListSimple(const CQuarnDataModel& db, QWidget* parent)
    : CKelvoDlgFrame(QStringLiteral("Service List"), parent)
{
    setObjectName(QStringLiteral("ServiceListSimple"));
    m_list = new CKelvoChannelListBoxSimple(db, this, kListId);
    m_list->setObjectName(QStringLiteral("list"));
    const CDialogUnits units;
    SetClientSize(units.ToPixels(kDialogDlu));
    const QSize client = ClientSize();
    PlaceInClient(m_list, QRect(0, kCaptionHeight, client.width(), client.height() - kCaptionHeight));
    m_list->FillTvServices();
    connect(m_list, &CNxListBox::itemDoubleClicked, this, &CKelvoDlgChannelListSimple::OnDoubleClick);
    m_list->setFocus();
}

void CKelvoDlgChannelListSimple::SetChosenService(int serviceKey)
{
    m_chosen = serviceKey;
    m_list->SelectService(serviceKey);
}

void CKelvoDlgChannelListSimple::OnDoubleClick(int row)
{
    if (row < 0 || row >= m_list->GetCount()) {
        return;
    }
    m_chosen = m_list->KeyAt(row);
    accept();
}

int CKelvoDlgChannelListSimple::Pick(const CQuarnDataModel& db, int preselectedServiceKey, QWidget* parent)
{
    CKelvoDlgChannelListSimple dlg(db, parent);
    dlg.SetChosenService(preselectedServiceKey);
    return dlg.exec() == QDialog::Accepted ? dlg.ChosenService() : -1;
}
