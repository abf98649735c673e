#pragma once

#include <QPointer>

#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"

class QLabel;
class QGroupBox;

namespace kov {

// Review: what an EQ file of the ZUV-AR24 holds, shown for checking or copying by hand: the parametric EQ of the
// two paging inputs and the corrections, gain and filters of the four masking lines. "Open file" chooses the file
// through the Open window (mode 2); the window only shows the EQ-file image the reader filled.
class Review : public LumoWindow {
    Q_OBJECT

public:
    Review(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

protected:
    void activate() override;
    // Nothing is edited here.
    bool confirmDiscard() override { return true; }
    // While the Open window chooses a file this window is disabled; a click on it means that window.
    void changeEvent(QEvent* event) override;

private:
    QGroupBox* buildPagingFrame(int line);
    QGroupBox* buildMaskingFrame(int line);
    void openFile();
    void showEqFile();
    void bringChooserForward();

    LumoData& m_data;
    QPointer<QWidget> m_chooser;
    // LabMix1 and LabMIx2: three labels per paging line (1..3 line 1, 4..6 line 2); LabMix3..LabMix8 one each.
    Indexed<QLabel*, 1, 6> m_labMix1{};
    Indexed<QLabel*, 1, 6> m_labMix2{};
    Indexed2<QLabel*, 3, 8, 1, 2> m_labMixRest{};
    Indexed<QLabel*, 1, 4> m_labFlNew{};
    Indexed<QLabel*, 1, 4> m_labFhNew{};
    Indexed<QLabel*, 1, 4> m_labGain{};
    Indexed<QLabel*, 22, 99> m_datFreq{};
};

}  // namespace kov
