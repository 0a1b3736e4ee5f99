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

    // Colours are fixed values, valid before Load(): controls built before the skin is loaded
    // (tests, the gallery) draw the same pixels as the application.
    QColor colorBlack{0, 0, 0};
    QColor colorListBack{27, 27, 27};
    QColor colorListLine{54, 54, 54};
    QColor colorText{243, 243, 243};
    QColor colorColumn1{218, 218, 218};
    QColor colorColumn2{65, 65, 65};
    QColor colorColumn3{151, 151, 151};
    QColor colorColumn4{218, 218, 218};
    QColor colorColumn5{218, 218, 218};
    QColor colorColumn6{65, 65, 65};

    // The owner-drawn controls' own colours.
    QColor colorWhite{255, 255, 255};
    QColor colorEmptyText{64, 64, 64};     // a list's text when it has no rows
    QColor colorSelectionBack{0, 90, 130}; // the selected row of a plain list
    QColor colorListDisabledText{100, 100, 100};
    QColor colorDisabledText{110, 110, 110}; // button texts of disabled buttons
    QColor colorHighlight{0, 110, 156};      // selected drop-down row, selected edit text
    QColor colorHot{0, 186, 255};            // text under the mouse
    QColor colorPressed{0, 120, 164};        // text of a pressed button
    QColor colorControlBorder{74, 80, 89};   // drop-down list frame and its button divider
    QColor colorButtonBorder{78, 84, 93};
    QColor colorChevron{200, 202, 206};
    QColor colorChevronDisabled{90, 90, 90};
    QColor colorPlaceholder{110, 114, 120};
    QColor colorGlow{60, 64, 70};              // glow windows in their visible mode
    QColor colorFocusDots{255, 255, 255, 90};  // focus mark of a drop-down row
    QColor colorFocusButton{0, 186, 255, 160}; // focus mark of an image-and-text button
    QColor colorFocusCombo{0, 186, 255, 140};  // focus ring of a drop-down list

    QColor colorImageButtonDisabled{145, 145, 145}; // text of a disabled image-and-text button
    QColor colorSelectedText{0, 174, 255};          // the chosen box's row in the box list, "Connected"
    QColor colorSatInfoText{137, 137, 137};         // the player's SAT information lines
    QColor colorBusyText{255, 255, 255, 178};       // the player's loading text over the picture

    // The two lines around a framed dialog, outside in.
    QColor colorDialogFrameOuter{105, 105, 105};
    QColor colorDialogFrameInner{159, 159, 159};

    // TV and Radio buttons of the channel page, under the mouse and pressed under it.
    QColor colorMediaHot{83, 136, 161};
    QColor colorMediaPressedHot{115, 168, 193};

    // The schedule form: its action buttons' text, their pressed text and the border of the
    // field under the mouse, and the derived end time.
    QColor colorFormText{232, 232, 232};
    QColor colorFormAccent{44, 112, 175};
    QColor colorFormDim{130, 130, 130};

    // The mode and Remote buttons of the main caption bar.
    QColor colorModeText{135, 135, 135};
    QColor colorModeHot{198, 146, 146};
    QColor colorModeDisabled{70, 70, 70};
    QColor colorRemotePressed{108, 146, 146};

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
