#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QTimer>

#include "device_roster.h"

struct DeviceState;
class ShowMonitor;

// The devices of a roster as a table, one row a device: its port, its role,
// the name the user gave it (which the user edits in place), its alarms in
// words with a glyph (when a show monitor is given), the link, both signal levels with their bands, mute, +48V, gain, input mode
// and a master's RF channel. A device whose port went stays, unplugged; a
// port that another program holds is listed as busy, with its holder.
//
// The sessions report up to a hundred times a second each; the rows that
// changed are told to the views at most ten times a second.
class DeviceListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Port, Device, Name, Alarm, Link, FromTxu, FromRepeater, Mute, Phantom, Gain, Input, Channel, ColumnCount };
    // How often changed rows are told to the views.
    static constexpr int REFRESH_MS = 100;

    explicit DeviceListModel(DeviceRoster *roster, ShowMonitor *show = nullptr, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A name entered in the Name column names the device.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The roster's entry of a row.
    DeviceRoster::Entry entry(int row) const { return m_entries.value(row); }
    int row_of(const QString &port) const;
    // Whether the device of a row is linked (and can be chosen); the others
    // are listed greyed.
    bool linked(int row) const;
    // The text of a cell as a screen reader says it: the device, then the
    // cell ("ttyUSB2, RXU client slot 3: link lost").
    QString spoken(int row, int column) const;

private:
    void reload();
    void watch(DeviceSession *session);
    void changed(DeviceSession *session);
    void tell_changed();
    void all_changed();
    QString cell_text(const DeviceRoster::Entry &entry, int column) const;
    // Words for the device as a whole: its role, or why it has none.
    QString device_words(const DeviceRoster::Entry &entry) const;

    DeviceRoster *m_roster;
    ShowMonitor *m_show;
    QList<DeviceRoster::Entry> m_entries;
    QSet<DeviceSession *> m_watched;
    QHash<DeviceSession *, int> m_rows;
    QSet<int> m_dirty;
    QTimer m_refresh;
};
