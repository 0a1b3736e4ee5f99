#include "ui/CKelvoRes.h"

#include "res/CStringTable.h"
#include "ui/KelvoImageTable.h"

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

    struct Entry
    {
        CNxImages* image;
        int id;
        int slices;  // 3 for three-slice bars, else 0
        QSize frame; // preset frame size of icon strips
    };
    const Entry entries[] = {
        {&imgPlayerIdle, Kelvo::IDB_PLAYER_IDLE, 0, {}},
        {&imgPlayerRadio, Kelvo::IDB_PLAYER_RADIO, 0, {}},
        {&imgEditFrame, Kelvo::IDB_EDIT_FRAME, 3, {}},
        {&imgFrameBottom, Kelvo::IDB_FRAME_BOTTOM, 3, {}},
        {&imgFrameLeft, Kelvo::IDB_FRAME_LEFT, 0, {}},
        {&imgFrameRight, Kelvo::IDB_FRAME_RIGHT, 0, {}},
        {&imgLogo, Kelvo::IDB_LOGO, 0, {}},
        {&imgMainCaptionBack, Kelvo::IDB_MAIN_CAPTION_BACK, 0, {}},
        {&imgBarDark38, Kelvo::IDB_BAR_DARK_38, 3, {}},
        {&imgDialogCaption, Kelvo::IDB_DIALOG_CAPTION, 3, {}},
        {&imgControlBarBack, Kelvo::IDB_CONTROL_BAR_BACK, 3, {}},
        {&imgSatInfoBack, Kelvo::IDB_SAT_INFO_BACK, 3, {}},
        {&imgSearchBox, Kelvo::IDB_SEARCH_BOX, 3, {}},
        {&imgRowGrey43, Kelvo::IDB_ROW_GREY_43, 0, {}},
        {&imgRowBlue43, Kelvo::IDB_ROW_BLUE_43, 0, {}},
        {&imgRowBlue30, Kelvo::IDB_ROW_BLUE_30, 0, {}},
        {&imgBandGrey26, Kelvo::IDB_BAND_GREY_26, 0, {}},
        {&imgProgressBlue43, Kelvo::IDB_PROGRESS_BLUE_43, 0, {}},
        {&imgIconsTimer, Kelvo::IDB_ICONS_TIMER, 0, {27, 25}},
        {&imgIconsSchedule, Kelvo::IDB_ICONS_SCHEDULE, 0, {30, 30}},
        {&imgIconsClock, Kelvo::IDB_ICONS_CLOCK, 0, {30, 30}},
        {&imgRowBlue75, Kelvo::IDB_ROW_BLUE_75, 0, {}},
        {&imgIconsAdd, Kelvo::IDB_ICONS_ADD, 0, {35, 34}},
        {&imgIconScrambled, Kelvo::IDB_ICON_SCRAMBLED, 0, {}},
        {&imgIconLock, Kelvo::IDB_ICON_LOCK, 0, {}},
        {&imgChannelTag, Kelvo::IDB_CHANNEL_TAG, 0, {}},
        {&imgInfoBoxBack, Kelvo::IDB_INFO_BOX_BACK, 3, {}},
    };
    for (const Entry& e : entries) {
        e.image->SetFrameSize(e.frame);
        e.image->Load(e.id);
        if (e.slices > 0) {
            e.image->SetFrameCount(e.slices);
        }
    }
}
