// The floor for start-up: the smallest Qt Widgets program, one window with
// one button.
#include <QApplication>
#include <QPushButton>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPushButton button(QStringLiteral("Quorvane"));
    button.resize(590, 590);
    button.show();
    return QApplication::exec();
}
