// Window tests run on Qt's offscreen platform unless ctest says otherwise, in
// a Brazilian locale (comma decimals, dd/MM/yyyy), and with none of the Qt
// settings of whoever runs them: no style, font DPI, scale factor or platform
// theme from the environment, but a dark palette, which the window must not
// take.
#include <QApplication>
#include <QPalette>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "app/carried_fonts.h"

int main(int argc, char** argv)
{
    for (const QString& name : QProcessEnvironment::systemEnvironment().keys()) {
        if (name.startsWith("QT_") && name != "QT_QPA_PLATFORM")
            qunsetenv(name.toLocal8Bit().constData());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "pt_BR.UTF-8");
    QApplication app(argc, argv);
    QPalette dark(Qt::white, QColor(0x30, 0x30, 0x30));  // as a dark desktop theme gives
    dark.setColor(QPalette::HighlightedText, Qt::black);
    QApplication::setPalette(dark);
    app::loadCarriedFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
