#pragma once

#include <QMessageBox>

#include "core/Prompter.h"

namespace kov {

// The program words its file filters as "Design Files |*.MSK" (description|patterns, repeated, patterns joined
// by ";"); Qt wants "Design Files (*.MSK)", several joined by ";;".
QString QtFileFilter(const QString& programFilter);

QMessageBox::Icon QtMessageIcon(MsgIcon icon);
QMessageBox::StandardButtons QtMessageButtons(MsgButtons buttons);
// What a click on `clicked` means; a box closed any other way counts as its Cancel or No.
MsgAnswer AnswerOf(QMessageBox::StandardButton clicked, MsgButtons buttons);

// The person at the screen: message boxes and file dialogs over whichever program window is active.
class QtPrompter : public Prompter {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString chooseSaveFile(const SaveFileRequest& request) override;
    QString chooseOpenFile(const OpenFileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    bool openDocument(const QString& path) override;
    void beep() override;
};

}  // namespace kov
