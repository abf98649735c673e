#include "paging/ReviewWindow.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/LumoGetFileWindow.h"
#include "core/Numbers.h"
#include "core/WindowPlacement.h"
#include "paging/EqReview.h"

namespace kov {

namespace {

QLabel* Label(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A value the installer reads off: framed, so that an empty one still shows where it belongs.
QLabel* Value(QWidget* parent, const QString& name, int minimumChars)
{
    QLabel* l = Label(parent, name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QString(minimumChars, QLatin1Char('8'))) + 8);
    return l;
}

}  // namespace

Review::Review(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d)
{
    setObjectName(QStringLiteral("Review"));
    setWindowTitle(QStringLiteral("Setting Corrections to MG24 Equalizer"));

    auto* paging = new QHBoxLayout;
    paging->addWidget(buildPagingFrame(1));
    paging->addWidget(buildPagingFrame(2));
    // One masking line under the other: a line's eighteen bands read across, as on the generator's panel.
    auto* masking = new QVBoxLayout;
    for (int m = 3; m <= 6; ++m)
        masking->addWidget(buildMaskingFrame(m));

    auto* openButton = new QPushButton(QStringLiteral("Open file"), this);
    openButton->setObjectName(QStringLiteral("CmdDownload"));
    auto* doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("CmdDone"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(openButton);
    buttons->addWidget(doneButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(paging);
    layout->addLayout(masking);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(openButton, &QPushButton::clicked, this, &Review::openFile);
    connect(doneButton, &QPushButton::clicked, this, &LumoWindow::requestDone);
}

QGroupBox* Review::buildPagingFrame(int line)
{
    auto* frame = new QGroupBox(QStringLiteral("Ch %1 - Page").arg(line), this);
    frame->setObjectName(QStringLiteral("FramPage%1").arg(line));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(10);
    for (int row = 1; row <= 8; ++row)
        grid->addWidget(new QLabel(QStringLiteral("EQ Control %1").arg(row), frame), row - 1, 0);
    for (int label = 1; label <= 3; ++label) {
        const int index = ReviewMixIndex(line, label);
        m_labMix1(index) = Label(frame, QStringLiteral("LabMix1_%1").arg(index));
        m_labMix2(index) = Label(frame, QStringLiteral("LabMIx2_%1").arg(index));
        grid->addWidget(m_labMix1(index), 0, label);
        grid->addWidget(m_labMix2(index), 1, label);
    }
    for (int row = 3; row <= 8; ++row) {
        m_labMixRest(row, line) = Label(frame, QStringLiteral("LabMix%1_%2").arg(row).arg(line));
        grid->addWidget(m_labMixRest(row, line), row - 1, 1, 1, 3);
    }
    grid->setColumnStretch(4, 1);
    return frame;
}

QGroupBox* Review::buildMaskingFrame(int line)
{
    auto* frame = new QGroupBox(QStringLiteral("Ch %1 - Mask").arg(line), this);
    frame->setObjectName(QStringLiteral("FramMask%1").arg(line));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(new QLabel(QStringLiteral("1/3 Oct, dB"), frame), 1, 0);
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const int column = b - FirstDataBand + 1;
        auto* band = new QLabel(PlainNumber(static_cast<f32>(m_data.BandFreq(b))), frame);
        band->setAlignment(Qt::AlignCenter);
        QFont small = band->font();
        small.setPointSizeF(small.pointSizeF() - 2);
        band->setFont(small);
        grid->addWidget(band, 0, column);
        const int index = ReviewBandIndex(line, b);
        m_datFreq(index) = Value(frame, QStringLiteral("DatFreq_%1").arg(index), 4);
        m_datFreq(index)->setFont(small);
        grid->addWidget(m_datFreq(index), 1, column);
    }
    const int i = line - 2;
    auto* filters = new QHBoxLayout;
    filters->setContentsMargins(0, 0, 0, 0);
    m_labFlNew(i) = Value(frame, QStringLiteral("LabFlNew_%1").arg(i), 5);
    m_labFhNew(i) = Value(frame, QStringLiteral("LabFhNew_%1").arg(i), 5);
    m_labGain(i) = Value(frame, QStringLiteral("LabGain_%1").arg(i), 5);
    filters->addWidget(new QLabel(QStringLiteral("High Cut, Hz"), frame));
    filters->addWidget(m_labFlNew(i));
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("Low Cut, Hz"), frame));
    filters->addWidget(m_labFhNew(i));
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("Level Change"), frame));
    filters->addWidget(m_labGain(i));
    filters->addStretch();
    grid->addLayout(filters, 2, 0, 1, LastDataBand - FirstDataBand + 2);
    return frame;
}

void Review::activate()
{
    if (m_data.ReviewPending)
        showEqFile();
    m_data.ReviewPending = 0;
}

void Review::openFile()
{
    m_data.GetFileMode = 2;
    m_data.ReviewPending = 1;
    // The Open window brings this one back when it closes, whether a file was read or not.
    setEnabled(false);
    auto* chooser = new LumoGetFile(m_data, prompter(), mainWindow());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setReviewOpener([review = QPointer<Review>(this)] {
        if (review == nullptr)
            return;
        review->setEnabled(true);
        review->raise();
        review->activateWindow();
    });
    m_chooser = chooser;
    CenterAndShowForm(chooser, 3700, 4325);
}

void Review::changeEvent(QEvent* event)
{
    LumoWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isEnabled() && m_chooser != nullptr)
        QMetaObject::invokeMethod(this, &Review::bringChooserForward, Qt::QueuedConnection);
}

void Review::bringChooserForward()
{
    if (m_chooser == nullptr || !m_chooser->isVisible() || isEnabled())
        return;
    m_chooser->raise();
    m_chooser->activateWindow();
}

void Review::showEqFile()
{
    const EqFileReview review = ShowEqFile(m_data);
    for (int line = 1; line <= 2; ++line) {
        const std::optional<ReviewPagingLine>& shown = review.paging(line);
        if (!shown)
            continue;
        for (int label = 1; label <= 3; ++label) {
            const int index = ReviewMixIndex(line, label);
            m_labMix1(index)->setText(shown->control1[static_cast<std::size_t>(label - 1)]);
            m_labMix2(index)->setText(shown->control2[static_cast<std::size_t>(label - 1)]);
        }
        for (int row = 3; row <= 8; ++row)
            m_labMixRest(row, line)->setText(shown->bypassed);
    }
    for (int m = 3; m <= 6; ++m) {
        const std::optional<ReviewMaskingLine>& shown = review.masking(m);
        if (!shown)
            continue;
        m_labFlNew(m - 2)->setText(shown->highCut);
        m_labFhNew(m - 2)->setText(shown->lowCut);
        m_labGain(m - 2)->setText(shown->gain);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            m_datFreq(ReviewBandIndex(m, b))->setText(shown->bandTexts(b));
    }
}

}  // namespace kov
