#pragma once
// What the tests of launching share: the clients' URIs as the handler must
// receive them, and the program started with its handler recording to a log
// named after the running test.

#include <gtest/gtest.h>

#include <string>

#include "Harness.h"

namespace e2e {

inline const std::string kQQ = "tencent://Message/?Menu=YES&Exe=&Uin=";
inline const std::string kTM = "tencent://buddy/?Menu=Yes&type=101&peeruin=";

class RecordingTest : public ::testing::Test {
protected:
    static std::string testName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    RecorderLog log{testName()};
    App app{Launch{-1, log.path(), {}}};
};

}  // namespace e2e
