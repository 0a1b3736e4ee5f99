#include "player/CKelvoViewPlayer.h"

#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoIconWnd.h"
#include "player/CPlaybackState.h"
#include "player/CVideoSurface.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

CKelvoViewPlayer::CKelvoViewPlayer(const CQuarnDataModel& db, CMainFrameMessages& messages,
                                   CMediaPlayer& player, QWidget* parent)
    : QWidget(parent), m_db(db), m_messages(messages), m_frame(this), m_player(player)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frame.SetSkinBorders(false);
    m_frame.Apply();

    m_surface = new CVideoSurface(this);
    m_surface->hide();

    // The engine would otherwise take the mouse and keys over its picture for itself (and, on
    // X11, select the button events of its window, so that no click on the picture reached us).
    if (m_player.IsValid()) {
        libvlc_video_set_mouse_input(m_player.Handle(), 0);
        libvlc_video_set_key_input(m_player.Handle(), 0);
    }
    m_player.SetVideoWindow(m_surface);
    m_player.AttachEvents();
    connect(&m_player, &CMediaPlayer::videoOutputChanged, this, &CKelvoViewPlayer::OnVideoOutput);
    // The engine keeps its video output past a stop without saying so; what it would show is the
    // last picture of a stream that no longer plays. The next stream reports its output again.
    connect(&m_player, &CMediaPlayer::stopped, this, [this] { OnVideoOutput(false); });
    connect(&m_player, &CMediaPlayer::defaultMsg, this, [this] { update(); });

    m_icon = new CKelvoIconWnd(this);

    m_caption = new QWidget(this);
    m_caption->hide();
    m_caption->resize(width(), kCaptionHeight);
    m_caption->installEventFilter(this);
    const CKelvoRes& res = KelvoRes();
    m_title = new CNxStatic(CStringTable::Get(CStringTable::IDS_VIEW_TITLE_TV), m_caption);
    m_title->SetTransparent(true);
    m_title->setFont(res.fontBold15);
    m_title->SetTextColour(res.colorText);
    m_title->SizeToText();
    m_guide = new CNxButton(m_caption, Kelvo::ID_SHOW_GUIDE);
    m_guide->setText(CStringTable::Get(CStringTable::IDS_PROGRAM_GUIDE));
    m_guide->setFont(res.fontNormal12);
    m_guide->SetImage(Kelvo::IDB_GUIDE, Kelvo::IDB_GUIDE_HOT);
    m_guide->SetCheckedImage(Kelvo::IDB_GUIDE_CHECKED);
    m_guide->SetTextColours(res.colorText, res.colorHot, res.colorPressed);
    m_guide->setFocusPolicy(Qt::TabFocus);
    m_guide->SizeToContent();
    m_guide->hide();
    connect(m_guide, &CNxButton::clicked, this, &CKelvoViewPlayer::ShowGuide);

    m_busyImages.SetFrameSize(QSize(kBusyFrameSize, kBusyFrameSize));
    m_busyImages.Load(Kelvo::IDB_BUSY);
    m_busyText = CStringTable::Get(CStringTable::IDS_LOADING);
    LayoutView();
    setObjectName(QStringLiteral("playerView"));
    m_guide->setObjectName(QStringLiteral("PlayerGuideButton"));
}

CKelvoViewPlayer::~CKelvoViewPlayer()
{
    // The engine must let go of the surface before the child windows are destroyed.
    m_player.Stop();
    m_player.SetVideoWindow(nullptr);
    if (m_watchedWindow) {
        m_watchedWindow->removeEventFilter(this);
    }
}

QRect CKelvoViewPlayer::BusyRectFor(QSize client)
{
    const int w = client.width();
    const int h = client.height();
    const int top = std::max(kBusyFrameSize + (h - kBusyFrameSize) / 2, h - 3 * kBusyFrameSize);
    return QRect((w - kBusyFrameSize) / 2, top, kBusyFrameSize, kBusyFrameSize);
}

QRect CKelvoViewPlayer::TextRectFor(QSize client, const QRect& busy, QSize text)
{
    if (text.width() <= 0) {
        return QRect();
    }
    const int left = (client.width() - text.width()) / 2;
    const int busyBottom = busy.top() + busy.height();
    const int top = std::min(busyBottom + text.height(), client.height() - 2 * text.height());
    return QRect(left, top, text.width() + 16, text.height() + 4);
}

QRect CKelvoViewPlayer::FillSource(QSize image, QSize client)
{
    if (image.isEmpty() || client.isEmpty()) {
        return QRect();
    }
    // Compare the aspect ratios without rounding: client.w / client.h against image.w / image.h.
    const qint64 cw = client.width();
    const qint64 ch = client.height();
    if (cw * image.height() >= static_cast<qint64>(image.width()) * ch) {
        const int h = static_cast<int>(image.width() * ch / cw);
        return QRect(0, (image.height() - h) / 2, image.width(), std::max(h, 1));
    }
    const int w = static_cast<int>(image.height() * cw / ch);
    return QRect((image.width() - w) / 2, 0, std::max(w, 1), image.height());
}

void CKelvoViewPlayer::LayoutView()
{
    PlaceCaptionItems();
    const QRect client = contentsRect();
    m_surface->setGeometry(client);
    const QRect busy = BusyRectFor(client.size());
    const QFontMetrics fm(KelvoRes().fontNormal12);
    const QSize text = m_busyText.isEmpty() ? QSize() : QSize(fm.horizontalAdvance(m_busyText), fm.height());
    const QRect textRect = TextRectFor(client.size(), busy, text);
    m_busyRect = busy.translated(client.topLeft());
    m_textRect = textRect.isNull() ? QRect() : textRect.translated(client.topLeft());
    CentreIcon();
}

void CKelvoViewPlayer::PlaceCaptionItems()
{
    if (!m_caption) {
        return;
    }
    const QRect bar = m_caption->rect();
    m_title->move(bar.left() + (bar.width() - m_title->width()) / 2,
                  bar.top() + (bar.height() - m_title->height()) / 2);
    m_guide->move(bar.right() + 1 - m_guide->width() - 4, 1);
}

void CKelvoViewPlayer::SetFullScreen(bool on)
{
    if (on) {
        m_frame.SetBorders(0, 0, 0);
    } else {
        m_frame.SetSkinBorders(false);
    }
    m_frame.Apply();
    LayoutView();
    update();
}

void CKelvoViewPlayer::ShowBusy(bool on)
{
    m_busy = on;
    m_busyFrame = 0;
    if (on) {
        m_busyTimer.start(kBusyTimerMs, this);
    } else {
        m_busyTimer.stop();
    }
    UpdateSurface();
    update();
}

void CKelvoViewPlayer::SetMediaType(int type)
{
    if (m_mediaType == type) {
        return;
    }
    m_mediaType = type;
    update();
}

void CKelvoViewPlayer::SetService(int serviceKey)
{
    m_service = serviceKey;
    UpdateGuideAvailable();
}

void CKelvoViewPlayer::UpdateGuideAvailable(bool evenWhileUpdating)
{
    if (IsUpdating() && !evenWhileUpdating) {
        return;
    }
    const CServiceElement* service = m_service >= 0 ? m_db.FindService(m_service) : nullptr;
    m_guideAvailable = service != nullptr && service->presentEvent.id >= 0;
    m_guide->setVisible(m_guideAvailable);
}

void CKelvoViewPlayer::ShowGuide()
{
    // Looked up again at the press: the service may have gone with a reload since it was shown.
    if (IsUpdating() || !m_guideAvailable || m_service < 0 || m_db.FindService(m_service) == nullptr) {
        return;
    }
    emit m_messages.showGuide(m_service);
}

void CKelvoViewPlayer::Follow(const CPlaybackState& now)
{
    connect(&now, &CPlaybackState::currentServiceChanged, this, &CKelvoViewPlayer::SetService);
    connect(&now, &CPlaybackState::requestingChanged, this, &CKelvoViewPlayer::ShowBusy);
}

void CKelvoViewPlayer::RefreshContent()
{
    UpdateGuideAvailable(true);
}

void CKelvoViewPlayer::TogglePause()
{
    CMediaPlayer& player = m_player;
    int icon = 0;
    if (player.IsPlaying()) {
        if (!player.CanPause()) {
            return;
        }
        player.Pause();
        icon = kPauseIcon;
    } else {
        if (!player.WillPlay()) {
            return;
        }
        player.Play();
        icon = kPlayIcon;
    }
    m_icon->ShowImage(QRect(mapToGlobal(QPoint(0, 0)), size()), icon);
}

void CKelvoViewPlayer::CentreIcon()
{
    if (m_icon != nullptr && m_icon->isVisible()) {
        m_icon->CentreOn(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
}

void CKelvoViewPlayer::OnVideoOutput(bool present)
{
    m_videoPresent = present;
    UpdateSurface();
    update();
}

void CKelvoViewPlayer::UpdateSurface()
{
    // The engine's window is shown only while it has a picture: otherwise the view's own pictures
    // and the busy animation are what is seen, and they could not be drawn over a native window.
    const bool shown = m_videoPresent && !m_busy;
    m_surface->SetVideoShown(shown);
    m_surface->setVisible(shown);
}

bool CKelvoViewPlayer::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ParentChange:
        // The icon must follow the top-level window, which moves without this view moving.
        if (window() != m_watchedWindow) {
            if (m_watchedWindow) {
                m_watchedWindow->removeEventFilter(this);
            }
            m_watchedWindow = window();
            if (m_watchedWindow != this) {
                m_watchedWindow->installEventFilter(this);
            }
        }
        break;
    case QEvent::Move:
        CentreIcon();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool CKelvoViewPlayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_caption && event->type() == QEvent::Resize) {
        PlaceCaptionItems();
    } else if (watched == m_watchedWindow &&
               (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        CentreIcon();
    }
    return QWidget::eventFilter(watched, event);
}

void CKelvoViewPlayer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutView();
}

void CKelvoViewPlayer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    m_frame.PaintBorders(p);
    p.setClipRect(contentsRect());
    DrawBackground(p);
    DrawOverlay(p);
}

void CKelvoViewPlayer::DrawBackground(QPainter& p) const
{
    const QRect client = contentsRect();
    const CKelvoRes& res = KelvoRes();
    p.fillRect(client, res.colorBlack);
    if (m_mediaType == kMediaRadio && m_player.IsPlaying()) {
        const CNxImages& radio = res.imgPlayerRadio;
        radio.Draw(p, client, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch,
                   FillSource(radio.FrameSize(), client.size()));
        return;
    }
    res.imgPlayerIdle.Draw(p, client, 0, CNxImages::HAlign::Centre, CNxImages::VAlign::Centre);
}

void CKelvoViewPlayer::DrawOverlay(QPainter& p) const
{
    if (!m_busy) {
        return;
    }
    m_busyImages.Draw(p, m_busyRect, m_busyFrame, CNxImages::HAlign::Stretch, CNxImages::VAlign::Stretch);
    if (m_textRect.isNull()) {
        return;
    }
    QFont font(CKelvoRes::ArialFamily());
    font.setPointSize(10);
    p.setFont(font);
    p.setPen(KelvoRes().colorBusyText);
    p.drawText(m_textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_busyText);
}

void CKelvoViewPlayer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_busyTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_busyFrame = (m_busyFrame + 1) % kBusyFrames;
    update(m_busyRect.united(m_textRect));
}

void CKelvoViewPlayer::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    TogglePause();
    emit videoDoubleClicked();
}
