// Creates the empty project database delivered in the application folder.
#include "common/core/Error.h"
#include "data/DatabaseFile.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: meridell_mkdb <path/to/project.mdb>\n");
        return 2;
    }
    try {
        meridell::data::createProjectDatabase(QString::fromLocal8Bit(argv[1]));
    } catch (const meridell::Error& e) {
        std::fprintf(stderr, "meridell_mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
