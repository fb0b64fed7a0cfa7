#include "link/PortDialog.h"

#include "link/PortDiagnosis.h"
#include "link/PortMap.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarn {

namespace {
constexpr int PortsPerRow = 5;
// Control ids of the radio buttons: COM1 is 1004.
constexpr int FirstPortControl = 1004;
}

PortDialog::PortDialog(QWidget* parent)
    : QDialog(parent)
    , m_group(new QGroupBox(this))
    , m_buttons(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("通讯端口"));
    m_group->setObjectName(QStringLiteral("group1089"));

    const QList<tarn::PortEntry> devices = tarn::PortMap::listPorts();
    auto* grid = new QGridLayout(m_group);
    for (int i = 0; i < PortCount; ++i) {
        auto* button = new QRadioButton(QStringLiteral("COM%1").arg(i + 1), m_group);
        button->setObjectName(QStringLiteral("port%1").arg(FirstPortControl + i));
        button->setEnabled(false);
        QString device;
        for (const tarn::PortEntry& entry : devices)
            if (entry.number == i + 1)
                device = entry.device;
        // Which device of this machine the number stands for.
        button->setToolTip(device.isEmpty() ? noDeviceText : device);
        m_buttons->addButton(button, i);
        grid->addWidget(button, i / PortsPerRow, i % PortsPerRow);
    }

    auto* box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    m_cancel = box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &PortDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &PortDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addWidget(box);
}

QRadioButton* PortDialog::portButton(int index) const
{
    return qobject_cast<QRadioButton*>(m_buttons->button(index));
}

void PortDialog::initDialog()
{
    setWindowTitle(title);
    m_group->setTitle(title);
    for (int i = 0; i < PortCount; ++i)
        if (tarn::PortMap::deviceForPort(i + 1).isEmpty())
            portButton(i)->setToolTip(noDeviceText);
    m_ok->setText(okText);
    m_cancel->setText(cancelText);
    tarn::CommPort probe;
    for (int i = 0; i < PortCount; ++i) {
        const bool available = (availablePorts >> (i + 1)) & 1u;
        QRadioButton* button = portButton(i);
        button->setEnabled(available);
        // A port that has a device but cannot be used says why in its tool tip; one that
        // can warns of ModemManager.
        const QString device = tarn::PortMap::deviceForPort(i + 1);
        if (device.isEmpty())
            continue;
        std::string why;
        if (!available) {
            const tarn::PortState state = tarn::diagnosePort(probe, i + 1);
            why = state.usable ? std::string() : state.text;
        } else {
            why = tarn::cableWarning(device.toStdString());
        }
        if (!why.empty())
            button->setToolTip(device + QStringLiteral(": ") + QString::fromStdString(why));
    }
    // The stored port stays checked even when it cannot be opened now, so OK keeps it.
    if (selection >= 0 && selection < PortCount)
        portButton(selection)->setChecked(true);
}

void PortDialog::accept()
{
    selection = m_buttons->checkedId();
    QDialog::accept();
}

}  // namespace tarn
