#pragma once

#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"
#include "spectra/SpectrumEditor.h"
#include "spectra/SpectrumEntry.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace kov {

class ReferencePlotFrame;

// LumoDB: looks at and changes the 21 entries of the spectrum database. Everything happens on working copies;
// Done (or the close box) checks them, hands them to the database and writes its file, and only a written file
// lets the window go.
class LumoDB : public LumoWindow {
    Q_OBJECT

public:
    LumoDB(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

    int selected() const { return m_selSpec; }
    const SpectraEdit& working() const { return m_edit; }
    ReferencePlotFrame* plotFrame() const { return m_plotFrame; }

protected:
    void activate() override;
    bool acceptDone() override;
    bool closeBoxIsDone() const override { return true; }
    QString exitTitle() const override { return QStringLiteral("KOV 2.0"); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    QWidget* buildTable();
    QGroupBox* buildOctaveFrame();
    QGroupBox* buildRelativeFrame();

    void selectSpectrum(int s);
    void showLevels();
    void drawSpectrum();
    void setNote(const QString& text);
    void showAWeight(bool blankWhenUnfilled);
    void stepLevels(int delta);
    void deleteSelected();

    void cellFocused(int band);
    void cellLeft(int band);
    void nameLeft();
    void octaveLeft(int box);
    void relativeLeft(int box);
    void openOctave();
    void openRelative();
    void createFromOctaves();
    void createFromRelative();
    void spectrumCreated(const QString& note);
    void commitFocusedEntry();
    bool moveFocus(QObject* watched, int key);

    LumoData& m_data;
    SpectraEdit m_edit;
    OctaveLevels m_octave;
    RelativeLevels m_relative;
    BandArray m_neutral;
    int m_selSpec = 0;
    int m_returnBand = 0;
    bool m_formReady = false;
    bool m_newSpectrum = false;

    Indexed<QRadioButton*, 0, 20> m_optSpec{};
    Indexed<QLineEdit*, FirstDataBand, LastDataBand> m_test1{};
    Indexed<QLineEdit*, 1, 7> m_test2{};
    Indexed<QLineEdit*, 1, 18> m_test3{};
    QStackedWidget* m_entry = nullptr;
    QWidget* m_table = nullptr;
    QGroupBox* m_framOctave = nullptr;
    QGroupBox* m_framRelative = nullptr;
    QLineEdit* m_txtSpec = nullptr;
    QLabel* m_datAWgt = nullptr;
    QLabel* m_labNote = nullptr;
    ReferencePlotFrame* m_plotFrame = nullptr;
    QPushButton* m_cmdUp = nullptr;
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdOctave = nullptr;
    QPushButton* m_cmdRelative = nullptr;
    QPushButton* m_cmdOctaveDone = nullptr;
    QPushButton* m_cmdRelDone = nullptr;
    QPushButton* m_cmdDone = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

}  // namespace kov
