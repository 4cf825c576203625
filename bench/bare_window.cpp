// The yardstick of bench_startup: a Qt main window with nothing in it, shown as gyvkt shows its
// own, maximized.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.showMaximized();
    return QApplication::exec();
}
