#pragma once

#include <QString>

namespace kov {

inline const QString ProgramTitle = QStringLiteral("KOV");

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct SaveFileRequest {
    QString title;
    QString folder;
    QString proposedName;
    QString defaultExtension;  // without the dot
    QString filter;            // as the program words it, "Design Files |*.MSK"
};

struct OpenFileRequest {
    QString title;
    QString folder;
    QString filter;
    QString defaultExtension;  // without the dot; added to a typed name that has none
};

// Every message box, question and file dialog goes through here, so that tests can script the person at the
// keyboard and see every message the program would have shown.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
    // The chosen path, or "" when the person cancelled.
    virtual QString chooseSaveFile(const SaveFileRequest& request) = 0;
    virtual QString chooseOpenFile(const OpenFileRequest& request) = 0;
    // The chosen folder, or "" when the person cancelled.
    virtual QString chooseFolder(const QString& title, const QString& folder) = 0;
    // Hands a document to the desktop's own viewer; false when nothing could open it.
    virtual bool openDocument(const QString& path) = 0;
    virtual void beep() = 0;
};

}  // namespace kov
