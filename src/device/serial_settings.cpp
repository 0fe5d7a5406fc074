#include "serial_settings.h"

#include <QSerialPort>

namespace {
constexpr qint32 LINK_BAUD_RATE = 115200;
} // namespace

bool configure_serial_port(QSerialPort &port)
{
    if (port.dataBits() != QSerialPort::Data8 && !port.setDataBits(QSerialPort::Data8))
        return false;
    if (port.parity() != QSerialPort::NoParity && !port.setParity(QSerialPort::NoParity))
        return false;
    if (port.stopBits() != QSerialPort::OneStop && !port.setStopBits(QSerialPort::OneStop))
        return false;
    if (port.flowControl() != QSerialPort::NoFlowControl && !port.setFlowControl(QSerialPort::NoFlowControl))
        return false;
    if (port.baudRate() != LINK_BAUD_RATE && !port.setBaudRate(LINK_BAUD_RATE, QSerialPort::AllDirections))
        return false;
    return true;
}
