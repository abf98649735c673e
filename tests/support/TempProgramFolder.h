#pragma once

#include <QString>
#include <QTemporaryDir>

namespace kov::test {

// A temporary program folder holding copies of the shipped data files; the program's folder points here while
// the object lives, so no test reads or writes beside the real program.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    void remove(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

QByteArray ShippedFile(const QString& name);

}  // namespace kov::test
