#include "meters/ZipPackage.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>

namespace kov {

// minizip reads through a table of file functions; these serve them from the bytes in memory.
struct ZipPackage::Memory {
    QByteArray bytes;
    qint64 position = 0;
};

namespace {

voidpf OpenMemory(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ReadMemory(voidpf, voidpf stream, void* buffer, uLong size)
{
    auto* memory = static_cast<ZipPackage::Memory*>(stream);
    const qint64 left = memory->bytes.size() - memory->position;
    const qint64 count = std::clamp<qint64>(left, 0, qint64(size));
    std::memcpy(buffer, memory->bytes.constData() + memory->position, size_t(count));
    memory->position += count;
    return uLong(count);
}

uLong WriteMemory(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T TellMemory(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<ZipPackage::Memory*>(stream)->position);
}

long SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* memory = static_cast<ZipPackage::Memory*>(stream);
    qint64 base = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            base = 0;
            break;
        case ZLIB_FILEFUNC_SEEK_CUR:
            base = memory->position;
            break;
        case ZLIB_FILEFUNC_SEEK_END:
            base = memory->bytes.size();
            break;
        default:
            return -1;
    }
    if (offset > ZPOS64_T(memory->bytes.size()))
        return -1;
    const qint64 target = base + qint64(offset);
    if (target < 0 || target > memory->bytes.size())
        return -1;
    memory->position = target;
    return 0;
}

int CloseMemory(voidpf, voidpf)
{
    return 0;
}

int ErrorMemory(voidpf, voidpf)
{
    return 0;
}

}  // namespace

ZipPackage::ZipPackage(QByteArray bytes) : m_memory(std::make_unique<Memory>())
{
    m_memory->bytes = std::move(bytes);
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenMemory;
    functions.zread_file = ReadMemory;
    functions.zwrite_file = WriteMemory;
    functions.ztell64_file = TellMemory;
    functions.zseek64_file = SeekMemory;
    functions.zclose_file = CloseMemory;
    functions.zerror_file = ErrorMemory;
    functions.opaque = m_memory.get();
    m_zip = unzOpen2_64("", &functions);
}

ZipPackage::~ZipPackage()
{
    if (m_zip)
        unzClose(m_zip);
}

bool ZipPackage::isOpen() const
{
    return m_zip != nullptr;
}

ZipPackage::Part ZipPackage::part(const QString& name, qint64 limit, QByteArray& bytes)
{
    bytes.clear();
    if (!m_zip)
        return Part::ArchiveDamaged;
    const int located = unzLocateFile(m_zip, name.toUtf8().constData(), 2);
    if (located == UNZ_END_OF_LIST_OF_FILE)
        return Part::Missing;
    if (located != UNZ_OK)
        return Part::ArchiveDamaged;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return Part::ArchiveDamaged;
    if (info.flag & 1)
        return Part::Encrypted;
    // The stated size is checked first and the bytes read are bounded too: a zip may state anything.
    if (info.uncompressed_size > ZPOS64_T(limit))
        return Part::TooLarge;
    if (unzOpenCurrentFile(m_zip) != UNZ_OK)
        return Part::CannotUnpack;
    bytes.reserve(qsizetype(info.uncompressed_size));
    char chunk[64 * 1024];
    for (;;) {
        const int read = unzReadCurrentFile(m_zip, chunk, sizeof chunk);
        if (read < 0) {
            unzCloseCurrentFile(m_zip);
            bytes.clear();
            return Part::Damaged;
        }
        if (read == 0)
            break;
        bytes.append(chunk, read);
        if (bytes.size() > limit) {
            unzCloseCurrentFile(m_zip);
            bytes.clear();
            return Part::TooLarge;
        }
    }
    // Only closing compares the checksum.
    if (unzCloseCurrentFile(m_zip) != UNZ_OK) {
        bytes.clear();
        return Part::Damaged;
    }
    return Part::Found;
}

}  // namespace kov
