#pragma once

#include <QByteArray>
#include <QString>

namespace kov {

// The serial line to a meter as the download protocol uses it: no parity, 8 data bits, 1 stop bit, whole-buffer
// reads. The protocol logic speaks only through this, so it runs against a real port, a pseudo-terminal or a
// simulated meter alike.
class SerialLink {
public:
    virtual ~SerialLink() = default;

    // Opens the line; false with the system's reason when the port cannot be had.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The break condition on the transmit line, with which the meter is woken.
    virtual void setBreak(bool on) = 0;
    // How many received bytes wait to be read; looks at the line first, so polling this sees new input.
    virtual int bytesWaiting() = 0;
    virtual QByteArray readAll() = 0;
    // Queues the bytes for sending; false when the line refused them.
    virtual bool write(const QByteArray& bytes) = 0;
};

}  // namespace kov
