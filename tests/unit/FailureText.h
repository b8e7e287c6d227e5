#pragma once

#include "core/Failure.h"

#include <gtest/gtest.h>

#include <string>

// The text of the Failure the action throws; when it throws none, a test failure and "".
template <typename Action>
std::string FailureText(Action&& action) {
    try {
        action();
    } catch (const lapforge::Failure& failure) {
        return failure.what();
    }
    ADD_FAILURE() << "no failure";
    return {};
}
