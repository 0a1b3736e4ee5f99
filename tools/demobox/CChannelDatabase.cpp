#include "CChannelDatabase.h"

#include "CSingleByteCodec.h"

#include <QDateTime>
#include <array>

namespace {

constexpr int kServicesPerTransponder = 12;
constexpr int kFirstEventId = 10000;

const std::array<const char*, 15> kTvNames = {"Kelvo One", "Nova",    "Orbit",   "Delta",   "Aurora",
                                              "Meridian",  "Polaris", "Summit",  "Cascade", "Horizon",
                                              "Vista",     "Zenith",  "Harbour", "Prism",   "Atlas"};
const std::array<const char*, 7> kTvSuffixes = {"", " News", " Sport", " Movies", " Kids", " Music", " Docs"};
const std::array<const char16_t*, 6> kCyrillicNames = {u"Первый Демо", u"Россия Тест", u"Звезда",
                                                       u"Культура",    u"Мир",         u"Пятница"};
const std::array<const char16_t*, 6> kTurkishNames = {u"Şimşek TV", u"Gündüz", u"Türk Haber",
                                                      u"Işık",      u"Çınar",  u"Doğa"};
const std::array<const char*, 16> kTitles = {
    "Morning Journal", "World Report", "Harbour Patrol", "Cosmos Diaries", "Kitchen Duel", "Night Owls",
    "Match Day",       "Wild Rivers",  "Quiz Hour",      "Classic Cinema", "Weather",      "Late Talk",
    "Cartoon Club",    "Market Watch", "Old Roads",      "Sound Check"};
const std::array<const char16_t*, 6> kCyrillicTitles = {u"Новости",       u"Погода",        u"Кино вечером",
                                                        u"Утренний эфир", u"Спорт сегодня", u"Мир животных"};
const std::array<const char16_t*, 6> kTurkishTitles = {
    u"Akşam Haberleri", u"Günün Filmi", u"Spor Saati", u"Çocuk Kuşağı", u"Hava Durumu", u"İstanbul Geceleri"};
constexpr std::array<int, 8> kLengthsMinutes = {15, 30, 30, 45, 60, 60, 90, 120};

enum class Script
{
    Latin,
    Cyrillic,
    Turkish
};

Script scriptOf(int ordinal)
{
    if (ordinal % 10 == 3)
        return Script::Cyrillic;
    if (ordinal % 10 == 7)
        return Script::Turkish;
    return Script::Latin;
}

int keyOf(int type, int idx)
{
    return type << 24 | (idx & 0xFFFFFF);
}

// Whether [start, end) holds hour:00 local time of the day it starts or ends on.
bool coversLocalHour(qint64 start, qint64 end, int hour)
{
    for (qint64 t : {start, end - 1}) {
        const qint64 at =
            QDateTime(QDateTime::fromSecsSinceEpoch(t).date(), QTime(hour, 0)).toSecsSinceEpoch();
        if (start <= at && at < end)
            return true;
    }
    return false;
}

qint64 localMidnight(qint64 when)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(when);
    return QDateTime(t.date(), QTime(0, 0)).toSecsSinceEpoch();
}

} // namespace

CChannelDatabase::CChannelDatabase(int serviceCount, quint64 seed, qint64 boxNow)
    : m_seed(seed), m_guideStart(localMidnight(boxNow))
{
    m_satellites = {{0, 192, QStringLiteral("Kestrel 19.2E")},
                    {1, 130, QStringLiteral("Halcyon 13.0E")},
                    {2, 420, QStringLiteral("Boreas 42.0E")}};
    const int satCount = int(m_satellites.size());

    m_favGroups.push_back({0, 16, false, CSingleByteCodec::plain(QStringLiteral("Favourites"))});
    m_favGroups.push_back({1, 17, false, CSingleByteCodec::plain(QStringLiteral("News & Info"))});
    m_favGroups.push_back(
        {2, 18, false, CSingleByteCodec::encoded(QString::fromUtf16(u"Радио"), "ISO-8859-5")});
    m_favGroups.push_back({3, 19, true, CSingleByteCodec::plain(QStringLiteral("Late Night"))});

    const int count = std::max(serviceCount, 1);
    m_services.reserve(std::size_t(count));
    int tvCount = 0;
    int radioCount = 0;
    int currentSat = -1;
    int inTransponder = 0;
    for (int i = 0; i < count; ++i) {
        const int sat = int(qint64(i) * satCount / count);
        if (sat != currentSat || inTransponder == kServicesPerTransponder) {
            DemoTransponder tp;
            tp.idx = int(m_transponders.size());
            tp.satIdx = sat;
            tp.freq = 10700 + int((tp.idx * 37) % 1950);
            tp.polar = tp.idx % 2;
            tp.sr = tp.idx % 3 == 0 ? 22000 : 27500;
            tp.tsid = 1000 + tp.idx;
            tp.orgnetid = 1 + sat;
            tp.netname = m_satellites[std::size_t(sat)].name.section(QLatin1Char(' '), 0, 0) + " Net";
            m_transponders.push_back(tp);
            currentSat = sat;
            inTransponder = 0;
        }
        ++inTransponder;

        DemoService s;
        s.ordinal = i;
        s.type = (i % 7 == 6) ? 1 : 0;
        s.idx = s.type == 0 ? tvCount++ : radioCount++;
        s.satIdx = sat;
        s.tpIdx = m_transponders.back().idx;
        s.sid = 100 + i;
        s.vpid = s.type == 0 ? 256 + i % 1000 : 0;
        s.apid = 257 + i % 1000;
        s.ppid = 8190 - i % 1000;
        s.scrambled = i % 9 == 4;
        s.blocked = i % 40 == 13;
        s.hd = s.type == 0 && i % 4 == 1;
        s.num = i + 1;
        s.lcn = i + 1;
        if (i % 5 == 0)
            s.fav |= 1u << 0;
        if (i % 11 == 1)
            s.fav |= 1u << 1;
        if (s.type == 1 && s.idx % 2 == 0)
            s.fav |= 1u << 2;
        if (i % 40 == 13 || i % 40 == 27)
            s.fav |= 1u << 3;

        const int k = s.idx;
        switch (scriptOf(i)) {
        case Script::Cyrillic: {
            QString name = QString::fromUtf16(kCyrillicNames[std::size_t(k % 6)]);
            if (k >= 6)
                name += QLatin1Char(' ') + QString::number(k / 6 + 1);
            s.name = CSingleByteCodec::encoded(s.type == 1 ? QString::fromUtf16(u"Радио ") + name : name,
                                               "ISO-8859-5");
            break;
        }
        case Script::Turkish: {
            QString name = QString::fromUtf16(kTurkishNames[std::size_t(k % 6)]);
            if (k >= 6)
                name += QLatin1Char(' ') + QString::number(k / 6 + 1);
            s.name =
                CSingleByteCodec::encoded(s.type == 1 ? QStringLiteral("Radyo ") + name : name, "ISO-8859-9");
            break;
        }
        case Script::Latin: {
            QString name;
            if (s.type == 1) {
                name = QStringLiteral("Radio ") + QLatin1String(kTvNames[std::size_t(k % 15)]);
                if (k >= 15)
                    name += QLatin1Char(' ') + QString::number(k / 15 + 1);
            } else {
                name = QLatin1String(kTvNames[std::size_t(k % 15)]) +
                       QLatin1String(kTvSuffixes[std::size_t((k / 15) % 7)]);
                if (k >= 105)
                    name += QLatin1Char(' ') + QString::number(k / 105 + 1);
                if (s.hd)
                    name += QStringLiteral(" HD");
            }
            s.name = CSingleByteCodec::plain(name);
            break;
        }
        }
        m_serviceByKey.insert(keyOf(s.type, s.idx), i);
        m_services.push_back(std::move(s));
    }

    // The last transponder of the last satellite cannot be streamed, so that the box's
    // "not available" answer can be seen (only when that satellite has more than one).
    if (m_transponders.size() > 1 &&
        m_transponders.back().satIdx == m_transponders[m_transponders.size() - 2].satIdx)
        m_transponders.back().streamingPossibility = false;
}

const DemoService* CChannelDatabase::findService(int type, int idx) const
{
    const auto it = m_serviceByKey.constFind(keyOf(type, idx));
    if (it == m_serviceByKey.cend() || type < 0 || type > 1 || idx < 0)
        return nullptr;
    return &m_services[std::size_t(it.value())];
}

const DemoTransponder* CChannelDatabase::findTransponder(int idx) const
{
    if (idx < 0 || idx >= int(m_transponders.size()))
        return nullptr;
    return &m_transponders[std::size_t(idx)];
}

bool CChannelDatabase::needsPin(const DemoService& service) const
{
    if (service.blocked)
        return true;
    for (const auto& group : m_favGroups) {
        if (group.blocked && (service.fav & (1u << (group.idx % 32))) != 0)
            return true;
    }
    return false;
}

quint64 CChannelDatabase::mix(quint64 a, quint64 b) const
{
    // splitmix64 over the seed and two values: cheap, stable across platforms.
    quint64 z = m_seed * 0x9E3779B97F4A7C15ull + a * 0xBF58476D1CE4E5B9ull + b * 0x94D049BB133111EBull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

qint64 CChannelDatabase::eventLength(const DemoService& service, int n) const
{
    return qint64(kLengthsMinutes[mix(quint64(service.ordinal), quint64(n)) % kLengthsMinutes.size()]) * 60;
}

DemoEvent CChannelDatabase::makeEvent(const DemoService& service, int n, qint64 start) const
{
    DemoEvent e;
    e.id = kFirstEventId + n;
    e.start = start;
    e.end = start + eventLength(service, n);
    const quint64 h = mix(quint64(service.ordinal) + 7777, quint64(n));
    // Two series run daily, so that the generated series timers have guide events of that name.
    if (service.ordinal == kSeriesOneService && coversLocalHour(e.start, e.end, kSeriesOneHour)) {
        e.name = CSingleByteCodec::plain(QStringLiteral("Harbour Patrol"));
        e.text = CSingleByteCodec::plain(QStringLiteral("The harbour at night, part %1.").arg(n + 1));
        return e;
    }
    if (service.ordinal == kSeriesTwoService && coversLocalHour(e.start, e.end, kSeriesTwoHour)) {
        e.name = CSingleByteCodec::encoded(QString::fromUtf16(u"Космос"), "ISO-8859-5");
        return e;
    }
    // Every so often the box has no name for an event and sends its placeholder.
    if (h % 23 == 0) {
        e.name = CSingleByteCodec::plain(QStringLiteral("(None)"));
        return e;
    }
    switch (scriptOf(service.ordinal)) {
    case Script::Cyrillic:
        e.name = CSingleByteCodec::encoded(QString::fromUtf16(kCyrillicTitles[h % 6]), "ISO-8859-5");
        e.text = CSingleByteCodec::encoded(
            QString::fromUtf16(u"Демонстрационная передача ") + QString::number(n + 1), "ISO-8859-5");
        break;
    case Script::Turkish:
        e.name = CSingleByteCodec::encoded(QString::fromUtf16(kTurkishTitles[h % 6]), "ISO-8859-9");
        e.text = CSingleByteCodec::encoded(QStringLiteral("Tan") + QString::fromUtf16(u"ıtım yayını ") +
                                               QString::number(n + 1),
                                           "ISO-8859-9");
        break;
    case Script::Latin:
        e.name = CSingleByteCodec::plain(QLatin1String(kTitles[h % kTitles.size()]));
        if (h % 5 != 0)
            e.text = CSingleByteCodec::plain(
                QStringLiteral("Episode %1 of the demo programme on %2.").arg(n + 1).arg(service.name.plain));
        break;
    }
    return e;
}

std::vector<DemoEvent> CChannelDatabase::guide(const DemoService& service) const
{
    std::vector<DemoEvent> events;
    events.reserve(200);
    qint64 start = m_guideStart;
    for (int n = 0; start < guideEnd(); ++n) {
        events.push_back(makeEvent(service, n, start));
        start = events.back().end;
    }
    return events;
}

DemoEvent CChannelDatabase::eventAt(const DemoService& service, qint64 when) const
{
    if (when < m_guideStart || when >= guideEnd())
        return {};
    qint64 start = m_guideStart;
    for (int n = 0;; ++n) {
        const qint64 end = start + eventLength(service, n);
        if (when < end)
            return makeEvent(service, n, start);
        start = end;
    }
}

std::optional<DemoEvent> CChannelDatabase::findEvent(const DemoService& service, int eventId) const
{
    const int n = eventId - kFirstEventId;
    if (n < 0)
        return std::nullopt;
    qint64 start = m_guideStart;
    for (int i = 0; i < n; ++i) {
        start += eventLength(service, i);
        if (start >= guideEnd())
            return std::nullopt;
    }
    return makeEvent(service, n, start);
}
