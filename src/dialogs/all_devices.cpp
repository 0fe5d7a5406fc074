#include "all_devices.h"
#include "ui_all_devices.h"

#include "device_list_model.h"
#include "device_roster.h"
#include "device_session.h"
#include "show_monitor.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <algorithm>
#include <numeric>

AllDevices::AllDevices(DeviceRoster *roster, QWidget *parent, ShowMonitor *show)
    : QDialog(parent)
    , ui(new Ui::AllDevices)
    , m_roster(roster)
    , m_show(show)
    , m_model(new DeviceListModel(roster, show, this))
{
    ui->setupUi(this);
    ui->device_table->setModel(m_model);
    if (m_show) {
        connect(m_show->watch(), &AlarmWatch::alarms_changed, this, [this] {
            update_title();
            update_buttons();
        });
    }
    ui->rename_button->setVisible(m_show);
    ui->acknowledge_button->setVisible(m_show);
    ui->acknowledge_all_button->setVisible(m_show);
    ui->device_table->verticalHeader()->hide();
    // Each column is as wide as its title and its cells, however long the
    // language makes them: the window grows to them rather than shortening a
    // title or hiding a column behind a scroll bar (fit_columns()).
    // Where the screen, or the user, keeps the window narrower, the widest
    // columns give way and shorten their texts with "…" (a tooltip gives each
    // whole) rather than scrolling (squeeze_columns()).
    ui->device_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_widest_column = ui->device_table->horizontalHeader()->maximumSectionSize();
    ui->device_table->installEventFilter(this);
    // The columns are sized to the rows in view: a table that grew taller
    // may need more width, and one that changed its width, other caps.
    ui->device_table->viewport()->installEventFilter(this);
    connect(ui->device_table, &QAbstractItemView::doubleClicked, this, [this] { choose_current_row(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        update_summary();
        set_current(m_current);
        fit_columns();
    });
    // A row that changed may be a device linked, lost or back: the summary
    // counts them again, and its words may be wider.
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        update_summary();
        update_buttons();
        fit_columns();
    });
    // Rows past the window's height bring the vertical scroll bar, which
    // takes its width from the columns.
    connect(ui->device_table->verticalScrollBar(), &QScrollBar::rangeChanged, this, &AllDevices::fit_columns);
    connect(ui->device_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &AllDevices::update_buttons);
    update_summary();
    update_buttons();
    update_title();
}

AllDevices::~AllDevices()
{
    delete ui;
}

void AllDevices::showEvent(QShowEvent *event)
{
    fit_columns();
    QDialog::showEvent(event);
    // Every device is linked, so that each row shows what its device reports.
    m_roster->keep_all_linked();
}

bool AllDevices::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->device_table->viewport() && event->type() == QEvent::Resize)
        fit_columns();
    // Enter on a row chooses it, as a double click does.
    if (watched == ui->device_table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose_current_row();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AllDevices::set_current(const QString &port)
{
    m_current = port;
    const int row = m_model->row_of(port);
    if (row >= 0 && ui->device_table->currentIndex().row() != row)
        ui->device_table->setCurrentIndex(m_model->index(row, 0));
    update_buttons();
}

void AllDevices::choose_current_row()
{
    const QModelIndex index = ui->device_table->currentIndex();
    if (!index.isValid())
        return;
    if (!m_model->linked(index.row()))
        return;
    const DeviceRoster::Entry entry = m_model->entry(index.row());
    m_current = entry.port;
    emit device_chosen(entry.session);
}

void AllDevices::on_show_button_clicked()
{
    choose_current_row();
}

void AllDevices::on_reports_button_clicked()
{
    m_roster->signal_reports_for_all();
}

void AllDevices::on_close_button_clicked()
{
    close();
}

void AllDevices::on_rename_button_clicked()
{
    const QModelIndex index = ui->device_table->currentIndex();
    if (!index.isValid())
        return;
    const QModelIndex name = m_model->index(index.row(), DeviceListModel::Name);
    ui->device_table->setCurrentIndex(name);
    ui->device_table->edit(name);
}

void AllDevices::on_acknowledge_button_clicked()
{
    const QModelIndex index = ui->device_table->currentIndex();
    if (m_show && index.isValid())
        m_show->watch()->acknowledge(m_model->entry(index.row()).port);
}

void AllDevices::on_acknowledge_all_button_clicked()
{
    if (m_show)
        m_show->watch()->acknowledge_all();
}

void AllDevices::update_title()
{
    const QString count = m_show ? m_show->count_text() : QString();
    //: The All Devices window's title with the count of alarms not yet seen: "All Devices (2 alarms)".
    setWindowTitle(count.isEmpty() ? tr("All Devices") : tr("All Devices (%1)").arg(count));
}

void AllDevices::update_summary()
{
    int linked = 0;
    int busy = 0;
    int gone = 0;
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const DeviceRoster::Entry entry = m_model->entry(row);
        if (!entry.session)
            ++busy;
        else if (entry.session->is_open())
            ++linked;
        else
            ++gone;
    }
    if (rows == 0) {
        ui->summary_label->setText(tr("No device found."));
        return;
    }
    //: The three counts of the devices, in this order: "2 linked, 1 in use by another
    //: program, 0 not connected."
    ui->summary_label->setText(tr("%1, %2, %3.")
                                   .arg(tr("%n linked", nullptr, linked),
                                        tr("%n in use by other programs", nullptr, busy),
                                        tr("%n not connected", nullptr, gone)));
}

namespace {

// The width of a column's title as the header measures it (its size hint is
// held to the cap that squeezing sets).
int title_width(const QHeaderView *header, int column)
{
    QStyleOptionHeader option;
    option.initFrom(header);
    option.orientation = Qt::Horizontal;
    option.section = column;
    option.text = header->model()->headerData(column, Qt::Horizontal).toString();
    QFont font = header->font();
    font.setBold(true);
    option.fontMetrics = QFontMetrics(font);
    return header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
}

} // namespace

QVector<int> AllDevices::column_widths() const
{
    // What the header sizes each column to: its title, or its widest cell.
    const QAbstractItemView *view = ui->device_table;
    const QHeaderView *header = ui->device_table->horizontalHeader();
    QVector<int> widths;
    for (int column = 0; column < header->count(); ++column) {
        if (!header->isSectionHidden(column))
            widths.append(std::max({header->minimumSectionSize(), title_width(header, column),
                                    view->sizeHintForColumn(column)}));
    }
    return widths;
}

int AllDevices::width_besides_columns() const
{
    const QTableView *table = ui->device_table;
    const QScrollBar *bar = table->verticalScrollBar();
    const bool bar_shown = table->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
        || (table->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && bar->maximum() > bar->minimum());
    const QMargins margins = layout()->contentsMargins();
    return margins.left() + 2 * table->frameWidth() + (bar_shown ? bar->sizeHint().width() : 0) + margins.right();
}

int AllDevices::needed_width() const
{
    const QVector<int> widths = column_widths();
    return std::accumulate(widths.begin(), widths.end(), width_besides_columns());
}

void AllDevices::fit_columns()
{
    const int needed = needed_width();
    if (needed > m_fitted_width) {
        m_fitted_width = needed;
        int width = needed;
        if (const QScreen *screen = this->screen())
            width = qMin(width, screen->availableGeometry().width());
        if (width > this->width())
            resize(width, height());
    }
    squeeze_columns();
}

void AllDevices::squeeze_columns()
{
    // The widest columns give way first, all down to the same width: the
    // widest that lets every column fit beside the narrower ones.
    QVector<int> widths = column_widths();
    std::sort(widths.begin(), widths.end());
    QHeaderView *header = ui->device_table->horizontalHeader();
    const int room = width() - width_besides_columns();
    int cap = m_widest_column;
    int used = 0;
    for (int i = 0; i < widths.size(); ++i) {
        const int rest = int(widths.size()) - i;
        if (used + widths.at(i) * rest > room) {
            cap = qMax(header->minimumSectionSize(), (room - used) / rest);
            break;
        }
        used += widths.at(i);
    }
    if (header->maximumSectionSize() == cap)
        return;
    header->setMaximumSectionSize(cap);
    // A cap that was raised leaves the columns as narrow as it made them.
    header->resizeSections(QHeaderView::ResizeToContents);
}


void AllDevices::update_buttons()
{
    const QModelIndex index = ui->device_table->currentIndex();
    ui->show_button->setEnabled(index.isValid() && m_model->linked(index.row())
                                && m_model->entry(index.row()).port != m_current);
    ui->rename_button->setEnabled(index.isValid());
    ui->acknowledge_button->setEnabled(m_show && index.isValid()
                                       && m_show->watch()->unacknowledged(m_model->entry(index.row()).port) > 0);
    ui->acknowledge_all_button->setEnabled(m_show && m_show->watch()->unacknowledged() > 0);
}
