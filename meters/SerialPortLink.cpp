#include "meters/SerialPortLink.h"

namespace kov {

namespace {

// Long enough for a command frame to leave at 1200 baud, short enough that a dead adapter does not hang the
// window: the protocol notices a missing reply by itself.
constexpr int WriteWaitMs = 500;

}  // namespace

SerialPortLink::SerialPortLink(const QString& portName, int baudRate) : m_baudRate(baudRate)
{
    m_port.setPortName(portName);
}

bool SerialPortLink::open(QString* error)
{
    if (m_port.isOpen())
        return true;
    if (!m_port.open(QIODevice::ReadWrite)) {
        if (error)
            *error = m_port.errorString();
        return false;
    }
    // Some adapters open but refuse a rate or a frame format; a port that is not set as the meter speaks would
    // only give garbage, so it is given up here with the driver's reason.
    const bool set = m_port.setBaudRate(m_baudRate) && m_port.setDataBits(QSerialPort::Data8) &&
                     m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
                     m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!set) {
        if (error)
            *error = m_port.errorString();
        m_port.close();
        return false;
    }
    m_port.clearError();
    return true;
}

void SerialPortLink::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialPortLink::isOpen() const
{
    return m_port.isOpen();
}

void SerialPortLink::setBreak(bool on)
{
    if (!m_port.isOpen())
        return;
    // A pseudo-terminal and some adapters have no break; the meter then never wakes, which the protocol reports
    // as no meter on the line, so the failure itself says nothing more.
    if (!m_port.setBreakEnabled(on))
        m_port.clearError();
}

int SerialPortLink::bytesWaiting()
{
    if (!m_port.isOpen())
        return 0;
    // Without an event loop the port's buffer fills only when asked to look at the line; nothing there is a time-out
    // error, which is no error here.
    m_port.waitForReadyRead(0);
    m_port.clearError();
    return static_cast<int>(m_port.bytesAvailable());
}

QByteArray SerialPortLink::readAll()
{
    if (!m_port.isOpen())
        return {};
    m_port.waitForReadyRead(0);
    m_port.clearError();
    return m_port.readAll();
}

bool SerialPortLink::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return false;
    if (m_port.write(bytes) != bytes.size())
        return false;
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(WriteWaitMs))
            return false;
    }
    return true;
}

}  // namespace kov
