#pragma once

#include <QString>
#include <QStringList>

#include "core/LumoData.h"
#include "core/Message.h"
#include "core/Prompter.h"

namespace kov {

// What a Documents item opens: a file of the program folder, handed to the desktop's own viewer. The manuals and
// the data sheet ship as PDF; the Excel data sheet stays a workbook, since the installer fills it in and imports it.
struct ProgramDocument {
    QString item;      // "GoManual"
    QString fileName;  // "KOVMan.pdf"
    // The message when it cannot be opened is `before` + the program folder + `after`.
    QString before;
    QString after;
};

// The Documents items that open a file, in menu order.
const QList<ProgramDocument>& ProgramDocuments();
// The item's entry, or nullptr for an item that opens no document ("GoComm", "GoNew").
const ProgramDocument* ProgramDocumentOf(const QString& item);

QString ProgramDocumentPath(const LumoData& d, const ProgramDocument& document);
// The critical message under the program's title that names the folder the file was looked for in.
Message ProgramDocumentFailure(const LumoData& d, const ProgramDocument& document);

// Opens the item's file; when nothing opens it (missing, or no program for it) says so. False then, and for an
// item that opens no document.
bool OpenProgramDocument(const LumoData& d, Prompter& prompter, const QString& item);
// The user manual.
bool OpenManual(const LumoData& d, Prompter& prompter);

}  // namespace kov
