#pragma once

#include <QLineEdit>
#include <QListWidget>

#include "masking/MaskWindow.h"
#include "masking/TestGrid.h"
#include "tests/support/WindowTest.h"

namespace kov::test {

// The Mask window as the channel items of the Equalize System menu open it.
class MaskFixture : public WindowTest<Mask> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (int n = 1; n <= 6; ++n)
            setOpener(QStringLiteral("GoMask%1").arg(n), window, 8000, 8000);
    }

    Mask& open(int ch) { return WindowTest::open(QStringLiteral("GoMask%1").arg(ch)); }
    QLineEdit* cell(int n) const { return c<QLineEdit>(QStringLiteral("Test1_%1").arg(n)); }
    QLineEdit* cell(int test, int band) const { return cell(TestBandToCell(test, band)); }
    void clickEntry(int entry) const
    {
        auto* list = c<QListWidget>(QStringLiteral("LstSpec"));
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->data(Qt::UserRole).toInt() == entry)
                return clickOn(list->viewport(), list->visualItemRect(list->item(row)).center());
        }
        ADD_FAILURE() << "no list item for entry " << entry;
    }
    // Tests 1 to `count` typed from the first cell, test t 30 + 10 t dB in every band, Add Test between them.
    void typeTests(int count) const
    {
        cell(1)->setFocus();
        for (int t = 1; t <= count; ++t) {
            if (t > 1)
                press(QStringLiteral("CmdUpTest"));
            for (int k = 1; k <= GridBandCount; ++k)
                typeAndLeave(QString::number(30 + 10 * t));
        }
    }

    std::unique_ptr<Mask>& mask = window;
};

}  // namespace kov::test
