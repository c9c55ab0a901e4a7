// pennaro-icon: writes the program's icon as a PNG of the given size, for
// the desktop entry that is installed with the program.
#include "app/program_icon.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pennaro-icon SIZE FILE.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16 || size > 1024 || !app::programIconImage(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "pennaro-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
