#pragma once

#include "model/CScheduleElement.h"
#include "model/Lists.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

class CQuarnDataModel;

// What the schedule lists draw, turned out of the channel database once per fill. Rows are
// values: the schedule is copied without its service link, so nothing here points into the
// database while a reload empties and refills it.
namespace ScheduleRows {

// strftime patterns of the skin (timeFormat, dateFormatShort); tests pass fixed ones.
struct Formats
{
    QString time;
    QString dateShort;
};

// Line 4 of a schedule row: "%s~%s(%d %s %d Mins)" with the hours and minutes left after whole
// days, as the box's own duration rule counts them.
QString DurationLine(qint64 start, qint64 end, const QString& timeFormat);
// "%s~%s / %d Min" of a series member.
QString MemberTimeLine(qint64 start, qint64 end, const QString& timeFormat);
// Frame of the state icon strip for an entry of the schedule list: a series shows the red mark
// while any member is active, the grey one when every member is skipped (or there are none).
int EntryIconFrame(const CScheduleElement& entry);
// The mode a press on a series member's state icon sends: skipped -> once, active -> skipped,
// anything else -> 0 (delete).
int SeriesStepMode(int iconIndex);
// A copy that is safe to keep across a reload: no service link, members copied the same way.
CScheduleElement Detached(const CScheduleElement& schedule);

} // namespace ScheduleRows

// One row of "My Schedule".
struct CScheduleRow
{
    bool isNew = false; // the "+" row
    CScheduleElement schedule;
    int iconFrame = 4;
    bool hasService = false;
    bool scrambled = false;
    bool blocked = false;
    QString number; // "%04d" of the service's lcn
    QString name;
    QString eventName;
    QString dateLine;
    QString durationLine;
};

// The rows of "My Schedule": the database's schedules in list order, then the "+" row, and the
// selection kept across refills.
class CScheduleListRows final
{
public:
    // Refills from the database. The kept selection is reset to 0 on request, then clamped to
    // the last schedule row, never the "+" row.
    void Fill(const OwnedList<CScheduleElement>& schedules, bool resetSelection,
              const ScheduleRows::Formats& formats);

    const std::vector<CScheduleRow>& Rows() const { return m_rows; }
    int ScheduleCount() const { return static_cast<int>(m_rows.size()) - 1; }
    // The row to select after a fill, or -1 when there is no schedule row.
    int SelectionAfterFill() const { return ScheduleCount() > 0 ? m_selection : -1; }
    int KeptSelection() const { return m_selection; }
    void KeepSelection(int row) { m_selection = row; }
    // A selected "+" row or single schedule opens the edit form; a series opens the series list.
    bool OpensEditForm(int selectedRow) const;

    // The kept selection after a refill with `scheduleRows` schedules.
    static int ClampSelection(int kept, int scheduleRows, bool reset);

private:
    std::vector<CScheduleRow> m_rows = std::vector<CScheduleRow>(1, NewRow());
    static CScheduleRow NewRow();
    int m_selection = 0;
};

// A new schedule for the "+" row: the service the box shows live, else the last streamed one
// when the database still has it, else the first service; Recording, Once, starting five minutes
// after the box's clock and lasting an hour. None when the database holds no service.
std::optional<CScheduleElement> MakeNewSchedule(const CQuarnDataModel& db, int lastStreamingKey,
                                                qint64 boxNow);

// One row of the series list.
struct CSeriesRow
{
    CScheduleElement member; // detached copy
    int icon = 4;
    bool skipped = false;
    QString timeLine;
    QString name;
};

// The members of one series entry.
class CSeriesRows final
{
public:
    void Fill(const CScheduleElement& seriesEntry, const QString& timeFormat);
    void Clear() { m_rows.clear(); }
    const std::vector<CSeriesRow>& Rows() const { return m_rows; }
    // The record a press on the row's state icon sends to the box; none for no such row.
    std::optional<CScheduleElement> StepRecord(int row) const;

private:
    std::vector<CSeriesRow> m_rows;
};

// The edit form's times, apart from its widgets.
namespace ScheduleEdit {

// What the start date, start time and duration controls show.
struct Times
{
    QDate date;
    QTime time; // hour, minute and second of the start
    qint64 durationMinutes = 0;
};

// The controls' values for a schedule, or none when the schedule cannot be shown: it ends
// before it starts, or lasts longer than the duration control reaches.
std::optional<Times> ForControls(qint64 start, qint64 end, qint64 maxMinutes);

// Start and end from the controls. What the user left as loaded keeps the loaded value to the
// second, so a timer saved unchanged goes back exactly as it came (also in the hour that a
// daylight-saving change repeats).
std::pair<qint64, qint64> FromControls(const Times& shown, const Times& loaded, qint64 loadedStart,
                                       qint64 loadedEnd);

} // namespace ScheduleEdit
