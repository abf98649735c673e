#include "core/QtPrompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace kov {

QString QtFileFilter(const QString& programFilter)
{
    const QStringList parts = programFilter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return programFilter.trimmed();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Windows matched "*.XLS" to "kov.xls"; here the dialog would hide it, so each pattern comes in both cases.
        QStringList patterns;
        for (const QString& given : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = given.trimmed();
            for (const QString& variant : {p, p.toLower(), p.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns << variant;
            }
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

QMessageBox::Icon QtMessageIcon(MsgIcon icon)
{
    switch (icon) {
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtMessageButtons(MsgButtons buttons)
{
    switch (buttons) {
        case MsgButtons::Ok:
            return QMessageBox::Ok;
        case MsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgAnswer AnswerOf(QMessageBox::StandardButton clicked, MsgButtons buttons)
{
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return clicked == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return clicked == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
        case MsgButtons::YesNoCancel:
            // The window's close box and Escape mean Cancel: nothing is thrown away by a box that was dismissed.
            return clicked == QMessageBox::Yes  ? MsgAnswer::Yes
                   : clicked == QMessageBox::No ? MsgAnswer::No
                                                : MsgAnswer::Cancel;
    }
    return MsgAnswer::Ok;
}

MsgAnswer QtPrompter::message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(QtMessageIcon(icon), title.isEmpty() ? ProgramTitle : title, text, QtMessageButtons(buttons),
                    QApplication::activeWindow());
    box.setDefaultButton(buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? QMessageBox::Yes
                                                                                            : QMessageBox::Ok);
    if (buttons == MsgButtons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return AnswerOf(box.standardButton(box.clickedButton()), buttons);
}

QString QtPrompter::chooseSaveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, QtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question once the name is chosen.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString QtPrompter::chooseOpenFile(const OpenFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, QtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString QtPrompter::chooseFolder(const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, folder);
}

bool QtPrompter::openDocument(const QString& path)
{
    // The desktop may accept a missing file and fail later out of sight; refuse it here so the caller can say so.
    if (!QFileInfo(path).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPrompter::beep()
{
    QApplication::beep();
}

}  // namespace kov
