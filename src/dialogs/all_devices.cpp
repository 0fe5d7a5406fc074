#include "all_devices.h"
#include "ui_all_devices.h"

#include "device_list_model.h"
#include "device_roster.h"
#include "device_session.h"

#include <QHeaderView>
#include <QKeyEvent>

AllDevices::AllDevices(DeviceRoster *roster, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AllDevices)
    , m_roster(roster)
    , m_model(new DeviceListModel(roster, this))
{
    ui->setupUi(this);
    ui->device_table->setModel(m_model);
    ui->device_table->verticalHeader()->hide();
    ui->device_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The table asks for the width of its columns, each as wide as its title
    // and its cells, however long the language makes them: the dialog grows
    // rather than shortening a title.
    ui->device_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    ui->device_table->installEventFilter(this);
    connect(ui->device_table, &QAbstractItemView::doubleClicked, this, [this] { choose_current_row(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        update_summary();
        set_current(m_current);
    });
    // A row that changed may be a device linked, lost or back: the summary
    // counts them again.
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        update_summary();
        update_buttons();
    });
    connect(ui->device_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &AllDevices::update_buttons);
    update_summary();
    update_buttons();
}

AllDevices::~AllDevices()
{
    delete ui;
}

void AllDevices::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Every device is linked, so that each row shows what its device reports.
    m_roster->keep_all_linked();
}

bool AllDevices::eventFilter(QObject *watched, QEvent *event)
{
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
    ui->summary_label->setText(tr("%1 linked, %2 in use by other programs, %3 not connected.")
                                   .arg(linked)
                                   .arg(busy)
                                   .arg(gone));
}

void AllDevices::update_buttons()
{
    const QModelIndex index = ui->device_table->currentIndex();
    ui->show_button->setEnabled(index.isValid() && m_model->linked(index.row())
                                && m_model->entry(index.row()).port != m_current);
}
