#pragma once

class QSerialPort;

// The device's line: 115200 baud both ways, 8 data bits, no parity, 1 stop
// bit, no flow control. Applies it to an open port, each setting only where
// it differs; false when the port refuses one (its error string says why).
bool configure_serial_port(QSerialPort &port);
