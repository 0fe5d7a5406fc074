#include "test_support.h"

PortFinder one_bridge(const QString &path)
{
    return PortFinder::from_list([path] {
        return QList<SerialPortEntry>{{path, QStringLiteral("Silicon Labs"), false}};
    });
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}
