// main() of the GoogleTest suites in the Windows build: a QCoreApplication
// exists for the whole run, as in the program, so that Qt finds the plugins
// beside the test program (the SQL drivers) as it finds them beside
// quillmark.exe.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
