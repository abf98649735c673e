#pragma once

#include "core/LumoWindow.h"
#include "report/ProgramPrinter.h"

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kov {

class LumoMain;
class PrinterList;

// Printer Selection: which installed printer the program prints to, in which orientation, what it is like, and
// a one-line test page. Everything acts on the program's printer object at once, so there is nothing to keep or
// throw away when the window closes. The main window is out of sight while it is open.
class LumoPrinter : public LumoWindow {
    Q_OBJECT

public:
    LumoPrinter(ProgramPrinter& printer, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);
    ~LumoPrinter() override;

protected:
    void activate() override;
    bool closeBoxIsDone() const override { return true; }
    void closed() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void showPrinterData();
    void choosePrinter(const QListWidgetItem* item);
    void changeOrientation();
    void testPrint();
    void updateEnabled();
    void hideMain();
    void showMainAgain();

    ProgramPrinter& m_printer;
    PrinterList* m_printers = nullptr;
    QGroupBox* m_frame = nullptr;
    QListWidget* m_data = nullptr;
    QPushButton* m_testPrint = nullptr;
    bool m_mainHidden = false;
};

}  // namespace kov
