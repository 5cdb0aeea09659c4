// The references for the start-up figure: a bare Qt Widgets window; with "text", the same
// window with one line of text, which is what makes Qt load the font configuration.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Vorlin "));
    window.resize(490, 390);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0)
        (new QLabel(QStringLiteral("Joueur noir"), &window))->move(20, 20);
    window.show();
    return QApplication::exec();
}
