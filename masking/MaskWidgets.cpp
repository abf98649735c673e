#include "masking/MaskWidgets.h"

#include <QLabel>
#include <QPushButton>

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

}  // namespace kov
