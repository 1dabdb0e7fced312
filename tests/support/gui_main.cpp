#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Windows under test are drawn offscreen unless the caller asks for a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test starts publishes games on a real network or asks a real router for a port;
    // only the tests inside their own network namespace do.
    if (qEnvironmentVariable("VREL_NETWORK_LAB") != QLatin1String("1"))
        qputenv("VREL_LOCAL_ONLY", "1");
    return RUN_ALL_TESTS();
}
