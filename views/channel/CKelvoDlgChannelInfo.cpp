#include "views/channel/CKelvoDlgChannelInfo.h"

#include "model/CQuarnDataModel.h"
#include "player/CMediaPlayer.h"
#include "ui/CDialogUnits.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"
#include "ui/CPngButton.h"
#include "views/common/CKelvoEPGCaption.h"

#include <QPlainTextEdit>
#include <cmath>
#include <numeric>

namespace {
// Template 433 in dialog units.
constexpr QSize kDialogDlu(410, 188);
const QRect kCaptionDlu(9, 28, 390, 12);
const QRect kEventNameDlu(12, 47, 384, 12);
const QRect kEventTimeDlu(12, 59, 384, 12);
const QRect kEventTextDlu(12, 76, 384, 48);
const QRect kSeparatorDlu(6, 129, 396, 1);
const QRect kTechDlu(12, 135, 384, 42);

CNxStatic* Label(QWidget* parent, const QFont& font)
{
    auto* s = new CNxStatic(QString(), parent);
    s->SetTransparent(true);
    s->SetTextColour(KelvoRes().colorWhite);
    s->setFont(font);
    return s;
}

QPlainTextEdit* ReadOnlyText(QWidget* parent, const QFont& font)
{
    auto* e = new QPlainTextEdit(parent);
    e->setReadOnly(true);
    e->setFrameShape(QFrame::NoFrame);
    // Plain multi-line fields without scroll bars of their own, as the template's edits are: the
    // wheel and the keys still scroll a long description.
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->document()->setDocumentMargin(1);
    e->setFont(font);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, KelvoRes().colorListBack);
    pal.setColor(QPalette::Text, KelvoRes().colorWhite);
    e->setPalette(pal);
    return e;
}

// Identifiers are at least four hex digits; an unknown (negative) one is 0.
unsigned Hex(int value)
{
    return value < 0 ? 0u : static_cast<unsigned>(value);
}

// The field is a whole number; a broken rate from the stream shows as 0, not as a wrapped value.
int FramesPerSecond(double rate)
{
    return rate > 0 && rate < 1000 ? static_cast<int>(std::lround(rate)) : 0;
}
} // namespace

CKelvoDlgChannelInfo::CKelvoDlgChannelInfo(const CQuarnDataModel& db, int serviceKey, CMediaPlayer& player,
                                           QWidget* parent)
    : CKelvoDlgFrame(QStringLiteral("Information"), parent)
{
    setObjectName(QStringLiteral("ChannelInfo"));
    SetDragByCaption(true);
    const CDialogUnits units;
    SetClientSize(units.ToPixels(kDialogDlu));
    SetSeparator(units.ToPixels(kSeparatorDlu));
    const CKelvoRes& res = KelvoRes();

    m_caption = new CKelvoEPGCaption(this);
    m_caption->setFont(res.fontBold19);
    PlaceInClient(m_caption, units.ToPixels(kCaptionDlu));
    m_eventName = Label(this, res.fontBold15);
    PlaceInClient(m_eventName, units.ToPixels(kEventNameDlu));
    m_eventTime = Label(this, res.fontBold15);
    PlaceInClient(m_eventTime, units.ToPixels(kEventTimeDlu));
    m_eventText = ReadOnlyText(this, res.fontNormal14);
    PlaceInClient(m_eventText, units.ToPixels(kEventTextDlu));
    m_tech = ReadOnlyText(this, res.fontNormal12);
    PlaceInClient(m_tech, units.ToPixels(kTechDlu));

    const CServiceElement* service = db.FindService(serviceKey);
    m_caption->SetService(service);
    if (service && service->presentEvent.id >= 0) {
        const CEventElement& e = service->presentEvent;
        m_eventName->SetText(e.name);
        m_eventTime->SetText(CKelvoRes::FormatTime(res.dateFormatLong, e.start) + QStringLiteral(" / ") +
                             CKelvoRes::FormatTime(res.timeFormat, e.start) + QStringLiteral(" ~ ") +
                             CKelvoRes::FormatTime(res.timeFormat, e.end));
        m_eventText->setPlainText(e.text);
    }
    m_tech->setPlainText(TechText(Collect(db, serviceKey, &player)));
    CloseButton()->setFocus();
}

CKelvoDlgChannelInfo::TechData CKelvoDlgChannelInfo::Collect(const CQuarnDataModel& db, int serviceKey,
                                                             CMediaPlayer* player)
{
    TechData d;
    if (const CServiceElement* service = db.FindService(serviceKey)) {
        d.sid = service->sid;
        if (const CTransponderElement* tp = db.FindTransponder(service->tpIdx)) {
            d.tsid = tp->tsid;
            d.onid = tp->orgnetid;
            d.tpIdx = tp->idx;
        }
        if (const CSatelliteElement* sat = db.FindGroup(service->satIdx)) {
            d.satelliteName = sat->name;
        }
    }
    // The engine keeps the track information of a stopped media; only what plays now counts.
    if (player && player->IsPlaying()) {
        int rate = 0;
        int channels = 0;
        if (!player->GetVideoTrack(d.videoCodec, d.width, d.height, &d.frameRate)) {
            d.videoCodec.clear();
            d.width = d.height = 0;
            d.frameRate = 0;
        }
        if (!player->GetAudioTrack(d.audioCodec, rate, channels))
            d.audioCodec.clear();
    }
    return d;
}

QString CKelvoDlgChannelInfo::AspectText(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return {};
    }
    const int g = std::gcd(width, height);
    return QStringLiteral("%1:%2").arg(width / g).arg(height / g);
}

QString CKelvoDlgChannelInfo::TechText(const TechData& d)
{
    const QByteArray aspect = AspectText(d.width, d.height).toUtf8();
    const QByteArray video = d.videoCodec.toUtf8();
    const QByteArray audio = d.audioCodec.toUtf8();
    const QByteArray sat = d.satelliteName.toUtf8();
    return QString::asprintf("Resolution (%dx%d), Frame rate (%d), Aspect (%s)\n"
                             "Video (%s - Video), Audio (%s - Audio)\n"
                             "SID : 0x%04X / TSID : 0x%04X / ONID : 0x%04X [0x%04X]\n%s",
                             d.width, d.height, FramesPerSecond(d.frameRate), aspect.constData(),
                             video.constData(), audio.constData(), Hex(d.sid), Hex(d.tsid), Hex(d.onid),
                             Hex(d.tpIdx), sat.constData());
}

QString CKelvoDlgChannelInfo::EventName() const
{
    return m_eventName->Text();
}

QString CKelvoDlgChannelInfo::EventTime() const
{
    return m_eventTime->Text();
}

QString CKelvoDlgChannelInfo::EventText() const
{
    return m_eventText->toPlainText();
}

QString CKelvoDlgChannelInfo::TechnicalText() const
{
    return m_tech->toPlainText();
}
