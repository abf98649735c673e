#include "report/LumoPrinterWindow.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>
#include <functional>

#include "core/LumoMainWindow.h"
#include "core/Message.h"
#include "report/PainterCanvas.h"
#include "report/PrinterData.h"

namespace kov {

// The list of installed printers, which tells when the keyboard moved to another entry.
class PrinterList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(const QListWidgetItem*)> onKeyboardMove;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

void PrinterList::keyPressEvent(QKeyEvent* event)
{
    const QListWidgetItem* before = currentItem();
    QListWidget::keyPressEvent(event);
    if (currentItem() != nullptr && currentItem() != before && onKeyboardMove)
        onKeyboardMove(currentItem());
}

LumoPrinter::LumoPrinter(ProgramPrinter& printer, Prompter& prompter, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_printer(printer)
{
    setObjectName(QStringLiteral("LumoPrinter"));
    setWindowTitle(QStringLiteral("Printer Selection"));
    buildControls();
}

LumoPrinter::~LumoPrinter()
{
    // Taken down while open (with the program): the main window must not stay out of sight.
    showMainAgain();
}

void LumoPrinter::buildControls()
{
    m_printers = new PrinterList(this);
    m_printers->setObjectName(QStringLiteral("ListPrinter"));
    m_printers->setToolTip(QStringLiteral("List of available printers"));

    m_frame = new QGroupBox(QStringLiteral("Set Current Printer"), this);
    m_frame->setObjectName(QStringLiteral("FramPrinter"));
    m_frame->setToolTip(QStringLiteral("Characteristics of current printer"));
    m_data = new QListWidget(m_frame);
    m_data->setObjectName(QStringLiteral("ListPrinterData"));
    m_data->setSelectionMode(QAbstractItemView::NoSelection);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(m_data);

    auto* orient = new QPushButton(QStringLiteral("Change Printer Orientation"), this);
    orient->setObjectName(QStringLiteral("CmdOrient"));
    m_testPrint = new QPushButton(QStringLiteral("Test Printer Connection"), this);
    m_testPrint->setObjectName(QStringLiteral("CmdPrt"));
    m_testPrint->setToolTip(QStringLiteral("Print a test sheet to the current printer"));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("CmdDone"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_printers, 1);
    layout->addWidget(m_frame, 0);
    layout->addWidget(orient);
    layout->addWidget(m_testPrint);
    layout->addWidget(done);

    // A click chooses, also on the entry already chosen (which brings the printer back to portrait); so does
    // moving along the list with the keyboard. The list taking the focus, or the window marking the printer in
    // use, chooses nothing.
    connect(m_printers, &QListWidget::itemClicked, this, &LumoPrinter::choosePrinter);
    m_printers->onKeyboardMove = [this](const QListWidgetItem* item) { choosePrinter(item); };
    connect(orient, &QPushButton::clicked, this, &LumoPrinter::changeOrientation);
    connect(m_testPrint, &QPushButton::clicked, this, &LumoPrinter::testPrint);
    connect(done, &QPushButton::clicked, this, &LumoWindow::requestDone);
}

void LumoPrinter::showEvent(QShowEvent* event)
{
    LumoWindow::showEvent(event);
    if (!event->spontaneous())
        hideMain();
}

void LumoPrinter::activate()
{
    m_printers->clear();
    const QStringList installed = ProgramPrinter::installedPrinters();
    for (int i = 0; i < installed.size(); ++i) {
        auto* item = new QListWidgetItem(installed[i], m_printers);
        item->setData(Qt::UserRole, i);
        // Marked only: the printer in use keeps its orientation.
        if (m_printer.hasPrinter() && installed[i] == m_printer.deviceName())
            m_printers->setCurrentItem(item);
    }
    updateEnabled();
    showPrinterData();
}

void LumoPrinter::updateEnabled()
{
    const bool printer = m_printer.hasPrinter();
    m_frame->setEnabled(printer);
    m_testPrint->setEnabled(printer);
}

void LumoPrinter::showPrinterData()
{
    // The report prints in this face from now on, whichever printer is chosen.
    m_printer.font().name = QStringLiteral("Times New Roman");
    const PrinterCharacteristics c = m_printer.characteristics();
    m_data->clear();
    m_data->addItems(PrinterDataLines(c));
    // Every characteristic in sight at once, whatever the desktop's font: the window grows rather than scrolls.
    m_data->setMinimumHeight(m_data->sizeHintForRow(0) * m_data->count() + 2 * m_data->frameWidth() +
                             m_data->horizontalScrollBar()->sizeHint().height());

    // A system without the face prints in the nearest one it has; the installer should know before printing.
    const QString printed = PainterCanvas::PrintedFamily(c.fontName);
    if (printed.compare(c.fontName, Qt::CaseInsensitive) == 0)
        return;
    const QList<QListWidgetItem*> fontLine = m_data->findItems(QStringLiteral("Font: ") + c.fontName, Qt::MatchExactly);
    for (QListWidgetItem* item : fontLine)
        item->setToolTip(QStringLiteral("Printed in %1, the nearest font this system has").arg(printed));
}

void LumoPrinter::choosePrinter(const QListWidgetItem* item)
{
    // The entry holds the printer's place in the system's list; a printer removed since then is chosen by the
    // name the installer clicked, so the refusal names it.
    const int position = item->data(Qt::UserRole).toInt();
    const QStringList installed = ProgramPrinter::installedPrinters();
    const QString name = position >= 0 && position < installed.size() ? installed[position] : item->text();
    const QString reason = m_printer.choose(name);
    updateEnabled();
    if (!reason.isEmpty()) {
        ShowMessage(prompter(), Message{reason, QStringLiteral("Printer Choice Error"), MsgIcon::Exclamation});
        return;
    }
    showPrinterData();
}

void LumoPrinter::changeOrientation()
{
    m_printer.setOrientation(ToggledOrientation(m_printer.orientation()));
    showPrinterData();
}

void LumoPrinter::testPrint()
{
    std::optional<Message> failure;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        const std::unique_ptr<PrintJob> job = m_printer.startDocument(QStringLiteral("KOV test print"));
        failure = PrintTestPage(job->canvas());
    }
    if (failure)
        ShowMessage(prompter(), *failure);
}

void LumoPrinter::hideMain()
{
    LumoMain* main = mainWindow();
    // A window built as the main window's child would go out of sight with it, and nothing would be left on the
    // screen; the program builds it without a parent.
    if (main == nullptr || !main->isVisible() || main->isAncestorOf(this))
        return;
    // Nothing is left to stay above, and a window manager may withdraw a transient together with its parent.
    if (windowHandle() != nullptr)
        windowHandle()->setTransientParent(nullptr);
    main->hide();
    m_mainHidden = true;
}

void LumoPrinter::closed()
{
    showMainAgain();
}

void LumoPrinter::showMainAgain()
{
    if (!std::exchange(m_mainHidden, false))
        return;
    if (LumoMain* main = mainWindow()) {
        main->show();
        main->activateWindow();
    }
}

}  // namespace kov
