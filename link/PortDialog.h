// The port selection dialog: COM1 to COM20 as radio buttons, enabled only for the ports
// that could be opened when it was shown, so the user picks the port a transfer tries first.
#pragma once

#include "link/PortRange.h"

#include <QDialog>

#include <cstdint>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tarn {

class PortDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int PortCount = tarn::PortCount;

    explicit PortDialog(QWidget* parent = nullptr);

    // Set by the caller before initDialog(): window title and group text, button texts,
    // bit n set when COMn can be opened, and the checked button (0 = COM1; -1 none).
    QString title;
    QString okText;
    QString cancelText;
    std::uint32_t availablePorts = 0;
    int selection = -1;
    // The tool tip of a number that stands for no device.
    QString noDeviceText = QStringLiteral("no device");

    // Puts the fields into the controls.
    void initDialog();
    // OK: reads the checked button back into selection (-1 when none is checked).
    void accept() override;

    QRadioButton* portButton(int index) const;
    QGroupBox* group() const { return m_group; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QGroupBox* m_group;
    QButtonGroup* m_buttons;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace tarn
