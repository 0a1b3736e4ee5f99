#include "ui/CKelvoRes.h"

#include "res/CStringTable.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLocale>
#include <clocale>
#include <ctime>
#include <iterator>

CKelvoRes& CKelvoRes::Instance()
{
    static CKelvoRes res;
    return res;
}

QString CKelvoRes::ArialFamily()
{
    static const QString family = [] {
        for (const QString& candidate :
             {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}) {
            if (QFontDatabase::hasFamily(candidate)) {
                return candidate;
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QFont CKelvoRes::MakeFont(int pixelHeight, int weight)
{
    QFont font(ArialFamily());
    font.setPixelSize(pixelHeight);
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

// Index of the first AM/PM marker outside quoted text, or -1.
qsizetype AmPmPosition(const QString& pattern)
{
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted) {
            continue;
        }
        if (c == QLatin1Char('t') && i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('t')) {
            return i;
        }
        if (c == QLatin1Char('A') || c == QLatin1Char('a')) {
            return i;
        }
    }
    return -1;
}

} // namespace

QString CKelvoRes::TimeFormatForPattern(const QString& pattern)
{
    const qsizetype pos = AmPmPosition(pattern);
    if (pos == 0) {
        return QStringLiteral("%p %I:%M");
    }
    if (pos > 0) {
        return QStringLiteral("%I:%M %p");
    }
    return QStringLiteral("%H:%M");
}

QString CKelvoRes::FormatTime(const QString& format, qint64 secondsUtc)
{
    const std::time_t t = static_cast<std::time_t>(secondsUtc);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return QString();
    }
    const QByteArray fmt = format.toLocal8Bit();
    if (fmt.isEmpty()) {
        return QString();
    }
    char buffer[256];
    // The formats come from the string table and the locale rule, never from outside input.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const size_t n = std::strftime(buffer, sizeof buffer, fmt.constData(), &local);
#pragma GCC diagnostic pop
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(n));
}

const QColor& CKelvoRes::ColumnColor(int index) const
{
    const QColor* const colours[] = {&colorText,    &colorColumn1, &colorColumn2, &colorColumn3,
                                     &colorColumn4, &colorColumn5, &colorColumn6};
    if (index < 0 || index >= static_cast<int>(std::size(colours))) {
        return colorText;
    }
    return *colours[index];
}

void CKelvoRes::Load()
{
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    // Month and weekday names and the AM/PM marker follow the user's language.
    std::setlocale(LC_TIME, "");

    fontBold19 = MakeFont(19, 700);
    fontBold18 = MakeFont(18, 700);
    fontBold15 = MakeFont(15, 700);
    fontBold14 = MakeFont(14, 700);
    fontNormal14 = MakeFont(14, 400);
    fontBold12 = MakeFont(12, 700);
    fontNormal12 = MakeFont(12, 400);
    fontNormal10 = MakeFont(10, 400);

    timeFormat = CStringTable::Get(CStringTable::IDS_TIME_FORMAT);
    dateFormatShort = CStringTable::Get(CStringTable::IDS_DATE_FORMAT_SHORT);
    dateFormatLong = CStringTable::Get(CStringTable::IDS_DATE_FORMAT_LONG);
    localeTimeFormat = QLocale::system().timeFormat(QLocale::ShortFormat);
    timeFormat = TimeFormatForPattern(localeTimeFormat);

    colorBlack = QColor(0, 0, 0);
    colorListBack = QColor(27, 27, 27);
    colorListLine = QColor(54, 54, 54);
    colorText = QColor(243, 243, 243);
    colorColumn1 = QColor(218, 218, 218);
    colorColumn2 = QColor(65, 65, 65);
    colorColumn3 = QColor(151, 151, 151);
    colorColumn4 = QColor(218, 218, 218);
    colorColumn5 = QColor(218, 218, 218);
    colorColumn6 = QColor(65, 65, 65);

    struct Entry
    {
        CNxImages* image;
        int id;
        int slices;  // 3 for three-slice bars, else 0
        QSize frame; // preset frame size of icon strips
    };
    const Entry entries[] = {
        {&imgPlayerIdle, 408, 0, {}},
        {&imgPlayerRadio, 409, 0, {}},
        {&imgEditFrame, 391, 3, {}},
        {&imgFrameBottom, 375, 3, {}},
        {&imgFrameLeft, 376, 0, {}},
        {&imgFrameRight, 377, 0, {}},
        {&imgLogo, 319, 0, {}},
        {&imgMainCaptionBack, 318, 0, {}},
        {&imgBarDark38, 369, 3, {}},
        {&imgDialogCaption, 432, 3, {}},
        {&imgControlBarBack, 373, 3, {}},
        {&imgSatInfoBack, 374, 3, {}},
        {&imgSearchBox, 384, 3, {}},
        {&imgRowGrey43, 382, 0, {}},
        {&imgRowBlue43, 383, 0, {}},
        {&imgRowBlue30, 431, 0, {}},
        {&imgBandGrey26, 421, 0, {}},
        {&imgProgressBlue43, 427, 0, {}},
        {&imgIconsTimer, 378, 0, {27, 25}},
        {&imgIconsSchedule, 423, 0, {30, 30}},
        {&imgIconsClock, 424, 0, {30, 30}},
        {&imgRowBlue75, 414, 0, {}},
        {&imgIconsAdd, 413, 0, {35, 34}},
        {&imgIconScrambled, 389, 0, {}},
        {&imgIconLock, 390, 0, {}},
        {&imgChannelTag, 401, 0, {}},
        {&imgInfoBoxBack, 402, 3, {}},
    };
    for (const Entry& e : entries) {
        e.image->SetFrameSize(e.frame);
        e.image->Load(e.id);
        if (e.slices > 0) {
            e.image->SetFrameCount(e.slices);
        }
    }
}
