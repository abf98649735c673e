#pragma once

#include <vector>

#include "core/CommPort.h"
#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kov {

class LumoMain;

// Communications Port for Download: the serial port the LD824 is read over. The port is typed as its COM number
// or picked from the ports the system lists; both are kept in the window and reach the data and the folder file
// only with Done.
class LumoDir : public LumoWindow {
    Q_OBJECT

public:
    // `listPorts` may be empty: the list then stays empty. `main` may be null where there is no main window.
    LumoDir(LumoData& d, Prompter& prompter, LumoMain* main, SerialPortLister listPorts = {},
            QWidget* parent = nullptr);

    const PortChoice& edited() const { return m_edited; }

protected:
    void activate() override;
    bool acceptDone() override;
    bool confirmDiscard() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void filterTyping();
    // Takes the box's number; false when the box held something that is no port (the message has been shown).
    bool leavePortBox();
    void showPortInBox();
    void listPorts();
    void pickListed(QTreeWidgetItem* item);
    void showChoice();
    bool hasUnstoredChanges() const;
    void done();
    void cancel();

    LumoData& m_data;
    SerialPortLister m_lister;
    std::vector<SerialPortEntry> m_ports;
    PortChoice m_edited;
    // A number typed since the box last showed the port: it means a built-in port, so it replaces a device.
    bool m_typed = false;
    bool m_filtering = false;
    bool m_cancelling = false;

    QLineEdit* m_txtPort = nullptr;
    QLabel* m_labNote = nullptr;
    QLabel* m_labInUse = nullptr;
    QTreeWidget* m_lstPorts = nullptr;
    QPushButton* m_cmdDone = nullptr;
};

}  // namespace kov
