#pragma once

#include "discovery/UpnpDevice.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// The rules of the settings form's "Nearby Set-top-boxes (STB) List", without any widget: which
// rows exist, in which order, what they read, which one is selected and whether the typed box
// address is among them. The form draws RowCount() rows from RowText() and mirrors SelectedRow().
//
// Rows are boxes in the order they were first found, one per address, followed by the
// placeholder "Scanning...", which always stays last and is never removed.
class CNearbyBoxList final
{
public:
    // The friendly name a box's media server announces; compared ignoring letter case.
    static const QString kBoxFriendlyName;
    // Rows of boxes the list keeps at most; a flood of announcements stops adding rows there.
    static constexpr int kMaxBoxes = 64;

    CNearbyBoxList() = default;

    // A new search begins (the settings view became active): the addresses seen so far are
    // forgotten, the rows stay until the new search completes.
    void BeginSearch();
    // A device was found. Returns the index of the row added for it, or -1 when it is not a box,
    // or its address already has a row, or the list is full.
    int OnDeviceFound(const UpnpDevice& device);
    // A device left. Rows stay: a box goes only when a later search completes without it.
    void OnDeviceRemoved(const QString& udn);
    // The initial sweep ended: rows whose address was not seen in this search are removed.
    // Returns how many were removed.
    int OnSearchComplete();

    // The address typed in the form changed (or a row was chosen and its address copied there):
    // selects the first row with that address. nullopt stands for a blank address field, which
    // matches no row. The selection is kept in step as rows come and go.
    void SyncConnectedBox(std::optional<quint32> typedAddress);

    int RowCount() const { return static_cast<int>(m_rows.size()) + 1; }
    int BoxCount() const { return static_cast<int>(m_rows.size()); }
    bool IsPlaceholder(int row) const { return row == BoxCount(); }
    // The box of a row; nullptr for the placeholder and rows out of range.
    const UpnpDevice* Box(int row) const;
    // "Friendly name (a.b.c.d)" for a box, "Scanning..." for the placeholder.
    QString RowText(int row) const;

    // -1 when no row is selected.
    int SelectedRow() const { return m_selected; }
    // Whether the "Connected (DRAVIK STB)" label shows: the typed address has a row.
    bool Connected() const { return m_selected >= 0; }

    QList<quint32> SeenAddresses() const { return m_seen; }

    static bool IsBox(const UpnpDevice& device);

private:
    void Resync();

    std::vector<UpnpDevice> m_rows;
    QList<quint32> m_seen;
    std::optional<quint32> m_typed;
    int m_selected = -1;
};
