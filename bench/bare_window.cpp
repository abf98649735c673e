// The reference for KOV's start-up: the least a Qt program with KOV's menu bar does to show its main window. No
// data files, no logos, no project; the same menus and items, maximised as KOV's main window is.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Project File Name: None"));
    struct Menu {
        const char* title;
        QStringList items;
    };
    const Menu menus[] = {
        {"File", {"New", "Open", "Save", "Save As", "Review EQ File", "Locate MG24 Software", "Exit"}},
        {"Documents",
         {"Comm Port", "Open Word Data Sheet", "Open Excel Data Sheet", "Tutorial", "User Manual", "Meter Use",
          "DA2500 Use", "DU3001 Use", "ZUV-AR24 Use"}},
        {nullptr, {"Spectrum Database", "Printer Selection", "Project ID"}},
        {"Equalize System",
         {"Channel 1 Mask", "Channel 2 Mask", "Channel 3 Mask", "Channel 4 Mask", "Channel 5 Mask", "Channel 6 Mask",
          "Channel 1 Page", "Channel 2 Page", "Print Report", "Print Preview", "Export PDF"}},
    };
    for (const Menu& m : menus) {
        if (m.title == nullptr) {
            for (const QString& item : m.items)
                window.menuBar()->addAction(item);
            continue;
        }
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(m.title));
        for (const QString& item : m.items)
            menu->addAction(item);
    }
    window.showMaximized();
    return app.exec();
}
