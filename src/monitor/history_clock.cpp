#include "history_clock.h"

#include <QDateTime>
#include <QElapsedTimer>

qint64 history_now_ms()
{
    static const qint64 start_ms = QDateTime::currentMSecsSinceEpoch();
    static QElapsedTimer elapsed;
    if (!elapsed.isValid())
        elapsed.start();
    return start_ms + elapsed.elapsed();
}
