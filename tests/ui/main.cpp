// Window tests run on Qt's offscreen platform unless told otherwise, in a
// Brazilian locale (comma decimals, dd/MM/yyyy), with a steady text cursor so
// that grabbed images do not depend on the moment.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "pt_BR.UTF-8");
    QApplication app(argc, argv);
    QApplication::setCursorFlashTime(0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
