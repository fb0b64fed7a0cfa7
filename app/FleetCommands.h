// Programming > Program several radios...: opens the fleet dialog, which writes the main
// window's configuration to several radios at once or one after another on one cable.
#pragma once

#include <QObject>
#include <QPointer>

namespace tarn {

class CMainFrame;
class FleetDialog;

class FleetCommands : public QObject {
    Q_OBJECT
public:
    // Registers the command's handler with the frame.
    explicit FleetCommands(CMainFrame& frame);
    ~FleetCommands() override;

    // Opens the dialog (made on first use), with the ports as they are now.
    void openDialog();
    FleetDialog* dialog() const;

private:
    CMainFrame& m_frame;
    QPointer<FleetDialog> m_dialog;
};

}  // namespace tarn
