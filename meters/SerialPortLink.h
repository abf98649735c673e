#pragma once

#include <QString>
#include <QtGlobal>
#ifndef Q_OS_WIN
#include <QSerialPort>
#endif

#include "meters/SerialLink.h"

namespace kov {

// The meter's line on a real serial port (or anything the system offers as one: a USB adapter, a
// pseudo-terminal). Works without an event loop, since the download polls it from the one thread. On Windows it is
// the system's communications API on COMn itself (Qt's serial port module is not built there).
class SerialPortLink : public SerialLink {
public:
    SerialPortLink(const QString& portName, int baudRate);
#ifdef Q_OS_WIN
    ~SerialPortLink() override;
    SerialPortLink(const SerialPortLink&) = delete;
    SerialPortLink& operator=(const SerialPortLink&) = delete;
#endif

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override;
    void setBreak(bool on) override;
    int bytesWaiting() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

private:
#ifdef Q_OS_WIN
    QString m_portName;
    void* m_handle = nullptr;
#else
    QSerialPort m_port;
#endif
    int m_baudRate;
};

}  // namespace kov
