#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test starts publishes games on a real network or asks a real router for a port;
    // only the tests inside their own network namespace do.
    if (qEnvironmentVariable("VREL_NETWORK_LAB") != QLatin1String("1"))
        qputenv("VREL_LOCAL_ONLY", "1");
    return RUN_ALL_TESTS();
}
