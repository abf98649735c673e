#include <QApplication>
#include <cstdlib>

#include "Program.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kov::ConfigureApplication();
    kov::Program program;
    if (!program.start())
        return EXIT_FAILURE;
    return app.exec();
}
