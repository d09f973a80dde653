#pragma once
// The real game program in a fresh copy of its folder with the generated
// data set beside it (data_set.h), started on a test's own X server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/x_session.h"

namespace test {

// "status N", "signal N", ... of a wait status.
std::string DescribeExit(int status);

class GameProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override { ASSERT_EQ(dataFault_, ""); }

    static std::string File(const std::string& name) { return folder_->file(name); }
    static std::string Folder() { return folder_->path().string(); }

    // The game on the session's display, with no sound device; its standard
    // error goes to game.txt.
    std::unique_ptr<ChildProcess> StartGame(const XSession& session);

    // Types space until screenshot `n` exists (a key typed within one slow
    // frame, or before the window is up, can go unseen); its path, or empty
    // when the game ended or none came within `limit`.
    std::string Screenshot(XSession& session, ChildProcess& game, int n, std::chrono::seconds limit);

    // The value of one of the running game's int32_t globals, read from its
    // memory at the address its symbol table gives: what scene or menu it
    // is in, without the game reporting it. Empty when it cannot be read.
    std::optional<int32_t> ReadGlobal(const ChildProcess& game, const std::string& symbol);

    // Waits until `done` holds, polling; false when the game ended or
    // `limit` passed first.
    bool WaitUntil(ChildProcess& game, const std::function<bool()>& done, std::chrono::seconds limit);
    // Holds the key down until `done` holds, so that the game sees exactly
    // one press however slow its frames are, and returns once it has seen
    // the release; false as WaitUntil.
    bool HoldUntil(XSession& session, ChildProcess& game, unsigned long keysym, const std::function<bool()>& done,
                   std::chrono::seconds limit);

    // Types escape; the game must end with status 0 within 20 s.
    void ExpectEscapeEndsTheGame(XSession& session, ChildProcess& game);

private:
    static TempDir* folder_;
    static std::map<std::string, uint64_t> symbols_;  // the game's globals by name: their offsets in the file
    static std::string dataFault_;
};

}  // namespace test
