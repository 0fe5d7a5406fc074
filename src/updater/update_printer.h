#pragma once

#include "console.h"
#include "device_record.h"

#include <memory>
#include <vector>

// How tvc-update shows a run: told of every event of every device, it prints
// what the records say. Which printer a run gets depends on the number of
// devices and on whether standard output is a terminal.
class UpdatePrinter
{
public:
    virtual ~UpdatePrinter() = default;

    // Something happened to the device `index`; its record says what.
    virtual void device_event(int index, DeviceEvent event) = 0;
    // Every device has ended: the last words.
    virtual void finished() = 0;
    // The terminal has a new size (in the console).
    virtual void resized() {}
};

// The printer for `devices` (kept up to date by their runs) on `console`:
// for a single device its lines as they come (the progress line rewritten in
// place on a terminal); for several, a live block on a terminal or each
// device's lines headed by its port elsewhere, then a summary.
std::unique_ptr<UpdatePrinter> make_printer(const std::vector<DeviceRecord> &devices, Console *console, bool several,
                                            bool check);
