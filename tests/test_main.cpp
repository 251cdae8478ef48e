#include <QApplication>
#include <gtest/gtest.h>

// Every test program runs inside a QApplication (offscreen in CTest), so the
// tests of the window, the text layout and the alerts have the objects they
// need.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
