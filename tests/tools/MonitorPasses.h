// Passes over a monitoring service's connection records through the client library, as the
// proxy's tests read what it lists.
#ifndef VANTOR_TEST_MONITORPASSES_H
#define VANTOR_TEST_MONITORPASSES_H

#include <functional>
#include <string>
#include <vector>

#include "lib/monAPI.h"

typedef std::vector<S5MonData> Records;

// One pass over the connections of the service at "host:port".
Records listPass(const std::string& server);
// Passes until one satisfies `done` (records change a moment after the clients have
// finished), or a time limit; returns the last pass.
Records passUntil(const std::string& server, const std::function<bool(const Records&)>& done);
// Passes until at least count records have ended.
Records waitForEnded(const std::string& server, size_t count);

#endif
