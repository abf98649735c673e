#pragma once

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <variant>

#include "core/Indexed.h"

class QSaveFile;

namespace kov {

// Why a file's bytes could not be read, and on which line: "Input past end of file" on line 21, "Type mismatch
// (\"4x\" is not a number)" on line 5. It names no file, since parsing sees only bytes; each routine words its
// own message around it.
struct ReadError {
    int line = 0;
    QString text;
};

// A file's data, or why it could not be read.
template <typename T>
using Parsed = std::variant<T, ReadError>;

// The longest text a field holds: far beyond any name, date or folder a person types or the system gives (a path
// is at most 4095 bytes here), so a longer one is a damaged or foreign file, never data. The writer cuts a text to
// it, so whatever is written reads back.
inline constexpr qsizetype MaxTextFieldLength = 4096;

// The one field style of all four data files: comma-separated fields, texts in double quotes without escaping,
// plain decimal numbers with no leading zero below 1 (".5", "-.5"), CRLF after each line. A text is Latin-1, as in
// every older file, when Latin-1 holds it and its bytes cannot pass for UTF-8; any other text is UTF-8, so that
// the reader gives back exactly what was written.
class TextFieldWriter {
public:
    void text(const QString& value);
    void number(f32 value);
    void integer(int value);
    void endLine();
    const QByteArray& bytes() const { return m_bytes; }

private:
    void separate();
    QByteArray m_bytes;
    bool m_lineStarted = false;
};

// How the last field of the data may end. Our own files end every line, so a last field the data ends in was cut
// short (`LineEnd`); the exports of other programs (a sound level meter's) often lack the last line end, and there
// a field the data ends in is complete (`DataMayEnd`). A text without its closing quote is cut short in both.
enum class FieldEnd { LineEnd, DataMayEnd };

// Field-oriented reading: fields are separated by commas or line ends (a record may run across lines and a line
// break is just a separator), blanks around a number are ignored, a quoted text runs to its closing quote.
// A field must be followed by a comma or a line end: a text without its closing quote, or a last field the data
// ends in, is "Input past end of file", since that is how a file cut short looks (unless `DataMayEnd`). The data
// ends at a Ctrl-Z. A text whose bytes are valid UTF-8 with at least one multi-byte sequence reads as UTF-8, any
// other as Latin-1. A text longer than MaxTextFieldLength is a read error. After the first error every read fails
// and the first error is kept.
class TextFieldReader {
public:
    explicit TextFieldReader(QByteArray data, FieldEnd end = FieldEnd::LineEnd);

    bool readText(QString& out);
    bool readNumber(f32& out);   // accepts "0.5", ".5", "-.5", "  45 "
    bool readInteger(i16& out);  // whole numbers in the i16 range; a decimal value rounds half to even
    bool skipField();            // a field read and thrown away (the always-zero fields of the project file)
    // A value read whole that the caller cannot take (out of its range, a name with a folder part) stops the
    // reading as a bad field does: every further read fails, and the first error is kept.
    void refuse(int line, const QString& why) { fail(why, line); }

    bool failed() const { return m_failed; }
    const ReadError& error() const { return m_error; }
    // What a parse gives once its reads are done: `data`, or the first error.
    template <typename T>
    Parsed<T> result(T data) const
    {
        if (m_failed)
            return m_error;
        return data;
    }
    // True when nothing but blanks and line ends is left.
    bool atEnd() const;

private:
    bool nextRaw(QByteArray& raw, bool& quoted);
    // The text of a number field; false at an error. An empty unquoted field stands for 0 (`empty`).
    bool nextNumberText(QByteArray& text, bool& empty);
    bool typeMismatch(const QByteArray& text);
    bool fail(const QString& what, int line);
    QByteArray m_data;
    FieldEnd m_end = FieldEnd::LineEnd;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_fieldLine = 1;  // where the field being read began, for its error
    bool m_failed = false;
    ReadError m_error;
};

struct FileReadResult {
    bool ok = false;
    bool notFound = false;  // the file (or its folder) does not exist
    QByteArray data;
    QString error;  // "File not found: <path>", "Cannot open <path> (it is not a file)", ...
};

// Our files are a few hundred kilobytes at most; anything far larger is not one of them.
inline constexpr qint64 MaxDataFileBytes = 16 * 1024 * 1024;

// Reads regular files only: a folder, a pipe or a device fails at once instead of blocking or reading forever.
FileReadResult ReadWholeFile(const QString& path, qint64 maxBytes = MaxDataFileBytes);

// A data file that was not taken in. Either the file itself could not be read: `text` is ReadWholeFile's message,
// which names the file, and `line` is 1, where reading would have begun. Or a field was wrong: the parser's error,
// and `file` the path to name beside it.
struct FileReadError : ReadError {
    bool notFound = false;  // the file (or its folder) does not exist
    QString file;           // empty when `text` names the file already

    // "Input past end of file in C:\JOBS\A.MSK", for messages that give the line after it.
    QString inFile() const;
    // "Input past end of file on line 21 of C:\KOV\KOVSPEC.DAT".
    QString onLineOfFile() const;
};

// The one read path of the data files: the whole file through ReadWholeFile, its bytes through `parse` into a copy
// of `data`, and the copy into `data` in one assignment once the whole file has read. A damaged or short file
// leaves `data` exactly as it was, never half old, half new.
template <typename T>
std::optional<FileReadError> ReadDataFile(const QString& path, T& data, Parsed<T> (*parse)(const QByteArray&, T))
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok)
        return FileReadError{{1, file.error}, file.notFound, {}};
    Parsed<T> parsed = parse(file.data, data);
    if (const ReadError* error = std::get_if<ReadError>(&parsed))
        return FileReadError{*error, false, path};
    data = std::move(std::get<T>(parsed));
    return std::nullopt;
}

// Writes through a temporary file and renames it over `path`, so a failed save leaves the old file byte for byte.
// On failure `error` reads "Cannot save <path> (<reason>)" and `reason` holds the reason alone, in the system's
// words ("No space left on device").
bool SaveWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr, QString* reason = nullptr);

// A save goes to a temporary copy beside the file, linked under the file's name and a dot and six letters
// ("P.MSK.Blkulk") just before it is renamed over the file. A save killed in between (power cut, kill -9) leaves
// that copy behind, the old file whole. The name the copy was made for, or "" for a name that is no such copy.
QString SavedNameOfLeftover(const QString& name);

// Removes from `folder` the copies leftover saves made of the files `saved` takes the names of, and nothing else:
// another program's file of a like name stays. A copy a save is still writing (a second KOV's) is locked by it and
// stays too. Returns the names removed.
QStringList RemoveLeftoverSaveCopies(const QString& folder, const std::function<bool(const QString&)>& saved);

// The steps of SaveWholeFile once the save file exists: open, write every byte, flush, sync, commit. A full disk
// can show at any of them, and QSaveFile::commit alone renames a file whose last flush failed, so each step's
// result is checked; at the first failure the temporary file goes and `reason` says why. Before it, the leftover
// copies of an earlier save of the same file go; after it, the folder is synced, so the new name survives a power
// cut.
bool WriteSaveFile(QSaveFile& file, const QByteArray& bytes, QString& reason);

}  // namespace kov
