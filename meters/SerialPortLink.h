#pragma once

#include <QSerialPort>
#include <QString>

#include "meters/SerialLink.h"

namespace kov {

// The meter's line on a real serial port (or anything the system offers as one: a USB adapter, a
// pseudo-terminal). Works without an event loop, since the download polls it from the one thread.
class SerialPortLink : public SerialLink {
public:
    SerialPortLink(const QString& portName, int baudRate);

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override;
    void setBreak(bool on) override;
    int bytesWaiting() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

private:
    QSerialPort m_port;
    int m_baudRate;
};

}  // namespace kov
