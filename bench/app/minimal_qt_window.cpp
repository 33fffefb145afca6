// The references for the start-up benchmark: a Qt program that shows one empty window, or, given
// a text, the same window holding one label with that text (which adds the font system's start).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(594, 366);
    if (argc > 1)
        (new QLabel(QString::fromLocal8Bit(argv[1]), &window))->move(8, 8);
    window.show();
    return application.exec();
}
