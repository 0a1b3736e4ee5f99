#include "views/settings/CKelvoViewSetting.h"

#include "commands/KelvoCommandIds.h"
#include "discovery/CFindUPnpDevice.h"
#include "res/CStringTable.h"
#include "ui/CDialogUnits.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"
#include "ui/KelvoImageTable.h"
#include "views/settings/CKelvoIPAddressCtrl.h"
#include "views/settings/CKelvoScanIPListBox.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <functional>

namespace {
// The form's template: control rectangles in dialog units. The drop-down lists get the height
// of the edit fields: their template height includes the dropped-down list.
constexpr int kEditHeight = 15;
constexpr int kSeparatorTops[] = {15, 98, 231};
constexpr int kContentWidthDlu = 516;
constexpr int kSaveRightGap = 45;
constexpr int kSaveFrames = 3;
constexpr int kPortDigits = 5;

struct LabelSpec
{
    int id;
    QRect dlu;
    int text;
    const QFont CKelvoRes::*font;
};

const LabelSpec kLabels[] = {
    {CKelvoViewSetting::IDC_NEARBY_TITLE, QRect(0, 0, 198, 12), CStringTable::IDS_NEARBY_LIST,
     &CKelvoRes::fontBold18},
    {CKelvoViewSetting::IDC_CONNECTED, QRect(378, 0, 138, 12), CStringTable::IDS_CONNECTED,
     &CKelvoRes::fontBold15},
    {CKelvoViewSetting::IDC_STATUS_TITLE, QRect(0, 84, 198, 12), CStringTable::IDS_STATUS_OF_STB,
     &CKelvoRes::fontBold18},
    {CKelvoViewSetting::IDC_ADDRESS_LABEL, QRect(6, 102, 191, 12), CStringTable::IDS_IP_MANUAL,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_PROTOCOL_LABEL, QRect(6, 121, 191, 12), CStringTable::IDS_PROTOCOL,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_PIN_LABEL, QRect(6, 138, 354, 12), CStringTable::IDS_PARENTAL_PASSWORD,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_USER_LABEL, QRect(6, 156, 191, 12), CStringTable::IDS_WEB_USER,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_PASSWORD_LABEL, QRect(6, 174, 191, 12), CStringTable::IDS_WEB_PASSWORD,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_STOD_TITLE, QRect(0, 216, 198, 12), CStringTable::IDS_STREAM_OTHER,
     &CKelvoRes::fontBold18},
    {CKelvoViewSetting::IDC_STOD_ADDRESS_LABEL, QRect(6, 234, 191, 12), CStringTable::IDS_OTHER_IP,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_STOD_PORT_LABEL, QRect(6, 252, 191, 12), CStringTable::IDS_OTHER_PORT,
     &CKelvoRes::fontBold14},
    {CKelvoViewSetting::IDC_STOD_PROTOCOL_LABEL, QRect(6, 270, 191, 12), CStringTable::IDS_OTHER_PROTOCOL,
     &CKelvoRes::fontBold14},
};

QString ControlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

void FillProtocols(CKelvoComboBox* combo)
{
    combo->addItem(QStringLiteral("RTP"), int(CBoxSettings::RTP));
    combo->addItem(QStringLiteral("UDP"), int(CBoxSettings::UDP));
    combo->addItem(QStringLiteral("HLS"), int(CBoxSettings::HLS));
}

// Rows are chosen by the value they carry, not by their position; an unknown value selects none.
void SelectProtocol(CKelvoComboBox* combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

int SelectedProtocol(const CKelvoComboBox* combo)
{
    return combo->currentIndex() < 0 ? -1 : combo->currentData().toInt();
}

// The caption bar's part of the view: it lays out the title and the Save button over the width
// of the form block, centred in whatever width the bar gives it.
class CCaptionContent final : public QWidget
{
public:
    explicit CCaptionContent(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
        setFixedHeight(CKelvoViewSetting::kCaptionHeight);
    }

    void Place(QWidget* title, QWidget* save, int contentWidth)
    {
        const int x = (width() - contentWidth) / 2;
        title->move(x, (height() - title->height()) / 2);
        save->move(x + contentWidth - save->width() - kSaveRightGap, (height() - save->height()) / 2);
    }

    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (onResize)
            onResize();
    }
};
} // namespace

// The view has nothing to tell the frame: Save reaches it as a command from the caption bar.
CKelvoViewSetting::CKelvoViewSetting(CMainFrameMessages&, QWidget* parent) : QWidget(parent), m_frame(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frame.SetSkinBorders(true);
    m_frame.Apply();
    BuildControls();
    LoadControls(m_stored);
    setObjectName(QStringLiteral("settingView"));
}

CKelvoViewSetting::~CKelvoViewSetting()
{
    // The search goes first: no event may reach a half-destroyed form.
    m_finder.reset();
}

void CKelvoViewSetting::BuildControls()
{
    const CKelvoRes& res = KelvoRes();
    const CDialogUnits units;
    auto place = [&](QWidget* widget, int id, const QRect& dlu) {
        widget->setObjectName(ControlName(id));
        widget->setGeometry(units.ToPixels(dlu));
        m_items.push_back({widget, widget->pos()});
    };

    // Child order is the template's: the tab order follows it.
    for (const LabelSpec& spec : kLabels) {
        if (spec.id == IDC_STATUS_TITLE) {
            m_list = new CKelvoScanIPListBox(this, IDC_NEARBY_LIST);
            m_list->setFont(res.fontBold14);
            m_list->SetVerticalScrollBarShown(false);
            m_list->SetNotify(true);
            m_list->SetEmptyText(CStringTable::Get(CStringTable::IDS_LIST_EMPTY));
            m_list->SetTextColours(res.colorText, res.colorSelectedText);
            place(m_list, IDC_NEARBY_LIST, QRect(6, 18, 296, 66));
            connect(m_list, &CNxListBox::selectionChanged, this, &CKelvoViewSetting::OnRowSelected);
        }
        auto* label = new CNxStatic(CStringTable::Get(spec.text), this);
        label->setFont(res.*spec.font);
        label->SetTransparent(true);
        label->SetTextColour(spec.id == IDC_CONNECTED ? res.colorSelectedText : res.colorText);
        place(label, spec.id, spec.dlu);
        if (spec.id == IDC_CONNECTED) {
            m_connected = label;
            label->hide();
        }
    }

    auto edit = [&](int id, int y, bool password) {
        auto* field = new QLineEdit(this);
        field->setFont(res.fontNormal12);
        if (password)
            field->setEchoMode(QLineEdit::Password);
        place(field, id, QRect(396, y, 120, kEditHeight));
        return field;
    };
    auto combo = [&](int id, int y) {
        auto* list = new CKelvoComboBox(this, id);
        list->setFont(res.fontNormal12);
        list->SetColours(list->SelectedBackground(), res.colorBlack, res.colorText);
        FillProtocols(list);
        place(list, id, QRect(396, y, 120, kEditHeight));
        return list;
    };
    auto address = [&](int id, int y) {
        auto* control = new CKelvoIPAddressCtrl(this);
        control->setFont(res.fontNormal12);
        place(control, id, QRect(396, y, 120, kEditHeight));
        return control;
    };
    auto radio = [&](int id, int x, const QString& text, int y = 216) {
        auto* button = new CNxButton(this, id);
        button->setFont(res.fontNormal12);
        button->setText(text);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->SetFlatBorderless(true);
        button->SetTransparent(true);
        button->SetTextColours(res.colorText, res.colorHot, res.colorPressed);
        button->SetImage(Kelvo::IDB_RADIO_MARK);
        button->SetCheckedImage(Kelvo::IDB_RADIO_MARK_CHECKED);
        place(button, id, QRect(x, y, 36, 12));
        button->SizeToContent();
        return button;
    };

    m_address = address(IDC_ADDRESS, 102);
    m_protocol = combo(IDC_PROTOCOL, 120);
    m_pin = edit(IDC_PIN, 138, true);
    m_user = edit(IDC_USER, 156, false);
    m_password = edit(IDC_PASSWORD, 174, true);
    m_stodOn = radio(IDC_STOD_ON, 408, QStringLiteral("ON"));
    m_stodOff = radio(IDC_STOD_OFF, 472, QStringLiteral("OFF"));
    m_stodAddress = address(IDC_STOD_ADDRESS, 234);
    m_stodPort = edit(IDC_STOD_PORT, 252, false);
    m_stodPort->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kPortDigits)), m_stodPort));
    m_stodPort->setText(QStringLiteral("0"));
    m_stodProtocol = combo(IDC_STOD_PROTOCOL, 270);
    auto* quickStart = new CNxStatic(QStringLiteral("Quick channel start"), this);
    quickStart->setFont(res.fontBold14);
    quickStart->SetTransparent(true);
    quickStart->SetTextColour(res.colorText);
    place(quickStart, IDC_QUICK_START_LABEL, QRect(6, 294, 191, 12));
    m_quickStartOn = radio(IDC_QUICK_START_ON, 408, QStringLiteral("ON"), 294);
    m_quickStartOff = radio(IDC_QUICK_START_OFF, 472, QStringLiteral("OFF"), 294);
    // A pair of its own: the form's other ON/OFF pair shares the parent, and auto-exclusive
    // buttons of one parent would form a single group of four.
    auto* quickStartPair = new QButtonGroup(this);
    quickStartPair->addButton(m_quickStartOn);
    quickStartPair->addButton(m_quickStartOff);
    m_quickStartOn->setChecked(true);

    connect(m_address, &CKelvoIPAddressCtrl::fieldChanged, this, &CKelvoViewSetting::SyncConnectedBox);
    // Whichever way ON gets or loses its check (a click, the arrow keys within the group, loading),
    // the target's fields follow it.
    connect(m_stodOn, &QAbstractButton::toggled, this, &CKelvoViewSetting::SetStodEnabled);

    // The block's extent; the "connected" label sits at the right end of the first line and
    // counts only towards the left and top.
    QRect extent;
    int left = 0;
    int top = 0;
    bool first = true;
    for (const DlgItemCoord& item : m_items) {
        const QRect r(item.position, item.window->size());
        left = first ? r.left() : std::min(left, r.left());
        top = first ? r.top() : std::min(top, r.top());
        first = false;
        if (item.window != m_connected)
            extent = extent.united(r);
    }
    const int right = std::max(extent.left() + extent.width(), units.X(kContentWidthDlu));
    m_content = QSize(right - left, extent.top() + extent.height() - top);
    for (const int dlu : kSeparatorTops)
        m_separatorTops.push_back(units.Y(dlu));

    // The caption part: a hidden child of the view until the frame gives it to its caption bar.
    auto* caption = new CCaptionContent(this);
    caption->hide();
    m_title = new CNxStatic(CStringTable::Get(CStringTable::IDS_NEARBY_LIST), caption);
    m_title->setFont(res.fontBold15);
    m_title->SetTransparent(true);
    m_title->SetTextColour(res.colorText);
    m_title->SizeToText();
    m_save = new CKelvoButton(caption, Kelvo::ID_SAVE_SETTINGS);
    m_save->setObjectName(QStringLiteral("saveSettings"));
    m_save->SetImage(Kelvo::IDB_SAVE, kSaveFrames);
    m_save->SetText(CStringTable::Get(CStringTable::IDS_SAVE));
    m_save->SetTransparent(true);
    m_save->SetTextColours(res.colorWhite, res.colorPressed, res.colorHot, res.colorImageButtonDisabled,
                           res.colorPressed);
    caption->onResize = [this] { LayoutCaption(); };
    m_caption = caption;

    m_boxes.SyncConnectedBox(std::nullopt);
    ShowBoxes();
}

QWidget* CKelvoViewSetting::CaptionContent() const
{
    return m_caption.data();
}

QWidget* CKelvoViewSetting::Control(int id) const
{
    return findChild<QWidget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

void CKelvoViewSetting::LoadFromSettings(const CBoxConnection& connection)
{
    m_stored = connection;
    LoadControls(connection);
}

void CKelvoViewSetting::LoadControls(const CBoxConnection& connection)
{
    const CSettingsInput::Values values = CSettingsInput::FromConnection(connection);
    m_address->SetOctets(values.boxAddress);
    SelectProtocol(m_protocol, values.streamingProtocol);
    m_pin->setText(values.pinCode);
    m_user->setText(values.userName);
    m_password->setText(values.password);
    (values.stodEnabled ? m_stodOn : m_stodOff)->setChecked(true);
    SetStodEnabled(values.stodEnabled);
    m_stodAddress->SetOctets(values.stodAddress);
    m_stodPort->setText(values.stodPort);
    SelectProtocol(m_stodProtocol, values.stodProtocol);
    SyncConnectedBox();
}

CSettingsInput::Values CKelvoViewSetting::Values() const
{
    CSettingsInput::Values values;
    values.boxAddress = m_address->Octets();
    values.streamingProtocol = SelectedProtocol(m_protocol);
    values.pinCode = m_pin->text();
    values.userName = m_user->text();
    values.password = m_password->text();
    values.stodEnabled = m_stodOn->isChecked();
    values.stodAddress = m_stodAddress->Octets();
    values.stodPort = m_stodPort->text();
    values.stodProtocol = SelectedProtocol(m_stodProtocol);
    return values;
}

CBoxConnection CKelvoViewSetting::SaveToSettings() const
{
    return CSettingsInput::ToConnection(Values(), m_stored);
}

std::optional<CSettingsInput::Problem> CKelvoViewSetting::CheckInput()
{
    const CSettingsInput::Values values = Values();
    const std::optional<CSettingsInput::Problem> problem = CSettingsInput::Check(values);
    if (!problem)
        return problem;
    switch (problem->field) {
    case CSettingsInput::Field::BoxAddress:
    case CSettingsInput::Field::StodAddress: {
        CKelvoIPAddressCtrl* control =
            problem->field == CSettingsInput::Field::BoxAddress ? m_address : m_stodAddress;
        const CSettingsInput::Octets octets = control->Octets();
        const auto blank =
            std::find_if(octets.begin(), octets.end(), [](const QString& o) { return o.isEmpty(); });
        control->FocusField(blank == octets.end() ? 0 : static_cast<int>(blank - octets.begin()));
        break;
    }
    case CSettingsInput::Field::StodPort:
        m_stodPort->setFocus(Qt::OtherFocusReason);
        m_stodPort->selectAll();
        break;
    }
    return problem;
}

void CKelvoViewSetting::SetStodEnabled(bool on)
{
    // Disabled, the target's fields keep what they hold; it is saved as it stands.
    m_stodAddress->setEnabled(on);
    m_stodPort->setEnabled(on);
    m_stodProtocol->setEnabled(on);
}

void CKelvoViewSetting::SetActive(bool active)
{
    m_active = active;
    LoadControls(m_stored);
    if (!active) {
        m_finder.reset();
        return;
    }
    m_boxes.BeginSearch();
    if (m_finder)
        return;
    m_finder = std::make_unique<CFindUPnpDevice>(m_scope);
    connect(m_finder.get(), &CFindUPnpDevice::DeviceFound, this, &CKelvoViewSetting::OnDeviceFound);
    connect(m_finder.get(), &CFindUPnpDevice::DeviceRemoved, this, &CKelvoViewSetting::OnDeviceRemoved);
    connect(m_finder.get(), &CFindUPnpDevice::SearchComplete, this, &CKelvoViewSetting::OnSearchComplete);
    // Without a search the list shows "Scanning..." alone and the address is typed by hand.
    m_finder->Start();
}

bool CKelvoViewSetting::IsSearching() const
{
    return m_finder && m_finder->IsRunning();
}

void CKelvoViewSetting::OnDeviceFound(const UpnpDevice& device)
{
    if (m_boxes.OnDeviceFound(device) >= 0) {
        ShowBoxes();
        SyncConnectedBox();
    }
}

void CKelvoViewSetting::OnDeviceRemoved(const QString& udn)
{
    m_boxes.OnDeviceRemoved(udn);
}

void CKelvoViewSetting::OnSearchComplete()
{
    if (m_boxes.OnSearchComplete() > 0)
        ShowBoxes();
    SyncConnectedBox();
}

void CKelvoViewSetting::ShowBoxes()
{
    m_list->ShowRows(m_boxes);
}

void CKelvoViewSetting::SyncConnectedBox()
{
    m_boxes.SyncConnectedBox(m_address->Address());
    m_list->SetCurSel(m_boxes.SelectedRow());
    if (m_boxes.SelectedRow() >= 0)
        m_list->EnsureVisible(m_boxes.SelectedRow());
    m_connected->setVisible(m_boxes.Connected());
}

void CKelvoViewSetting::OnRowSelected(int index)
{
    if (const UpnpDevice* box = m_boxes.Box(index))
        m_address->SetAddress(box->ipAddress);
    SyncConnectedBox();
}

void CKelvoViewSetting::SetQuickStart(bool on)
{
    (on ? m_quickStartOn : m_quickStartOff)->setChecked(true);
}

bool CKelvoViewSetting::QuickStart() const
{
    return m_quickStartOn->isChecked();
}

QRect CKelvoViewSetting::ContentRect() const
{
    const QRect client = contentsRect();
    return QRect(client.left() + (client.width() - m_content.width()) / 2, client.top() + m_offsetY,
                 m_content.width(), m_content.height());
}

QList<QLine> CKelvoViewSetting::SeparatorLines() const
{
    const QRect block = ContentRect();
    QList<QLine> lines;
    for (const int top : m_separatorTops) {
        const int y = block.top() + top;
        lines.append(QLine(block.left() - kSeparatorOverhang, y, block.right() + 1 + kSeparatorOverhang, y));
    }
    return lines;
}

void CKelvoViewSetting::Layout()
{
    const QRect client = contentsRect();
    const int offsetX = client.left() + (client.width() - m_content.width()) / 2;
    // Centred in the height less the caption bar's; never above the top, so that a window too
    // low for the form cuts its bottom rather than its headings.
    m_offsetY = std::max(0, (client.height() - m_content.height() - kCaptionHeight - client.top()) / 2);
    for (const DlgItemCoord& item : m_items)
        item.window->move(item.position + QPoint(offsetX, client.top() + m_offsetY));
    LayoutCaption();
}

void CKelvoViewSetting::LayoutCaption()
{
    if (auto* caption = static_cast<CCaptionContent*>(m_caption.data()))
        caption->Place(m_title, m_save, m_content.width());
}

void CKelvoViewSetting::ShowCaption(bool show)
{
    // Only once the frame has put it into its bar: inside the view it would cover the form.
    if (m_caption && m_caption->parent() != this)
        m_caption->setVisible(show);
}

void CKelvoViewSetting::resizeEvent(QResizeEvent*)
{
    Layout();
    update();
}

void CKelvoViewSetting::showEvent(QShowEvent*)
{
    ShowCaption(true);
}

void CKelvoViewSetting::hideEvent(QHideEvent*)
{
    ShowCaption(false);
}

void CKelvoViewSetting::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), KelvoRes().colorBlack);
    p.setPen(KelvoRes().colorListLine);
    for (const QLine& line : SeparatorLines())
        p.drawLine(line.x1(), line.y1(), line.x2() - 1, line.y2());
    m_frame.PaintBorders(p);
}
