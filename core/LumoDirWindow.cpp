#include "core/LumoDirWindow.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/FolderFile.h"
#include "core/Tables.h"

namespace kov {

namespace {

const QString PortNote = QStringLiteral(
    "Enter the serial port number for the Larson-Davis 824. Minimize the program, then in Windows press "
    "Start/Settings/Control Panel/System/Ports to determine which ports are available.");
const QString PortZeroNote = QStringLiteral(
    "The Port number is not correct. Use Windows/Settings/Control Panel/System/Ports to determine which ports are "
    "available.  Press CANCEL.");

enum PortColumn { ColumnPort, ColumnDescription, ColumnManufacturer, ColumnDevice, ColumnCount };

// Where a row keeps its place in the listed ports; the "nothing found" row has none.
constexpr int RowRole = Qt::UserRole;

// Focus that leaves for a message box, a menu or another program is no leaving of the control.
bool LeavesTheControl(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

LumoDir::LumoDir(LumoData& d, Prompter& prompter, LumoMain* main, SerialPortLister listPorts, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d), m_lister(std::move(listPorts))
{
    setObjectName(QStringLiteral("LumoDir"));
    setWindowTitle(QStringLiteral("Communications Port for Download"));
    buildControls();
}

void LumoDir::buildControls()
{
    auto* labPort = new QLabel(QStringLiteral("Serial Port Number"), this);
    labPort->setObjectName(QStringLiteral("LabPort"));
    m_txtPort = new QLineEdit(this);
    m_txtPort->setObjectName(QStringLiteral("TxtPort"));
    m_txtPort->setMaximumWidth(m_txtPort->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    m_txtPort->installEventFilter(this);
    labPort->setBuddy(m_txtPort);

    m_cmdDone = new QPushButton(QStringLiteral("Done"), this);
    m_cmdDone->setObjectName(QStringLiteral("CmdDone"));
    m_cmdDone->setToolTip(QStringLiteral("Record changes and exit"));
    m_cmdDone->installEventFilter(this);
    auto* cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("Exit without recording changes"));

    auto* top = new QHBoxLayout;
    top->addWidget(labPort);
    top->addWidget(m_txtPort);
    top->addStretch();
    top->addWidget(m_cmdDone);
    top->addWidget(cmdCancel);

    m_labNote = new QLabel(this);
    m_labNote->setObjectName(QStringLiteral("LabNote"));
    m_labNote->setWordWrap(true);
    // The note comes and goes with the focus; the window must not jump when it does.
    m_labNote->setMinimumHeight(m_labNote->fontMetrics().lineSpacing() * 3);
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The list spares the installer the hunt for which port the meter's cable is on.
    auto* labPorts = new QLabel(QStringLiteral("Serial ports on this computer (click one to use it):"), this);
    labPorts->setObjectName(QStringLiteral("LabPorts"));
    auto* cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("CmdRefresh"));
    cmdRefresh->setToolTip(QStringLiteral("List the serial ports again, after plugging in an adapter"));
    auto* listHead = new QHBoxLayout;
    listHead->addWidget(labPorts);
    listHead->addStretch();
    listHead->addWidget(cmdRefresh);

    m_lstPorts = new QTreeWidget(this);
    m_lstPorts->setObjectName(QStringLiteral("LstPorts"));
    m_lstPorts->setColumnCount(ColumnCount);
    m_lstPorts->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Description"), QStringLiteral("Manufacturer"),
                                 QStringLiteral("Device")});
    m_lstPorts->setRootIsDecorated(false);
    m_lstPorts->setUniformRowHeights(true);
    m_lstPorts->header()->setStretchLastSection(true);
    m_lstPorts->setMinimumHeight(m_lstPorts->fontMetrics().lineSpacing() * 6);

    m_labInUse = new QLabel(this);
    m_labInUse->setObjectName(QStringLiteral("LabInUse"));
    m_labInUse->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_labNote);
    layout->addLayout(listHead);
    layout->addWidget(m_lstPorts, 1);
    layout->addWidget(m_labInUse);

    connect(m_txtPort, &QLineEdit::textEdited, this, [this] {
        m_typed = true;
        filterTyping();
    });
    connect(m_txtPort, &QLineEdit::returnPressed, this, [this] { m_cmdDone->setFocus(Qt::TabFocusReason); });
    // A click picks a port; moving through the list with the arrow keys does not, Enter on a row does.
    connect(m_lstPorts, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { pickListed(item); });
    connect(m_lstPorts, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { pickListed(item); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] {
        listPorts();
        showChoice();
    });
    connect(m_cmdDone, &QPushButton::clicked, this, &LumoDir::done);
    connect(cmdCancel, &QPushButton::clicked, this, &LumoDir::cancel);
}

void LumoDir::activate()
{
    m_edited = {m_data.CommPort, m_data.CommDevice};
    showPortInBox();
    listPorts();
    showChoice();
}

void LumoDir::filterTyping()
{
    if (m_filtering)
        return;
    const QString text = m_txtPort->text();
    if (text.isEmpty() || CheckAllowedChars(text, DigitsAndPoint) != 0)
        return;
    const QScopedValueRollback filtering(m_filtering, true);
    m_txtPort->backspace();
}

bool LumoDir::leavePortBox()
{
    const PortBoxExit exit = LeavePortBox(m_txtPort->text());
    if (exit.port) {
        m_edited.port = *exit.port;
        if (m_typed)
            m_edited.device.clear();
    } else if (!exit.refusal.isEmpty()) {
        prompter().message(exit.refusal, QStringLiteral("Port Error"), MsgIcon::None, MsgButtons::OkCancel);
    }
    // The box shows the port that stays, so a refused or empty entry cannot pass for the port Done stores.
    showPortInBox();
    showChoice();
    return exit.refusal.isEmpty();
}

void LumoDir::showPortInBox()
{
    m_txtPort->setText(PortBoxText(m_edited.port));
    m_typed = false;
}

void LumoDir::listPorts()
{
    m_ports = m_lister ? m_lister() : std::vector<SerialPortEntry>{};
    m_lstPorts->clear();
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        const SerialPortEntry& e = m_ports[i];
        auto* item = new QTreeWidgetItem(m_lstPorts);
        item->setText(ColumnPort, ListedPortName(e));
        item->setText(ColumnDescription, e.description);
        item->setText(ColumnManufacturer, e.manufacturer);
        item->setText(ColumnDevice, e.systemLocation);
        item->setData(ColumnPort, RowRole, static_cast<int>(i));
    }
    if (m_ports.empty()) {
        auto* none = new QTreeWidgetItem(m_lstPorts);
        none->setText(ColumnPort, QStringLiteral("No serial ports found"));
        none->setFlags(Qt::NoItemFlags);
    }
    for (int c = 0; c < ColumnDevice; ++c)
        m_lstPorts->resizeColumnToContents(c);
}

void LumoDir::pickListed(QTreeWidgetItem* item)
{
    if (item == nullptr || !item->data(ColumnPort, RowRole).isValid())
        return;
    const auto row = static_cast<std::size_t>(item->data(ColumnPort, RowRole).toInt());
    if (row >= m_ports.size())
        return;
    m_edited = ChooseListedPort(m_ports[row], m_edited.port);
    showPortInBox();
    showChoice();
}

void LumoDir::showChoice()
{
    m_labInUse->setText(PortInUseText({m_data.CommPort, m_data.CommDevice}, m_edited, m_ports));
    const int row = ListedPortRow(m_ports, m_edited);
    const QSignalBlocker quiet(m_lstPorts);
    if (row < 0) {
        m_lstPorts->clearSelection();
        m_lstPorts->setCurrentItem(nullptr);
    } else {
        m_lstPorts->setCurrentItem(m_lstPorts->topLevelItem(row));
    }
}

bool LumoDir::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtPort) {
        if (event->type() == QEvent::FocusIn)
            m_labNote->setText(PortNote);
        else if (event->type() == QEvent::FocusOut && LeavesTheControl(event))
            leavePortBox();
    } else if (watched == m_cmdDone && event->type() == QEvent::FocusIn) {
        m_labNote->clear();
    }
    return LumoWindow::eventFilter(watched, event);
}

void LumoDir::done()
{
    // A press that did not take the focus out of the box (a shortcut, or the window not active) still means the
    // number the box shows.
    if (m_txtPort->text() != PortBoxText(m_edited.port) && !leavePortBox())
        return;
    requestDone();
}

bool LumoDir::acceptDone()
{
    if (m_edited.port == 0) {
        m_labNote->setText(PortZeroNote);
        return false;
    }
    m_data.CommPort = m_edited.port;
    m_data.CommDevice = m_edited.device;
    // The new port is in use from here on, as the message of a failed write says; the window stays open so the
    // installer learns it was not stored and can try Done again.
    if (!WriteFolderFile(m_data, prompter())) {
        showChoice();
        return false;
    }
    return true;
}

void LumoDir::cancel()
{
    const QScopedValueRollback cancelling(m_cancelling, true);
    requestCancel();
}

bool LumoDir::hasUnstoredChanges() const
{
    const bool typedAndKept = !m_txtPort->text().trimmed().isEmpty() && m_txtPort->text() != PortBoxText(m_edited.port);
    return m_edited.port != m_data.CommPort || m_edited.device != m_data.CommDevice || typedAndKept;
}

bool LumoDir::confirmDiscard()
{
    // Cancel means what its tool tip says and asks nothing; the close box and the end of the program go quietly
    // only when nothing chosen here would be thrown away.
    if (m_cancelling || !hasUnstoredChanges())
        return true;
    return LumoWindow::confirmDiscard();
}

}  // namespace kov
