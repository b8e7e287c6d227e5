// The DPI model's rounding against the system's own MulDiv, which the layout used before it.
#include "platform/DpiModel.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace lapforge::platform;

TEST(MulDivRounded, AgreesWithTheSystem) {
    for (const int denominator : {1440, 96, 7, 2}) {
        for (const int numerator : {72, 96, 108, 120, 144, 168, 192, 240, 288, -120}) {
            for (int value = -5000; value <= 5000; value += 3) {
                if (MulDivRounded(value, numerator, denominator) != MulDiv(value, numerator, denominator))
                    FAIL() << value << " * " << numerator << " / " << denominator << ": "
                           << MulDivRounded(value, numerator, denominator) << ", the system says "
                           << MulDiv(value, numerator, denominator);
            }
        }
    }
}
