#pragma once

#include "app/appearance.h"

#include <QTest>

// All test classes are built into one executable, tallyforge_tests, which runs
// the one its first argument names: the test's file name, as CTest lists it.
//   tallyforge_tests tst_workflow [Qt Test options...]
// Each still runs in a process of its own.
namespace TestRunner {

using Run = int (*)(int argc, char *argv[]);

// Enrols `run` under the name of the test file `file` (its __FILE__).
int enrol(const char *file, Run run);

// The name the running test was started by, for a test that starts the
// executable again as a helper of its own.
QString current();

// With TALLYFORGE_FUZZ_SEEDS set to a folder, keeps `bytes` (a file a test made) there in the
// subfolder `fuzzTarget` (without its "fuzz_"), as a seed for that fuzz target.
void keepFuzzSeed(QStringView fuzzTarget, QByteArrayView bytes);

} // namespace TestRunner

// Enrols `function` as this file's main.
#define TALLYFORGE_TEST_RUN(function)                                                                                  \
    namespace {                                                                                                        \
    [[maybe_unused]] const int tallyforgeTestEnrolled = TestRunner::enrol(__FILE__, function);                         \
    }

// A test's main: the application set up as the program ships it (style,
// palette, fonts, icon, names), so every test sees the window a user sees.
#define TALLYFORGE_TEST_MAIN(TestObject)                                                                               \
    namespace {                                                                                                        \
    int runTest(int argc, char *argv[])                                                                                \
    {                                                                                                                  \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                                             \
        QTEST_MAIN_SETUP()                                                                                             \
        Appearance::setUpApplication();                                                                                \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }                                                                                                                  \
    }                                                                                                                  \
    TALLYFORGE_TEST_RUN(runTest)
