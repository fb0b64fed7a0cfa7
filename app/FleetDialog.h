// Programming > Program several radios...: the ports that have a device with a progress bar
// and a result each, the per-radio values file, the one-cable loop, Start and Stop.
#pragma once

#include "fleet/FleetRun.h"

#include <QDialog>
#include <QList>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;

namespace tarn {

class CMainFrame;

// Runs the fleet run (fleet/FleetRun.h) on the main window's configuration and only moves its
// state into the controls. Window-modal: the configuration takes no edits while it is open.
class FleetDialog : public QDialog {
    Q_OBJECT
public:
    // The table's columns.
    enum Column { PortColumn, DeviceColumn, ProgressColumn, ResultColumn, VerifyColumn, BackupColumn, ColumnCount };

    explicit FleetDialog(CMainFrame& frame);
    ~FleetDialog() override;

    // Lists the ports that have a device now and puts the texts of the current language in.
    void refresh();

    QTableWidget* table() const { return m_table; }
    QLineEdit* valuesEdit() const { return m_values; }
    QCheckBox* sameCableBox() const { return m_sameCable; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* stopButton() const { return m_stop; }
    QLabel* statusLabel() const { return m_status; }
    // The check box of a table row.
    QCheckBox* portBox(int row) const;
    // The table row of port n; -1 when the port is not listed.
    int rowOfPort(int n) const { return int(m_ports.indexOf(n)); }
    // From Start until the rows show how the run ended.
    bool running() const;

    void start();
    void stop();

protected:
    void reject() override;

private:
    QString text(int n) const;
    void chooseValuesFile();
    void updateButtons();
    // Moves the run's state into the rows and the status line; ends the run when it is over.
    void showState();
    // The checked ports, in table order.
    QList<int> checkedPorts() const;

    CMainFrame& m_frame;
    QTableWidget* m_table;
    QLabel* m_valuesLabel;
    QLineEdit* m_values;
    QToolButton* m_browse;
    QCheckBox* m_sameCable;
    QLabel* m_status;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_close;
    QTimer* m_timer;
    QList<int> m_ports;  // the port of each table row
    std::unique_ptr<tarn::FleetRun> m_run;
    std::size_t m_announced = 0;  // radios of the loop whose end was rung
};

}  // namespace tarn
