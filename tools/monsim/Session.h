// One client of the simulator: reads requests, answers them, and misbehaves on purpose.
#ifndef VANTOR_MONSIM_SESSION_H
#define VANTOR_MONSIM_SESSION_H

#include "tools/monsim/Scenario.h"

#include <memory>
#include <mutex>
#include <string>

enum class Fault {
    None,
    CloseBeforeAnswer, // read the request, close without a reply
    CloseInsideFrame,  // announce a frame, send part of it, close
    Oversize,          // each pass starts with a 3000-byte frame
    SplitPrefix,       // every length prefix goes out in two writes
    BadDescriptors,    // descriptors point outside the message and exceed their fields
    UserVersion11,     // user replies carry version 1.1
    Stall,             // read the request, never answer
    Endless,           // a list that never ends: its records again and again, no empty frame
    Trickle,           // every frame a byte at a time, 200 ms apart
    Slow               // ten records, one every 2 s, then the end: every pass takes 20 s
};

bool ParseFault(const std::string& name, Fault& fault);

// State shared by all sessions: the scenario, the pass counter and the request log.
struct Simulator {
    Scenario scenario;
    Fault fault = Fault::None;
    int passesServed = 0;
    std::shared_ptr<Pass> lastPass = std::make_shared<Pass>();
    // A generated pass is made ahead while the client works on the last one, as a real
    // server has its table ready when asked: nextPass is pass number nextPassNumber.
    std::shared_ptr<Pass> nextPass;
    int nextPassNumber = 0;
    std::shared_ptr<Pass> sparePass; // memory of an earlier pass, to make the next one in
    FILE* requestLog = nullptr;
    std::mutex lock;

    void logLine(const std::string& line);
    // Under the lock: counts a list request and makes its pass the last one.
    void takeNextPass();
    // Without the lock: makes the pass after the last one ahead of its request.
    void prepareNextPass();
};

void ServeClient(Simulator& sim, int fd);

#endif
