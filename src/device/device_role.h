#pragma once

#include <QString>
#include <QtGlobal>

// The device's role in plain words, as the main window's device line reads
// it: "Master", "TXU Client (Slot 3)", "RXU Client (Master Slot)",
// "Repeater". `slot` is the raw slot field.
QString device_role_text(quint8 role, bool is_txu, quint8 slot, bool rep_mode);
