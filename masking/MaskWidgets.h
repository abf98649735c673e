#pragma once

#include <QGroupBox>
#include <QString>

#include "core/Verdict.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QWidget;

namespace kov {

// The small pieces every page of the Mask window is built from, so the pages look and behave alike.

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip = QString());
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString(),
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
// A framed read-out, right-aligned, wide enough for `widest`.
QLabel* MakeValue(QWidget* parent, const QString& name, const QString& widest);
// A wrapped note with room for `lines` lines, so that a longer text does not push the controls around it.
QLabel* MakeNote(QWidget* parent, const QString& name, int lines);

// The tolerances the channel is judged by, set beside the goal they go with.
class ToleranceBox : public QGroupBox {
    Q_OBJECT

public:
    explicit ToleranceBox(QWidget* parent = nullptr);

    Tolerance tolerance() const;
    // Shows `t` without telling anyone: it is what the channel already has.
    void setTolerance(const Tolerance& t);

signals:
    void changed(const Tolerance& t);

private:
    QDoubleSpinBox* m_band = nullptr;
    QDoubleSpinBox* m_level = nullptr;
    QDoubleSpinBox* m_position = nullptr;
};

}  // namespace kov
