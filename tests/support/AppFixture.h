// One real MonitorApp for a whole test program, built under the test display with a
// private HOME, and the helpers the core tests share: event processing, reading and
// closing the message dialogs, monitor scripts, and emptying the server list.
#ifndef VANTOR_TEST_APP_FIXTURE_H
#define VANTOR_TEST_APP_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/MonsimProcess.h"
#include "tests/support/TempDir.h"
#include "app/MonitorApp.h"
#include "core/Connection.h"
#include "app/MonSOCKS5.h"

// The application object of the test program; built once, never deleted (its destructor
// ends the process).
MonitorApp* TheApp();
// The private HOME of the test program.
std::string TestHome();

// Handles the pending X events (not the timers).
void ProcessEvents();
// Handles the X events of the next 100 ms, while a new dialog is mapped and drawn.
void Settle();

// Runs the event loop's sources (X events, the pass's input and time-outs) until no poll
// is in progress; false when one still is after timeoutMs.
bool WaitForPass(int timeoutMs = 60000);
// One poll of the current server, to its end ("Update Now" as the event loop runs it).
void Poll();
// "Start", and the poll it begins run to its end.
void StartAndWait();

// The message dialogs posted since the last call, oldest first, as "title: text" (the text
// as shown, without the empty line the dialog adds at the end); they are closed.
using Messages = std::vector<std::string>;
Messages TakeMessages();

// Removes every server and closes what that posts, so that each test starts empty.
void RemoveAllServers();

// The start time of the scripted connections.
const long kStart = 1700000000;
// One "conn" line of a monitor script, started at kStart unless fields say otherwise.
std::string Conn(int key, const std::string& fields = "");
// The number a scripted connection was given with "key=".
int KeyNumber(const Connection* row);
// The simulator's arguments for a script of one pass per poll.
std::vector<std::string> Script(const std::vector<std::string>& passes);

// The fixture of tests that need the application with an empty server list.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The connection table's row count, the text of one of its cells, and its title.
    int Rows();
    std::string Cell(int column, int row);
    std::string Title();
    // Adds the simulator as the first server, shows its table and starts monitoring it
    // (one poll).
    SOCKS5* StartShowing(MonsimProcess& sim);
    MonitorApp* app = nullptr;
};

#endif
