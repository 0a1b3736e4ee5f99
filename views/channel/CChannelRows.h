#pragma once

#include "model/CServiceElement.h"
#include "model/Lists.h"

#include <QString>
#include <vector>

class CQuarnDataModel;

// The channel page's rules without its widgets: which group entries the group box offers, which
// services the list shows and in which order. The result is values only (positions in the
// group list, service keys), so nothing here points into the database after a refill.
class CChannelRows final
{
public:
    enum SortMode
    {
        Alphabetic = 0,
        Numeric = 1,
        Group = 2
    };
    enum ListOrder
    {
        ByName = 0,
        ByNumber = 1
    };

    explicit CChannelRows(const CQuarnDataModel& db) : m_db(db) {}
    Q_DISABLE_COPY_MOVE(CChannelRows)

    // A negative result puts `a` first: streamable services first when asked, then by number or
    // by name (UTF-16 code units, case-sensitive: capitals before small letters).
    static int Compare(const CServiceElement& a, const CServiceElement& b, int order, bool streamableFirst);
    // Whether the name holds the search text, letter case ignored; an empty search matches all.
    static bool NameMatches(const QString& name, const QString& search);

    // Texts of a row: "%04d" number, local start "%02d:%02d", length in whole minutes without
    // whole days ("100 Min" for 23:30 to 01:10).
    static QString NumberText(int lcn);
    static QString StartText(qint64 startUtc);
    static int LengthMinutes(qint64 start, qint64 end);

    // Page state (what the TV/Radio buttons, the two combo boxes and the search box set).
    int MediaType() const { return m_mediaType; }
    void SetMediaType(int type) { m_mediaType = type; }
    int SortMode() const { return m_sortMode; }
    void SetSortMode(int mode) { m_sortMode = mode; }
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index) { m_groupIndex = index; }
    const QString& SearchText() const { return m_search; }
    void SetSearchText(const QString& text) { m_search = text; }
    bool StreamableFirst() const { return m_streamableFirst; }
    void ToggleStreamableFirst() { m_streamableFirst = !m_streamableFirst; }

    // Recomputes the group entries that hold at least one service of the media type. The group
    // index becomes 0 when `resetIndex`, or when it no longer points at an entry.
    void FillGroups(bool resetIndex);
    // Positions in the database's group list, in its order.
    const std::vector<int>& GroupEntries() const { return m_groups; }
    QString GroupName(int entry) const;

    // Rebuilds the rows. False when the group mode has no valid group: the rows stay as they were.
    bool FillList();
    const std::vector<int>& Keys() const { return m_keys; }
    int Count() const { return static_cast<int>(m_keys.size()); }
    int KeyAt(int row) const;
    // The order the rows were last put in; the group mode keeps the last non-group order.
    int ListOrder() const { return m_listOrder; }
    bool ListStreamableFirst() const { return m_listStreamableFirst; }

private:
    template <class List> void Collect(const List& source);

    const CQuarnDataModel& m_db;
    int m_mediaType = 0;
    int m_sortMode = Numeric;
    int m_groupIndex = 0;
    QString m_search;
    bool m_streamableFirst = false;
    int m_listOrder = ByNumber;
    bool m_listStreamableFirst = false;
    std::vector<int> m_groups;
    std::vector<int> m_keys;
};
