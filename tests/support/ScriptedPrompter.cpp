#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace kov::test {

namespace {
MsgAnswer DismissAnswer(MsgButtons buttons)
{
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Cancel;
    }
    return MsgAnswer::Ok;
}

const char* IconName(MsgIcon icon)
{
    static const char* const names[] = {"None", "Information", "Exclamation", "Critical", "Question"};
    return names[static_cast<int>(icon)];
}

const char* ButtonsName(MsgButtons buttons)
{
    static const char* const names[] = {"Ok", "OkCancel", "YesNo", "YesNoCancel"};
    return names[static_cast<int>(buttons)];
}
}  // namespace

void PrintTo(const RecordedMessage& m, std::ostream* os)
{
    *os << "{\"" << m.text.toStdString() << "\", \"" << m.title.toStdString() << "\", " << IconName(m.icon) << ", "
        << ButtonsName(m.buttons) << '}';
}

ScriptedPrompter::~ScriptedPrompter()
{
    if (m_strict) {
        EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answers were never asked for";
    }
}

MsgAnswer ScriptedPrompter::message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    m_messages.push_back({text, title, icon, buttons});
    if (m_answers.empty()) {
        if (m_strict)
            ADD_FAILURE() << "unexpected message: [" << title.toStdString() << "] " << text.toStdString();
        return DismissAnswer(buttons);
    }
    MsgAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

QString ScriptedPrompter::chooseSaveFile(const SaveFileRequest& request)
{
    m_saveRequests.push_back(request);
    if (m_saveFiles.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << request.title.toStdString();
        return {};
    }
    QString p = m_saveFiles.front();
    m_saveFiles.pop_front();
    return p;
}

QString ScriptedPrompter::chooseOpenFile(const OpenFileRequest& request)
{
    m_openRequests.push_back(request);
    if (m_openFiles.empty()) {
        ADD_FAILURE() << "unexpected open dialog: " << request.title.toStdString();
        return {};
    }
    QString p = m_openFiles.front();
    m_openFiles.pop_front();
    return p;
}

QString ScriptedPrompter::chooseFolder(const QString& title, const QString& folder)
{
    m_openRequests.push_back({title, folder, QString(), QString()});
    if (m_folders.empty()) {
        ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
        return {};
    }
    QString p = m_folders.front();
    m_folders.pop_front();
    return p;
}

bool ScriptedPrompter::openDocument(const QString& path)
{
    m_documents << path;
    return true;
}

void ScriptedPrompter::clear()
{
    m_messages.clear();
    m_saveRequests.clear();
    m_openRequests.clear();
    m_documents.clear();
    m_beeps = 0;
}

}  // namespace kov::test
