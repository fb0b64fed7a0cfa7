#include "app/FleetCommands.h"

#include "app/FleetDialog.h"
#include "app/FrameCommands.h"
#include "app/MainFrame.h"

namespace tarn {

FleetCommands::FleetCommands(CMainFrame& frame) : QObject(&frame), m_frame(frame)
{
    m_frame.setCommandHandler(ID_PROGRAM_FLEET, [this] { openDialog(); });
}

FleetCommands::~FleetCommands()
{
    // The run's threads end before the window they report to goes.
    delete m_dialog;
}

FleetDialog* FleetCommands::dialog() const
{
    return m_dialog;
}

void FleetCommands::openDialog()
{
    // The command is locked while a single transfer runs; a fleet never shares its ports.
    if (m_frame.transferRunning())
        return;
    if (!m_dialog)
        m_dialog = new FleetDialog(m_frame);
    m_dialog->refresh();
    m_dialog->open();
}

}  // namespace tarn
