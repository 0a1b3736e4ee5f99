#include "views/channel/CKelvoPageChannel.h"

#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "player/CPlaybackState.h"
#include "res/CStringTable.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoEdit.h"
#include "ui/CKelvoRes.h"
#include "ui/KelvoImageTable.h"
#include "views/channel/CKelvoChannelListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {
constexpr int kSortHeight = 21;

CKelvoButton* MediaButton(QWidget* parent, int id, int stringId, int imageId)
{
    auto* b = new CKelvoButton(parent, id);
    b->SetKind(CPngButton::Kind::Radio);
    b->SetGroup(1);
    // Left and Right step channels in the player; a focused radio pair would take them to flip
    // between TV and Radio as well.
    b->setFocusPolicy(Qt::NoFocus);
    b->SetImage(imageId, 3);
    b->SetText(CStringTable::Get(stringId));
    const CKelvoRes& res = KelvoRes();
    b->SetTextColours(res.colorWhite, res.colorWhite, res.colorMediaHot, res.colorImageButtonDisabled,
                      res.colorMediaPressedHot);
    return b;
}
} // namespace

CKelvoPageChannel::CKelvoPageChannel(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent)
    : CKelvoBaseWnd(parent), m_db(db), m_messages(messages), m_rows(db)
{
    setObjectName(QStringLiteral("PageChannel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    CreateChildren();
    m_search->setObjectName(QStringLiteral("channelSearch"));
    m_tv->setObjectName(QStringLiteral("channelTv"));
    m_radio->setObjectName(QStringLiteral("channelRadio"));
    m_refresh->setObjectName(QStringLiteral("channelRefresh"));
    m_dock->setObjectName(QStringLiteral("channelDock"));
}

bool CKelvoPageChannel::CreateChildren()
{
    if (m_list) {
        return true;
    }
    using namespace Kelvo;
    m_tv = MediaButton(this, ID_CHANNEL_TV, CStringTable::IDS_TV, IDB_TV);
    m_radio = MediaButton(this, ID_CHANNEL_RADIO, CStringTable::IDS_RADIO, IDB_RADIO);
    m_tv->move(4, 1);
    m_radio->move(74, 1);

    m_refresh = new CKelvoButton(this, ID_CHANNEL_REFRESH);
    m_refresh->SetImage(IDB_REFRESH, 3);
    m_refresh->SetText(CStringTable::Get(CStringTable::IDS_REFRESH));
    m_refresh->SetTextAlignment(CPngButton::AlignRight);
    m_refresh->SetMargins(QMargins(0, 0, 25, 0));

    m_dock = new CKelvoButton(this, ID_CHANNEL_DOCK);
    m_dock->SetImage(IDB_CLOSE, 3);
    m_dock->hide();

    m_sort = new CKelvoComboBox(this, ID_CHANNEL_SORT);
    m_sort->addItem(CStringTable::Get(CStringTable::IDS_SORT_ALPHABETIC));
    m_sort->addItem(CStringTable::Get(CStringTable::IDS_SORT_NUMERIC));
    m_sort->addItem(CStringTable::Get(CStringTable::IDS_SORT_GROUP));
    m_sort->setCurrentIndex(m_rows.SortMode());

    m_group = new CKelvoComboBox(this, ID_CHANNEL_GROUP);
    m_group->setEnabled(false);
    for (CKelvoComboBox* box : {m_sort, m_group}) {
        box->SetColours(box->SelectedBackground(), KelvoRes().colorListBack, box->TextColour());
    }

    m_search = new CKelvoEdit(this, ID_CHANNEL_SEARCH);
    m_search->SetTextColour(KelvoRes().colorText);
    m_search->SetBackgroundBrush(KelvoRes().colorListBack);
    m_search->setFrame(false);
    if (KelvoRes().IsLoaded()) {
        m_search->setFont(KelvoRes().fontBold14);
    }
    m_search->setText(m_rows.SearchText());
    m_search->installEventFilter(this);

    m_list = new CKelvoChannelListBox(m_db, m_rows, m_messages, this);
    m_list->setObjectName(QStringLiteral("ChannelList"));
    CheckMediaButtons();

    connect(m_tv, &CPngButton::clicked, this, [this] { OnMediaButton(0); });
    connect(m_radio, &CPngButton::clicked, this, [this] { OnMediaButton(1); });
    connect(m_sort, &QComboBox::activated, this, &CKelvoPageChannel::OnSortActivated);
    connect(m_group, &QComboBox::activated, this, &CKelvoPageChannel::OnGroupActivated);
    connect(m_search, &QLineEdit::textChanged, this, &CKelvoPageChannel::OnSearchChanged);
    connect(m_list, &CNxListBox::itemDoubleClicked, this, &CKelvoPageChannel::OnDoubleClick);
    Layout();
    return true;
}

void CKelvoPageChannel::SetMediaType(int type)
{
    if (type != 0 && type != 1) {
        type = 0;
    }
    if (type == m_rows.MediaType()) {
        CheckMediaButtons();
        return;
    }
    m_rows.SetMediaType(type);
    CheckMediaButtons();
    FillGroups(true);
    FillList();
}

void CKelvoPageChannel::CheckMediaButtons()
{
    m_tv->SetChecked(m_rows.MediaType() == 0);
    m_radio->SetChecked(m_rows.MediaType() == 1);
}

void CKelvoPageChannel::Follow(const CPlaybackState& now)
{
    connect(&now, &CPlaybackState::streamingServiceChanged, this, [this](int previous, int current) {
        SetStreamingService(current);
        ShowStreamedRow(previous);
    });
}

void CKelvoPageChannel::SetStreamingService(int key)
{
    m_list->SetStreamingService(key);
}

void CKelvoPageChannel::ShowStreamedRow(int previousKey)
{
    m_list->ShowStreamedRow(previousKey);
}

void CKelvoPageChannel::SetFloating(bool floating)
{
    m_floating = floating;
    m_list->SetGuideButtonsEnabled(!floating);
    m_dock->setVisible(floating);
    if (floating && isHidden()) {
        show();
    }
    if (parentWidget()) {
        setGeometry(parentWidget()->rect());
    }
    Layout();
}

void CKelvoPageChannel::OnBeginUpdate()
{
    m_group->setUpdatesEnabled(false);
    m_list->setUpdatesEnabled(false);
    m_list->SetUpdating(true);
}

void CKelvoPageChannel::OnEndUpdate()
{
    m_list->SetUpdating(false);
    m_group->setUpdatesEnabled(true);
    m_list->setUpdatesEnabled(true);
    m_group->update();
    m_list->update();
}

void CKelvoPageChannel::RefreshContent()
{
    FillGroups(false);
    FillList();
    m_list->ShowStreamedRow(-1);
}

void CKelvoPageChannel::FillGroups(bool resetIndex)
{
    const bool updates = m_group->updatesEnabled();
    m_group->setUpdatesEnabled(false);
    m_rows.FillGroups(resetIndex);
    const QSignalBlocker quiet(m_group);
    m_group->clear();
    const auto& entries = m_rows.GroupEntries();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        m_group->addItem(m_rows.GroupName(i), entries[static_cast<size_t>(i)]);
    }
    const bool groupMode = m_rows.SortMode() == CChannelRows::Group;
    m_group->setCurrentIndex(groupMode ? m_rows.GroupIndex() : -1);
    m_group->setEnabled(groupMode);
    m_group->setUpdatesEnabled(updates);
    m_group->update();
}

void CKelvoPageChannel::FillList()
{
    if (m_rows.FillList()) {
        m_list->RowsRefilled();
    }
}

void CKelvoPageChannel::OnMediaButton(int type)
{
    const int before = m_rows.MediaType();
    SetMediaType(type);
    if (m_rows.MediaType() != before) {
        emit mediaTypeChanged(m_rows.MediaType());
    }
}

void CKelvoPageChannel::OnSortActivated(int index)
{
    if (index < 0 || index > CChannelRows::Group || index == m_rows.SortMode()) {
        return;
    }
    m_rows.SetSortMode(index);
    FillGroups(false);
    FillList();
    m_list->setFocus();
}

void CKelvoPageChannel::OnGroupActivated(int index)
{
    if (index < 0) {
        return;
    }
    m_rows.SetGroupIndex(index);
    FillList();
    m_list->setFocus();
}

void CKelvoPageChannel::OnSearchChanged(const QString& text)
{
    m_rows.SetSearchText(text);
    FillList();
}

void CKelvoPageChannel::OnDoubleClick()
{
    if (m_list->IsUpdating()) {
        return;
    }
    const int key = m_list->KeyAt(m_list->GetCurSel());
    const CServiceElement* service = m_db.FindService(key);
    if (!service) {
        return;
    }
    if (!service->streamingPossible) {
        // A service that cannot be streamed: bring those that can to the top (or back).
        m_rows.ToggleStreamableFirst();
        FillList();
        return;
    }
    emit m_messages.playService(key);
}

bool CKelvoPageChannel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_search->clear();
        return true;
    }
    return CKelvoBaseWnd::eventFilter(watched, event);
}

void CKelvoPageChannel::mousePressEvent(QMouseEvent* event)
{
    CKelvoBaseWnd::mousePressEvent(event);
    if (!m_floating || event->button() != Qt::LeftButton) {
        return;
    }
    // The popup has no caption of its own: it is dragged by the page's background.
    if (QWindow* handle = window()->windowHandle()) {
        handle->startSystemMove();
    }
    m_list->setFocus();
}

void CKelvoPageChannel::resizeEvent(QResizeEvent* event)
{
    CKelvoBaseWnd::resizeEvent(event);
    Layout();
}

void CKelvoPageChannel::Layout()
{
    if (!m_list) {
        return;
    }
    const int w = width();
    const int h = height();
    m_dock->move(w - 32, 6);
    m_refresh->move(m_floating ? w - 131 : w - 99, 0);
    m_header = QRect(0, 0, w, kHeaderHeight);
    m_bottom = QRect(0, h - kBottomHeight, w, kBottomHeight);
    m_leftBorder = QRect(0, kHeaderHeight, kBorderWidth, qMax(0, h - kBottomHeight - kHeaderHeight));
    m_rightBorder = m_leftBorder.translated(w - kBorderWidth, 0);
    m_sort->setGeometry(5, kHeaderHeight, 137, kSortHeight);
    const int m = kHeaderHeight + m_sort->height();
    m_group->setGeometry(143, kHeaderHeight, qMax(0, w - 5 - 143), m - kHeaderHeight);
    m_searchBox = QRect(5, m + 1, qMax(0, w - 10), 28);
    // The edit sits right of the magnifier glass, inside the box's dark face.
    m_search->setGeometry(m_searchBox.adjusted(40, 4, -4, -4));
    m_list->setGeometry(5, m + 30, qMax(0, w - 10), qMax(0, h - kBottomHeight - (m + 30)));
}

void CKelvoPageChannel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintBackground(p);
    PaintFrame(p);
}

void CKelvoPageChannel::PaintBackground(QPainter& p) const
{
    p.fillRect(rect(), KelvoRes().colorListBack);
    KelvoRes().imgBarDark38.Draw3Slice(p, m_header, CNxImages::VAlign::Top);
    KelvoRes().imgFrameBottom.Draw3Slice(p, m_bottom, CNxImages::VAlign::Top);
}

void CKelvoPageChannel::PaintFrame(QPainter& p) const
{
    using A = CNxImages;
    KelvoRes().imgFrameLeft.Draw(p, m_leftBorder, 0, A::HAlign::Stretch, A::VAlign::Stretch);
    KelvoRes().imgFrameRight.Draw(p, m_rightBorder, 0, A::HAlign::Stretch, A::VAlign::Stretch);
    KelvoRes().imgSearchBox.Draw3Slice(p, m_searchBox, A::VAlign::Top);
}
