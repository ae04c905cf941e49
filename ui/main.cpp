#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brindle Analyzer");
    QMainWindow window;
    window.setWindowTitle("Brindle Analyzer");
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
