#include "meters/SerialPortLink.h"

#include <windows.h>

#include "core/WindowsError.h"

namespace kov {

namespace {

// Long enough for a command frame to leave at 1200 baud, short enough that a dead adapter does not hang the
// window: the protocol notices a missing reply by itself.
constexpr DWORD WriteWaitMs = 500;

HANDLE Handle(void* h)
{
    return static_cast<HANDLE>(h);
}

}  // namespace

SerialPortLink::SerialPortLink(const QString& portName, int baudRate) : m_portName(portName), m_baudRate(baudRate) {}

SerialPortLink::~SerialPortLink()
{
    close();
}

bool SerialPortLink::open(QString* error)
{
    if (isOpen())
        return true;
    // The device namespace reaches COM10 and above, which the bare name does not.
    const QString device =
        m_portName.startsWith(QStringLiteral("\\\\.\\")) ? m_portName : QStringLiteral("\\\\.\\") + m_portName;
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(device.utf16()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error)
            *error = WindowsErrorText(GetLastError());
        return false;
    }
    // A port that is not set as the meter speaks would only give garbage, so one that refuses the rate or the
    // frame format is given up here with the driver's reason.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool set = GetCommState(h, &dcb);
    if (set) {
        dcb.BaudRate = DWORD(m_baudRate);
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fAbortOnError = FALSE;
        set = SetCommState(h, &dcb);
    }
    // Reads return at once with what has come, as the protocol polls the line; writes give up after a while.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = WriteWaitMs;
    set = set && SetCommTimeouts(h, &timeouts);
    if (!set) {
        if (error)
            *error = WindowsErrorText(GetLastError());
        CloseHandle(h);
        return false;
    }
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_handle = h;
    return true;
}

void SerialPortLink::close()
{
    if (isOpen()) {
        CloseHandle(Handle(m_handle));
        m_handle = nullptr;
    }
}

bool SerialPortLink::isOpen() const
{
    return m_handle != nullptr;
}

void SerialPortLink::setBreak(bool on)
{
    // A line without a break never wakes the meter, which the protocol reports as no meter on the line.
    if (isOpen())
        on ? SetCommBreak(Handle(m_handle)) : ClearCommBreak(Handle(m_handle));
}

int SerialPortLink::bytesWaiting()
{
    if (!isOpen())
        return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle(m_handle), &errors, &status))
        return 0;
    return int(status.cbInQue);
}

QByteArray SerialPortLink::readAll()
{
    QByteArray bytes;
    if (!isOpen())
        return bytes;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(Handle(m_handle), chunk, sizeof chunk, &read, nullptr) || read == 0)
            break;
        bytes.append(chunk, qsizetype(read));
    }
    return bytes;
}

bool SerialPortLink::write(const QByteArray& bytes)
{
    if (!isOpen())
        return false;
    DWORD written = 0;
    return WriteFile(Handle(m_handle), bytes.constData(), DWORD(bytes.size()), &written, nullptr) &&
           written == DWORD(bytes.size());
}

}  // namespace kov
