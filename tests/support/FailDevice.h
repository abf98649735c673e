#pragma once

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace kov::test {

// A save file whose disk fails at one step, so that every failure path of a save runs, root or not. After
// KeePassXC's FailDevice, a device that fails after a given number of bytes. Keep it in a scope of its own
// around the save: while it is open, a flushing one limits every file this program writes.
class FailDevice : public QSaveFile {
public:
    enum class Step {
        Open,   // refused, "Permission denied", as in a folder the person may not write to
        Write,  // takes `failAfter` bytes in all, then refuses: "No space left on device"
        // Takes every byte into Qt's buffer, and the system refuses what goes past `failAfter` bytes of the file
        // when the buffer is flushed: a limit on file sizes, real to the system, which even root cannot write past.
        Flush,
    };

    FailDevice(const QString& path, Step step, qint64 failAfter = 0)
        : QSaveFile(path), m_step(step), m_failAfter(failAfter)
    {
    }
    ~FailDevice() override
    {
#ifdef Q_OS_UNIX
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_sizeLimit);
            std::signal(SIGXFSZ, m_sizeSignal);
        }
#endif
    }

    bool open(OpenMode mode) override
    {
        if (m_step == Step::Open) {
            refuse(EACCES);
            return false;
        }
        if (m_step == Step::Flush) {
#ifndef Q_OS_UNIX
            // Windows has no limit on file sizes that a process can set on itself.
            qFatal("FailDevice: a failing flush needs a POSIX file size limit");
#else
            getrlimit(RLIMIT_FSIZE, &m_sizeLimit);
            rlimit limit = m_sizeLimit;
            limit.rlim_cur = static_cast<rlim_t>(m_failAfter);
            // Ignored, the signal turns into an EFBIG the save has to report.
            m_sizeSignal = std::signal(SIGXFSZ, SIG_IGN);
            m_limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
            if (!m_limited) {
                qFatal("FailDevice: cannot limit the file size");
            }
#endif
        }
        return QSaveFile::open(mode);
    }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_step != Step::Write) {
            return QSaveFile::writeData(data, len);
        }
        // Like a filling disk: what still fits is taken, and only the write after that is refused.
        if (m_written >= m_failAfter) {
            refuse(ENOSPC);
            return -1;
        }
        const qint64 taken = QSaveFile::writeData(data, std::min(len, m_failAfter - m_written));
        m_written += std::max<qint64>(taken, 0);
        return taken;
    }

private:
    void refuse(int code)
    {
        setErrorString(QString::fromLocal8Bit(std::strerror(code)));
        errno = code;
    }

    Step m_step;
    qint64 m_failAfter;
    qint64 m_written = 0;
#ifdef Q_OS_UNIX
    bool m_limited = false;
    rlimit m_sizeLimit{};
    void (*m_sizeSignal)(int) = SIG_DFL;
#endif
};

}  // namespace kov::test
