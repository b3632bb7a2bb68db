#pragma once

#include "app/appearance.h"

#include <QTest>

// A test's main: the application set up as the program ships it (style,
// palette, fonts, icon, names), so every test sees the window a user sees.
#define TALLYFORGE_TEST_MAIN(TestObject)                                                                               \
    QTEST_MAIN_WRAPPER(TestObject, QTEST_MAIN_SETUP() Appearance::setUpApplication();)
