#include "TempProgramFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/Tables.h"

namespace kov::test {

TempProgramFolder::TempProgramFolder()
{
    if (!m_dir.isValid()) {
        ADD_FAILURE() << "cannot make a temporary program folder";
        return;
    }
    const QDir shipped(QStringLiteral(KOV_SHIPPED_DATA_DIR));
    for (const QString& name : shipped.entryList(QDir::Files)) {
        if (name == QLatin1String("CMakeLists.txt") || name.startsWith(QLatin1String("README")))
            continue;
        QFile::copy(shipped.filePath(name), QDir(m_dir.path()).filePath(name));
    }
    OverrideProgramFolder(m_dir.path());
}

TempProgramFolder::~TempProgramFolder()
{
    OverrideProgramFolder(QString());
}

QString TempProgramFolder::file(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void TempProgramFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    f.write(bytes);
}

QByteArray TempProgramFolder::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TempProgramFolder::remove(const QString& name) const
{
    QFile::remove(file(name));
}

QByteArray ShippedFile(const QString& name)
{
    QFile f(QDir(QStringLiteral(KOV_SHIPPED_DATA_DIR)).filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

}  // namespace kov::test
