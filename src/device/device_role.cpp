#include "device_role.h"

#include <QCoreApplication>

namespace {

// The words of the main window's display.
class StatusDisplay
{
    Q_DECLARE_TR_FUNCTIONS(StatusDisplay)
};

} // namespace

QString device_role_text(quint8 role, bool is_txu, quint8 slot, bool rep_mode)
{
    switch (role) {
    case 0:
        //: The device's role.
        return StatusDisplay::tr("Master");
    case 1:
        if (is_txu)
            return StatusDisplay::tr("TXU Client (Slot %1)").arg(int(slot));
        if (rep_mode)
            slot = quint8(slot - 2);
        if (slot == 1)
            return StatusDisplay::tr("RXU Client (Master Slot)");
        return StatusDisplay::tr("RXU Client (Slot %1)").arg(int(slot));
    case 2:
        return StatusDisplay::tr("Repeater");
    default:
        return StatusDisplay::tr("Unknown Device");
    }
}
