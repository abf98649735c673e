// kov_workbook_reader: reads one block of cells of a workbook for the program and writes them to its standard output
// (EncodeWorkbookRead). The program starts it for every workbook it imports, with a time and a memory limit, so that
// a file that crashes the .xls library, or declares millions of cells, ends this process and not the person's work.
//   kov_workbook_reader <sheet> <first row> <last row> <first column> <last column> <file>

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <new>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

#include "meters/WorkbookFormats.h"

int main(int argc, char** argv)
{
    // For the file's name as the system gave it, on Windows too.
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    kov::CellBlock block;
    int* const numbers[] = {&block.sheet, &block.firstRow, &block.lastRow, &block.firstColumn, &block.lastColumn};
    bool ok = arguments.size() == 7;
    for (int i = 0; ok && i < 5; ++i)
        *numbers[i] = arguments[i + 1].toInt(&ok);
    if (!ok) {
        std::fputs("usage: kov_workbook_reader <sheet> <first row> <last row> <first column> <last column> <file>\n",
                   stderr);
        return 2;
    }

    kov::WorkbookRead read;
    try {
        read = kov::ReadWorkbookHere(arguments[6], block);
    } catch (const std::bad_alloc&) {
        read = kov::WorkbookError{kov::WorkbookError::CannotOpen,
                                  QStringLiteral("reading the workbook takes more memory than its reader may take"), 0};
    }
    const QByteArray message = kov::EncodeWorkbookRead(read);
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool written = std::fwrite(message.constData(), 1, size_t(message.size()), stdout) == size_t(message.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
