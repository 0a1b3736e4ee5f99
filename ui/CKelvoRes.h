#pragma once

#include "ui/CNxImages.h"

#include <QColor>
#include <QFont>
#include <QString>

// The one shared skin: fonts, colours, text formats and images every window draws with. It is
// filled once by Load() at start-up and read-only afterwards (KelvoRes()).
class CKelvoRes final
{
public:
    static CKelvoRes& Instance();

    // Loads fonts, formats, colours and images; later calls do nothing. Needs a QGuiApplication.
    void Load();
    bool IsLoaded() const { return m_loaded; }

    // The time-of-day format for a locale's short time pattern: an AM/PM marker at the start
    // gives "%p %I:%M", one later "%I:%M %p", none "%H:%M". Both the Windows marker "tt" and
    // Qt's "AP"/"ap"/"A"/"a" are understood; quoted literal text is ignored.
    static QString TimeFormatForPattern(const QString& pattern);
    // Formats a time (seconds since 1970 UTC, shown in local time) with strftime conversions in
    // the C library's LC_TIME locale, which Load() sets to the user's.
    static QString FormatTime(const QString& format, qint64 secondsUtc);
    // A face metric-compatible with Arial: Arial itself, else Liberation Sans, else Arimo.
    static QString ArialFamily();
    // A font of the given character height in pixels and weight (400 normal, 700 bold).
    static QFont MakeFont(int pixelHeight, int weight);

    // Column text colours are consecutive from colorText (index 0) to colorColumn6 (6).
    const QColor& ColumnColor(int index) const;

    QString timeFormat;
    QString dateFormatShort;
    QString dateFormatLong;
    QString localeTimeFormat;

    QFont fontBold19;
    QFont fontBold18;
    QFont fontBold15;
    QFont fontBold14;
    QFont fontNormal14;
    QFont fontBold12;
    QFont fontNormal12;
    QFont fontNormal10;

    QColor colorBlack;
    QColor colorListBack;
    QColor colorListLine;
    QColor colorText;
    QColor colorColumn1;
    QColor colorColumn2;
    QColor colorColumn3;
    QColor colorColumn4;
    QColor colorColumn5;
    QColor colorColumn6;

    CNxImages imgPlayerIdle;
    CNxImages imgPlayerRadio;
    CNxImages imgEditFrame;
    CNxImages imgFrameBottom;
    CNxImages imgFrameLeft;
    CNxImages imgFrameRight;
    CNxImages imgLogo;
    CNxImages imgMainCaptionBack;
    CNxImages imgBarDark38;
    CNxImages imgDialogCaption;
    CNxImages imgControlBarBack;
    CNxImages imgSatInfoBack;
    CNxImages imgSearchBox;
    CNxImages imgRowGrey43;
    CNxImages imgRowBlue43;
    CNxImages imgRowBlue30;
    CNxImages imgBandGrey26;
    CNxImages imgProgressBlue43;
    CNxImages imgIconsTimer;
    CNxImages imgIconsSchedule;
    CNxImages imgIconsClock;
    CNxImages imgRowBlue75;
    CNxImages imgIconsAdd;
    CNxImages imgIconScrambled;
    CNxImages imgIconLock;
    CNxImages imgChannelTag;
    CNxImages imgInfoBoxBack;

private:
    CKelvoRes() = default;
    Q_DISABLE_COPY_MOVE(CKelvoRes)

    bool m_loaded = false;
};

// Read access to the loaded skin.
inline const CKelvoRes& KelvoRes()
{
    return CKelvoRes::Instance();
}
