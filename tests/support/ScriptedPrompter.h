#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <ostream>
#include <vector>

#include "core/Prompter.h"

namespace kov::test {

// What the person was shown, compared whole: a test names every part of a message it expects, so a changed title,
// icon or button set fails as surely as a changed text. Most messages offer only Ok.
struct RecordedMessage {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    bool operator==(const RecordedMessage&) const = default;
};
using Shown = std::vector<RecordedMessage>;

void PrintTo(const RecordedMessage& m, std::ostream* os);

// Plays the person at the keyboard: answers from queues and records everything shown. A message with no
// answer queued is a test failure (and answers as if dismissed, Ok/No/Cancel), so nothing unexpected slips by;
// call allowUnscriptedMessages() where a test only counts what was shown.
class ScriptedPrompter : public Prompter {
public:
    ~ScriptedPrompter() override;

    void answer(MsgAnswer a) { m_answers.push_back(a); }
    void answerSaveFile(const QString& path) { m_saveFiles.push_back(path); }
    void answerOpenFile(const QString& path) { m_openFiles.push_back(path); }
    void answerFolder(const QString& path) { m_folders.push_back(path); }
    void allowUnscriptedMessages() { m_strict = false; }

    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString chooseSaveFile(const SaveFileRequest& request) override;
    QString chooseOpenFile(const OpenFileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    bool openDocument(const QString& path) override;
    void beep() override { ++m_beeps; }

    const std::vector<RecordedMessage>& messages() const { return m_messages; }
    const std::vector<SaveFileRequest>& saveRequests() const { return m_saveRequests; }
    const std::vector<OpenFileRequest>& openRequests() const { return m_openRequests; }
    const QStringList& openedDocuments() const { return m_documents; }
    int beeps() const { return m_beeps; }
    // Answers queued but never asked for.
    std::size_t unusedAnswers() const { return m_answers.size(); }
    void clear();

private:
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_saveFiles;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_folders;
    std::vector<RecordedMessage> m_messages;
    std::vector<SaveFileRequest> m_saveRequests;
    std::vector<OpenFileRequest> m_openRequests;
    QStringList m_documents;
    int m_beeps = 0;
    bool m_strict = true;
};

}  // namespace kov::test
