#include "device_list_model.h"

#include "device_label.h"
#include "device_session.h"
#include "show_log.h"
#include "show_monitor.h"
#include "status_display.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace {

// Lamp colours of the main window's lamps.
const QColor GOOD_COLOUR(0x00, 0xb0, 0x00);
const QColor ALARM_COLOUR(0xe0, 0x00, 0x00);
// The bars' colours for the three bands.
QColor band_colour(SignalBand band)
{
    switch (band) {
    case SignalBand::Good:
        return QColor(0x17, 0x8e, 0x85);
    case SignalBand::Fair:
        return QColor(0xcc, 0x66, 0x33);
    case SignalBand::Weak:
        return QColor(0x8e, 0x17, 0x20);
    case SignalBand::NoReading:
        break;
    }
    return QColor();
}

} // namespace

DeviceListModel::DeviceListModel(DeviceRoster *roster, ShowMonitor *show, QObject *parent)
    : QAbstractTableModel(parent)
    , m_roster(roster)
    , m_show(show)
{
    if (m_show) {
        connect(m_show->watch(), &AlarmWatch::alarms_changed, this, &DeviceListModel::all_changed);
        connect(m_show, &ShowMonitor::names_changed, this, &DeviceListModel::all_changed);
    }
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(REFRESH_MS);
    connect(&m_refresh, &QTimer::timeout, this, &DeviceListModel::tell_changed);
    connect(m_roster, &DeviceRoster::entries_changed, this, &DeviceListModel::reload);
    reload();
}

void DeviceListModel::reload()
{
    const QList<DeviceRoster::Entry> entries = m_roster->entries();
    bool same_rows = entries.size() == m_entries.size();
    for (int i = 0; same_rows && i < entries.size(); ++i)
        same_rows = entries.at(i).port == m_entries.at(i).port && entries.at(i).session == m_entries.at(i).session;
    if (same_rows) {
        // Only what a row shows changed (a port opened, went or came back).
        m_entries = entries;
        for (int row = 0; row < m_entries.size(); ++row)
            m_dirty.insert(row);
        if (!m_refresh.isActive())
            m_refresh.start();
        return;
    }
    beginResetModel();
    m_entries = entries;
    m_dirty.clear();
    m_rows.clear();
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).session)
            m_rows.insert(m_entries.at(row).session, row);
    }
    endResetModel();
    for (const DeviceRoster::Entry &entry : std::as_const(m_entries)) {
        if (entry.session)
            watch(entry.session);
    }
}

void DeviceListModel::watch(DeviceSession *session)
{
    if (m_watched.contains(session))
        return;
    m_watched.insert(session);
    const auto mark = [this, session] { changed(session); };
    connect(session, &DeviceSession::reply, this, mark);
    connect(session, &DeviceSession::reset, this, mark);
    connect(session, &DeviceSession::opened, this, mark);
    connect(session, &DeviceSession::levels_stale, this, mark);
    connect(session, &DeviceSession::report_mode_changed, this, mark);
    connect(session, &DeviceSession::firmware_known, this, mark);
    connect(session, &QObject::destroyed, this, [this, session] { m_watched.remove(session); });
}

void DeviceListModel::changed(DeviceSession *session)
{
    const auto row = m_rows.constFind(session);
    if (row == m_rows.constEnd())
        return;
    m_dirty.insert(*row);
    if (!m_refresh.isActive())
        m_refresh.start();
}

Qt::ItemFlags DeviceListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return Qt::NoItemFlags;
    // A device that is not linked is greyed (ForegroundRole) but stays
    // enabled: the keyboard, and with it a screen reader, passes over
    // disabled rows, and would never tell that a device was pulled out.
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return index.column() == Name && m_show ? flags | Qt::ItemIsEditable : flags;
}

bool DeviceListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !m_show || index.column() != Name || index.row() >= m_entries.size())
        return false;
    QString problem;
    m_show->rename(m_entries.at(index.row()).port, value.toString(), &problem);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

bool DeviceListModel::linked(int row) const
{
    const DeviceRoster::Entry e = entry(row);
    return e.session && e.session->is_open();
}

void DeviceListModel::all_changed()
{
    for (int row = 0; row < m_entries.size(); ++row)
        m_dirty.insert(row);
    if (!m_refresh.isActive())
        m_refresh.start();
}

void DeviceListModel::tell_changed()
{
    const QSet<int> rows = m_dirty;
    m_dirty.clear();
    for (int row : rows) {
        if (row < m_entries.size())
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
}

int DeviceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int DeviceListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int DeviceListModel::row_of(const QString &port) const
{
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).port == port)
            return row;
    }
    return -1;
}

QString DeviceListModel::device_words(const DeviceRoster::Entry &entry) const
{
    if (!entry.session)
        return entry.holder.isEmpty() ? tr("busy: in use by another program") : tr("busy: in use by %1").arg(entry.holder);
    const DeviceSession &session = *entry.session;
    if (!session.is_open()) {
        if (session.port_lost() || !entry.present)
            return tr("unplugged");
        if (!entry.error.isEmpty())
            return tr("cannot be opened: %1").arg(entry.error.section(QLatin1Char('\n'), 0, 0));
        return tr("not connected");
    }
    if (session.suspended())
        return tr("firmware update");
    if (!session.state().info_known)
        return tr("asking the device...");
    const QString firmware = firmware_words(session.state());
    if (firmware.isEmpty())
        return role_words(session.state());
    //: A device's role, then its firmware versions: "TXU Client (Slot 1); WLAN 1660, DSP 3.13".
    return tr("%1; %2").arg(role_words(session.state()), firmware);
}

QString DeviceListModel::cell_text(const DeviceRoster::Entry &entry, int column) const
{
    if (column == Port)
        return entry.port;
    if (column == Device)
        return device_words(entry);
    if (column == Name)
        return m_show ? name_for_display(m_show->name(entry.port)) : QString();
    if (column == Alarm)
        return m_show ? m_show->alarm_line(entry.port) : QString();
    if (!entry.session || !entry.session->is_open() || !entry.session->state().info_known)
        return QString();
    const DeviceState &s = entry.session->state();
    switch (column) {
    case Link:
        return s.link_state == 1 ? tr("no link") : is_linked(s.link_state) ? tr("linked")
                                                                           : tr("link state %1").arg(s.link_state);
    case FromTxu:
    case FromRepeater: {
        if (s.report_mode != REPORT_SIGNAL && !s.levels_live)
            return tr("reports off");
        const int level = column == FromTxu ? s.level_a : s.level_b;
        if (!s.levels_live || level == SIGNAL_FLOOR)
            return tr("no reading");
        return signal_reading(level).words;
    }
    case Mute:
        return s.is_txu ? (s.muted ? tr("muted") : tr("not muted")) : QString();
    case Phantom:
        return s.is_txu ? (s.ph_pwr ? tr("on") : tr("off")) : QString();
    case Gain:
        return s.audio_known ? QString::number(audio_input(s.input, s.hi_z).gain) : QString();
    case Input:
        return s.audio_known ? audio_input(s.input, s.hi_z).mode : QString();
    case Channel:
        return s.role == 0 && s.channel_known ? QString::number(s.rf_channel) : QString();
    default:
        return QString();
    }
}

QString DeviceListModel::spoken(int row, int column) const
{
    const DeviceRoster::Entry e = entry(row);
    if (column == Port)
        return e.port;
    QString head = e.port + QStringLiteral(", ") + device_words(e);
    const QString name = cell_text(e, Name);
    if (!name.isEmpty())
        head = name + QStringLiteral(", ") + head;
    if (column == Device)
        return head;
    const QString text = cell_text(e, column);
    const QString what = headerData(column, Qt::Horizontal).toString();
    return head + QStringLiteral(": ") + what + QStringLiteral(" ")
        + (text.isEmpty() ? tr("none") : text);
}

QVariant DeviceListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return QVariant();
    const DeviceRoster::Entry &e = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cell_text(e, index.column());
    case Qt::EditRole:
        return index.column() == Name && m_show ? m_show->name(e.port) : cell_text(e, index.column());
    case Qt::AccessibleTextRole:
        return spoken(index.row(), index.column());
    case Qt::ForegroundRole:
        // A device that is not linked is listed greyed, in the desktop's
        // colour of disabled text.
        return linked(index.row()) ? QVariant()
                                   : QVariant(QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text));
    case Qt::ToolTipRole: {
        // The whole text of a cell that a narrow window shortens, and why a
        // port cannot be opened.
        if (index.column() == Device && !e.error.isEmpty())
            return e.error;
        // Every alarm the device shows, one a line.
        if (index.column() == Alarm && m_show) {
            QStringList lines;
            for (const AlarmRecord &record : m_show->watch()->alarms(e.port))
                lines.prepend(ShowMonitor::alarm_words(record));
            return lines.isEmpty() ? QVariant() : QVariant(lines.mid(0, 30).join(QLatin1Char('\n')));
        }
        const QString text = cell_text(e, index.column());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::DecorationRole: {
        if (index.column() == Alarm && m_show && m_show->watch()->unacknowledged(e.port) > 0)
            return ALARM_COLOUR;
        if (!e.session || !e.session->is_open() || !e.session->state().info_known)
            return QVariant();
        const DeviceState &s = e.session->state();
        if (index.column() == Link)
            return s.link_state == 1 ? ALARM_COLOUR : GOOD_COLOUR;
        if ((index.column() == FromTxu || index.column() == FromRepeater) && s.levels_live) {
            const QColor colour = band_colour(signal_band(index.column() == FromTxu ? s.level_a : s.level_b));
            return colour.isValid() ? QVariant(colour) : QVariant();
        }
        if (index.column() == Mute && s.is_txu && s.muted)
            return ALARM_COLOUR;
        if (index.column() == Phantom && s.is_txu && s.ph_pwr)
            return GOOD_COLOUR;
        return QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The tooltip gives the title whole where a narrow window shortens it.
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    switch (section) {
    case Port:
        return tr("Port");
    case Device:
        return tr("Device");
    case Name:
        return tr("Name");
    case Alarm:
        return tr("Alarm");
    case Link:
        return tr("Link");
    case FromTxu:
        return tr("From TXU");
    case FromRepeater:
        return tr("From Repeater");
    case Mute:
        return tr("Mute");
    case Phantom:
        return tr("+48V");
    case Gain:
        return tr("Gain");
    case Input:
        return tr("Input");
    case Channel:
        return tr("RF Channel");
    default:
        return QVariant();
    }
}
