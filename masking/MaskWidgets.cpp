#include "masking/MaskWidgets.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace kov {

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, Qt::Alignment align)
{
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->setAlignment(align);
    return l;
}

QLabel* MakeValue(QWidget* parent, const QString& name, const QString& widest)
{
    QLabel* l = MakeLabel(parent, name, QString(), Qt::AlignRight | Qt::AlignVCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest) + 10);
    return l;
}

QLabel* MakeNote(QWidget* parent, const QString& name, int lines)
{
    QLabel* l = MakeLabel(parent, name, QString(), Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    l->setFixedHeight(lines * l->fontMetrics().lineSpacing() + 2 * l->margin());
    return l;
}

ToleranceBox::ToleranceBox(QWidget* parent) : QGroupBox(QStringLiteral("Tolerance"), parent)
{
    setObjectName(QStringLiteral("FramTolerance"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QFormLayout(this);
    const auto add = [&](const QString& name, const QString& caption, const QString& suffix, double step) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(name);
        box->setDecimals(1);
        box->setRange(LeastTolerance, LargestTolerance);
        box->setSingleStep(step);
        box->setSuffix(suffix);
        QLabel* label = MakeLabel(this, name + QStringLiteral("Caption"), caption);
        label->setBuddy(box);
        layout->addRow(label, box);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { emit changed(tolerance()); });
        return box;
    };
    m_band = add(QStringLiteral("DatBandTol"), QStringLiteral("Each &band \u00b1"), QStringLiteral(" dB"), 0.5);
    m_level = add(QStringLiteral("DatLevelTol"), QStringLiteral("O&verall \u00b1"), QStringLiteral(" dBA"), 0.1);
    m_position = add(QStringLiteral("DatPosMargin"), QStringLiteral("&Positions within"), QStringLiteral(" dBA"), 0.5);
    setTolerance({});
}

Tolerance ToleranceBox::tolerance() const
{
    return Tolerance{static_cast<f32>(m_band->value()), static_cast<f32>(m_level->value()),
                     static_cast<f32>(m_position->value())};
}

void ToleranceBox::setTolerance(const Tolerance& t)
{
    const QSignalBlocker band(m_band);
    const QSignalBlocker level(m_level);
    const QSignalBlocker position(m_position);
    m_band->setValue(t.band);
    m_level->setValue(t.level);
    m_position->setValue(t.position);
}

}  // namespace kov
