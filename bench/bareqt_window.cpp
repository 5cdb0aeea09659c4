// SPDX-License-Identifier: GPL-3.0-or-later
// The references for the start-up figure: a bare Qt Widgets window; with "text", the same
// window with one line of text, which is what makes Qt load the font configuration. Like
// the game, each appends the time of its paints to VORLIN_PAINT_LOG when that names a file.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class Window final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        static const QByteArray log = qgetenv("VORLIN_PAINT_LOG");
        if (log.isEmpty())
            return;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (FILE* f = std::fopen(log.constData(), "a")) {
            std::fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fclose(f);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Window window;
    window.setWindowTitle(QStringLiteral("Vorlin "));
    window.resize(490, 390);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0)
        (new QLabel(QStringLiteral("Joueur noir"), &window))->move(20, 20);
    window.show();
    return QApplication::exec();
}
