#include <QApplication>
#include <QCommandLineParser>
#include <cstdlib>

#include "Program.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kov::ConfigureApplication();
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Commissions office sound-masking and paging systems. Opens the project file FILE, if named."));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("a project file (.MSK) to open"),
                                  QStringLiteral("[FILE]"));
    options.process(app);
    kov::Program program;
    // A file manager passes one file; of several, the first is the project and the rest are not opened.
    const QStringList files = options.positionalArguments();
    if (!program.start(files.isEmpty() ? QString() : files.first()))
        return EXIT_FAILURE;
    return app.exec();
}
