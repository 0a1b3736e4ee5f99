#pragma once

#include "discovery/CNearbyBoxList.h"
#include "discovery/DiscoveryScope.h"
#include "model/CBoxConnection.h"
#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoView.h"
#include "views/settings/CSettingsInput.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class CFindUPnpDevice;
class CKelvoButton;
class CKelvoComboBox;
class CKelvoIPAddressCtrl;
class CKelvoScanIPListBox;
class CMainFrameMessages;
class CNxButton;
class CNxStatic;
class QLineEdit;

// The settings view: the list of boxes found nearby, the box's address and connection settings,
// and the stream-to-other-device target, laid out from the form's template in dialog units and
// kept centred as a block.
//
// The form edits a copy. LoadFromSettings gives it the stored connection; SaveToSettings reads the
// controls back into a new copy, which the frame stores on Save (the Save button carries
// Kelvo::ID_SAVE_SETTINGS and lives, with the view's title, in CaptionContent()). Leaving the
// view (SetActive(false)) drops unsaved edits and stops the search for boxes; coming back
// reloads the stored copy and searches afresh.
class CKelvoViewSetting final : public QWidget, public CKelvoView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoViewSetting)

public:
    // Control ids of the form's template; every control's objectName is "ctl<id>".
    enum ControlId : int
    {
        IDC_NEARBY_TITLE = 1009,
        IDC_CONNECTED = 1010,
        IDC_NEARBY_LIST = 1011,
        IDC_STATUS_TITLE = 1016,
        IDC_ADDRESS_LABEL = 1017,
        IDC_PROTOCOL_LABEL = 1018,
        IDC_PIN_LABEL = 1019,
        IDC_USER_LABEL = 1020,
        IDC_PASSWORD_LABEL = 1021,
        IDC_STOD_TITLE = 1022,
        IDC_STOD_ADDRESS_LABEL = 1023,
        IDC_STOD_PORT_LABEL = 1024,
        IDC_STOD_PROTOCOL_LABEL = 1025,
        IDC_ADDRESS = 1026,
        IDC_PROTOCOL = 1027,
        IDC_PIN = 1028,
        IDC_USER = 1029,
        IDC_PASSWORD = 1030,
        IDC_STOD_ADDRESS = 1032,
        IDC_STOD_PORT = 1033,
        IDC_STOD_PROTOCOL = 1034,
        IDC_STOD_ON = 1035,
        IDC_STOD_OFF = 1036,
        IDC_QUICK_START_LABEL = 1037,
        IDC_QUICK_START_ON = 1038,
        IDC_QUICK_START_OFF = 1039,
    };
    static constexpr int kCaptionHeight = 38;
    static constexpr int kSeparatorOverhang = 20;

    explicit CKelvoViewSetting(CMainFrameMessages& messages, QWidget* parent = nullptr);
    ~CKelvoViewSetting() override;

    // Fills the controls from the stored connection and keeps it as the copy that SetActive
    // reloads.
    void LoadFromSettings(const CBoxConnection& connection);
    // The controls' values as a connection (the box's port, not on the form, from LoadFromSettings).
    CBoxConnection SaveToSettings() const;
    // The player's quick channel start (a short network cache) is this computer's choice, not the
    // box's: it is shown and read here but stored with the player's settings.
    void SetQuickStart(bool on);
    bool QuickStart() const;
    // What would make Save store a setting other than the one typed (see CSettingsInput::Check),
    // for a caller that refuses to save it and shows the message; the field at fault gets the
    // keyboard focus. SaveToSettings itself stores whatever the form holds.
    std::optional<CSettingsInput::Problem> CheckInput();

    // The frame calls this whenever the active view changes. true: reload the controls from the
    // last LoadFromSettings and start a search (unless one runs); false: stop it and drop edits.
    void SetActive(bool active);
    void Activate() override { SetActive(true); }
    void Deactivate() override { SetActive(false); }
    bool IsActive() const { return m_active; }
    bool IsSearching() const;
    // Where searches look; the application's default is the computer's local networks. Takes
    // effect with the next search.
    void SetDiscoveryScope(DiscoveryScope scope) { m_scope = scope; }

    // The view's title and Save button for the view caption bar: 38 pixels high, transparent.
    // The frame puts it into the bar (it becomes the bar's child); it is shown and hidden with
    // the view.
    QWidget* CaptionContent() const override;
    CKelvoButton* SaveButton() const { return m_save; }

    // The control with a template id, or nullptr.
    QWidget* Control(int id) const;
    const CNearbyBoxList& NearbyBoxes() const { return m_boxes; }
    // The form block in the view's coordinates, and the lines drawn for the separators
    // (from x1 to x2 at y), as the last layout placed them.
    QRect ContentRect() const;
    QList<QLine> SeparatorLines() const;

public Q_SLOTS:
    // The finder's events (its "CFindUPnpDevice_DefaultMsg").
    void OnDeviceFound(const UpnpDevice& device);
    void OnDeviceRemoved(const QString& udn);
    void OnSearchComplete();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct DlgItemCoord
    {
        QWidget* window;
        QPoint position;
    };

    void BuildControls();
    void LoadControls(const CBoxConnection& connection);
    CSettingsInput::Values Values() const;
    void SyncConnectedBox();
    void ShowBoxes();
    void OnRowSelected(int index);
    void SetStodEnabled(bool on);
    void Layout();
    void LayoutCaption();
    void ShowCaption(bool show);

    CKelvoFrameImpl m_frame;
    CBoxConnection m_stored;
    CNearbyBoxList m_boxes;
    std::unique_ptr<CFindUPnpDevice> m_finder;
    DiscoveryScope m_scope = DiscoveryScope::Lan;
    bool m_active = false;

    CNxStatic* m_connected = nullptr;
    CKelvoScanIPListBox* m_list = nullptr;
    CKelvoIPAddressCtrl* m_address = nullptr;
    CKelvoComboBox* m_protocol = nullptr;
    QLineEdit* m_pin = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    CNxButton* m_quickStartOn = nullptr;
    CNxButton* m_quickStartOff = nullptr;
    CNxButton* m_stodOn = nullptr;
    CNxButton* m_stodOff = nullptr;
    CKelvoIPAddressCtrl* m_stodAddress = nullptr;
    QLineEdit* m_stodPort = nullptr;
    CKelvoComboBox* m_stodProtocol = nullptr;

    QPointer<QWidget> m_caption;
    CNxStatic* m_title = nullptr;
    CKelvoButton* m_save = nullptr;

    std::vector<DlgItemCoord> m_items;
    QSize m_content;
    std::vector<int> m_separatorTops;
    int m_offsetY = 0;
};
