#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "core/Message.h"

namespace kov {

// The program file of the ZUV-AR24's configuration software, the one target of the search window.
inline const QString MG24ProgramFile = QStringLiteral("ZUV-AR24.EXE");

// What the start folder and target file boxes take: every character a Windows file name may hold (the DOS set of
// letters, digits and "_^$~!#%&-{}()" plus the long names' blank, ".", "+", ",", ";", "=", "[", "]", "@" and "'"),
// and both separators, so that a path of this system, a hidden folder like ".wine" and "Program Files (x86)" can
// be typed. Wildcards, quotes and redirections stay out. Letters are checked upper-cased, so lower case passes.
inline const QString SearchPathChars =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_^$~!#%&-{}()\\:/. +,;=[]@'");

// Where a search for the ZUV-AR24 software starts unless the installer types another folder.
QString DefaultSearchStart();

// The folder a typed start stands for: blanks around it dropped, a leading "~" for the home folder, relative to the
// current folder, with a trailing separator.
QString SearchStartFolder(const QString& typed);

struct FolderSearchLimits {
    // Deeper than any installation; only a folder structure built to be endless reaches it.
    int maxDepth = 100;
    // How many entries are looked at between two calls of `keepGoing`: a few milliseconds of listing, so the
    // window repaints and hears its close box at once without the calls costing the search much.
    int entriesPerCall = 1000;
};

struct FolderSearchResult {
    // The folder holding the file, as reached from the start and ending in a separator; "" when not found.
    QString found;
    // `keepGoing` said no: the tree was not walked to its end, so a missing file proves nothing.
    bool stopped = false;
    // Every folder or entry that could not be looked at, in one message: the first with its reason, and how many
    // more there were.
    std::optional<Message> unsearched;
    int foldersListed = 0;
};

// Depth first: a folder's entries are listed and each name is compared with `fileName` without regard to case,
// which ends the whole search at the first match; only then are its sub-folders searched, in listing order (names
// sorted as Windows lists them). A folder reached a second time through a link is not searched again, so cycles
// end. `keepGoing` (may be empty) runs every `entriesPerCall` entries to let the window breathe; false stops.
FolderSearchResult SearchFolders(const QString& folder, const QString& fileName,
                                 const std::function<bool()>& keepGoing = {}, const FolderSearchLimits& limits = {});

}  // namespace kov
