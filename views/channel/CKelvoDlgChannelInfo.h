#pragma once

#include "views/common/CKelvoDlgFrame.h"

#include <QString>

class CKelvoEPGCaption;
class CMediaPlayer;
class CNxStatic;
class CQuarnDataModel;
class QPlainTextEdit;

// The channel information dialog: the service, its event on air with its description, and the
// technical data of the stream that plays now. It reads the database and the media player once,
// when it is built, and only displays; the caller runs it modally and destroys it:
//     CKelvoDlgChannelInfo dlg(db, serviceKey, player, this);   // key -1: no service
//     dlg.exec();
class CKelvoDlgChannelInfo final : public CKelvoDlgFrame
{
    Q_OBJECT
public:
    static constexpr int kTemplateId = 433;

    // What the technical data field shows.
    struct TechData
    {
        int width = 0;
        int height = 0;
        double frameRate = 0; // frames per second of the video track
        QString videoCodec;
        QString audioCodec;
        int sid = 0;
        int tsid = 0;
        int onid = 0;
        int tpIdx = 0;
        QString satelliteName;
    };

    CKelvoDlgChannelInfo(const CQuarnDataModel& db, int serviceKey, CMediaPlayer& player, QWidget* parent = nullptr);

    // The identifiers from the database (0 or empty when not found) and the first video and audio
    // track of what the player plays now (0 and empty when nothing plays or there is no such track).
    static TechData Collect(const CQuarnDataModel& db, int serviceKey, CMediaPlayer* player);
    // Width and height divided by their greatest common divisor, "16:9"; empty without a size.
    static QString AspectText(int width, int height);
    // The three lines of the technical data field; the frame rate rounded to whole frames per
    // second (29.97 shows as 30), 0 without a video track.
    static QString TechText(const TechData& data);

    QString EventName() const;
    QString EventTime() const;
    QString EventText() const;
    QString TechnicalText() const;
    CKelvoEPGCaption* Caption() const { return m_caption; }

private:
    CKelvoEPGCaption* m_caption = nullptr;
    CNxStatic* m_eventName = nullptr;
    CNxStatic* m_eventTime = nullptr;
    QPlainTextEdit* m_eventText = nullptr;
    QPlainTextEdit* m_tech = nullptr;
};
