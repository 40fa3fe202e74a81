// The yardstick for start-up: a bare Qt main window with a text edit and nothing else.

#include <QApplication>
#include <QMainWindow>
#include <QTextEdit>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setCentralWidget(new QTextEdit);
    window.resize(520, 360);
    window.show();
    return QApplication::exec();
}
