#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace kov {

// A zip archive held in memory, read through minizip (zlib's own zip reader, the same source on every system we
// build for). Only what a workbook needs: a part by name, unpacked whole and bounded.
class ZipPackage {
public:
    enum class Part { Found, Missing, ArchiveDamaged, Encrypted, TooLarge, CannotUnpack, Damaged };

    explicit ZipPackage(QByteArray bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // False when the bytes are no zip archive minizip can walk.
    bool isOpen() const;

    // The part called `name` (case ignored, as package part names are), unpacked into `bytes`; more than `limit`
    // bytes, stated or read, is TooLarge. Found also means the checksum held.
    Part part(const QString& name, qint64 limit, QByteArray& bytes);

    struct Memory;

private:
    std::unique_ptr<Memory> m_memory;
    void* m_zip = nullptr;
};

}  // namespace kov
