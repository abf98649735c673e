#pragma once

#include <QWidget>

#include <functional>
#include <memory>

#include "core/Clock.h"
#include "core/LumoData.h"
#include "core/Prompter.h"
#include "meters/DownloadLevels.h"
#include "meters/MeterFiles.h"
#include "meters/RecordRange.h"
#include "meters/SerialLink.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kov {

// The download side of the Mask window's grid stage: the meter buttons (FramDownload) and the range of stored
// records a download fetches (FramFile). A download fills the form's TestLevel and TestCount and says so with
// `downloaded`; the grid page then takes the tests over. A failed download changes neither.
class MaskDownloads : public QWidget {
    Q_OBJECT

public:
    MaskDownloads(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent = nullptr);

    QGroupBox* downloadFrame() const { return m_framDownload; }
    QGroupBox* rangeFrame() const { return m_framFile; }
    QPushButton* ld824Button() const { return m_cmdDownloadLD; }
    // Stops an LD824 download at its next wait; usable only while one runs.
    QPushButton* cancelDownloadButton() const { return m_cmdCancelDownload; }

    // TestLevel and TestCount: what the last download left, tests 1..count in full.
    const DownloadLevels& testLevel() const { return m_testLevel; }
    int testCount() const { return m_testCount; }
    // A file is being read: the window may not close meanwhile.
    bool importing() const { return m_importing; }

    // How the LD824 download reaches the meter: a new line for each download (the program's serial port; a
    // simulated meter in tests). Without one the port is reported as unusable.
    using SerialLinkFactory = std::function<std::unique_ptr<SerialLink>()>;
    void setSerialLinkFactory(SerialLinkFactory factory) { m_linkFactory = std::move(factory); }

    // Clear Data and a new activation: no range given, the range frame closed.
    void resetDownloadState();
    // After the grid took a download over, the next one asks for its range again.
    void downloadHandedOver() { m_startFile = 0; }

signals:
    void note(const QString& text);
    // TestLevel and TestCount hold `count` new tests; `notice`, when there is one, follows the hand-over.
    void downloaded(int count);
    void noticeAfterHandOver(const kov::Message& notice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFrames();
    void chooseFile(DownloadSource source);
    void openRangeFrame();
    void closeRangeFrame();
    void startRangeDownload();
    void openLd824Range();
    void downloadLd824();
    void leaveRecordBox(int box);
    void filterRecordTyping(int box);
    void handOver(const MeterImport& result, bool clearNoteOnFailure);
    MeterImport readWorkbook(DownloadSource source, const QString& path);

    LumoData& m_data;
    Prompter& m_prompter;
    Clock& m_clock;

    DownloadLevels m_testLevel{};
    int m_testCount = 0;
    DownloadSource m_source = DownloadSource::None;
    int m_startFile = 0;
    int m_endFile = 0;
    QString m_paa3File;
    bool m_importing = false;
    SerialLinkFactory m_linkFactory;
    bool m_cancelRequested = false;
    bool m_filtering = false;
    // Whether each box's text has been taken into StartFile / EndFile since it last changed.
    bool m_boxTaken[2] = {true, true};

    QGroupBox* m_framDownload = nullptr;
    QPushButton* m_cmdDownloadLD = nullptr;
    QPushButton* m_cmdCancelDownload = nullptr;
    QGroupBox* m_framFile = nullptr;
    QLineEdit* m_datFile[2] = {nullptr, nullptr};
    QPushButton* m_cmdFile = nullptr;
    QPushButton* m_cmdAbort = nullptr;
};

}  // namespace kov
