#include "update_printer.h"

#include "block_printer.h"
#include "line_printer.h"

std::unique_ptr<UpdatePrinter> make_printer(const std::vector<DeviceRecord> &devices, Console *console, bool several,
                                            bool check)
{
    if (several && console->terminal)
        return std::make_unique<BlockPrinter>(devices, console, check);
    return std::make_unique<LinePrinter>(devices, console, several, check);
}
