#pragma once

#include "core/Clock.h"
#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"
#include "masking/MaskDownloads.h"
#include "masking/TestGrid.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace kov {

class MaskGridPage;
class MaskMatchPage;
class MaskSpecPage;

// Mask: equalizes one masking channel (CurrentChannel) in three stages that take turns in one place: the goal
// spectrum (FramSpec), the measured tests (FramData) and the fit with its corrections (FramMatch), each a page of
// its own. The window works on the masking working set, which it loads from the project set when it is shown or
// comes back from another window of the program, and hands back only when it closes with Done.
class Mask : public LumoWindow {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window. The clock
    // paces the fit animation.
    Mask(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent = nullptr);

    // How the LD824 download opens the meter's line (see MaskDownloads).
    void setSerialLinkFactory(MaskDownloads::SerialLinkFactory factory);

    // The meter downloads' hand-over (see MaskGridPage).
    void refreshGridAndAverage(const DownloadLevels& levels);

    int channel() const { return m_data.CurrentChannel; }
    const TestGrid& grid() const;
    bool fitDone() const;
    bool narrow() const { return m_narrow; }

protected:
    void activate() override;
    void apply() override;
    QString exitTitle() const override { return QStringLiteral("KOV 2.0"); }
    bool busy() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void runActivation();
    bool askForMg24Folder();
    void showPage(QWidget* page);
    void setNote(const QString& text);
    void fitFinished(bool narrowWindow);
    void narrowToCorrections();
    void leaveNarrowView();
    void settleLayout();

    LumoData& m_data;

    bool m_narrow = false;
    bool m_narrowing = false;
    bool m_portChecked = false;
    // The narrowest width at which the whole fit page fits; widening a narrowed window that far shows it again.
    int m_fullWidth = 0;
    QSize m_fullSize;

    QLabel* m_labChan1 = nullptr;
    QLabel* m_datChan1 = nullptr;
    QStackedWidget* m_stages = nullptr;
    MaskSpecPage* m_specPage = nullptr;
    MaskGridPage* m_gridPage = nullptr;
    MaskMatchPage* m_matchPage = nullptr;
    QLabel* m_labNote = nullptr;
    QPushButton* m_cmdDone = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdUndo = nullptr;
    QPushButton* m_cmdRedo = nullptr;
};

}  // namespace kov
