// The Prometheus text exposition of every server's last poll, and the small index page.
#ifndef VANTOR_EXPORTER_METRICS_H
#define VANTOR_EXPORTER_METRICS_H

#include <memory>
#include <string>
#include <vector>

#include "lib/monMsg.h"
#include "tools/exporter/ServerAccount.h"

// What one server's poller publishes after each poll; the HTTP side only reads it.
struct ServerSnapshot {
    std::string name;    // the server label
    std::string address; // HOST:PORT as polled
    bool polled = false; // a poll has finished, well or not
    bool up = false;     // the last poll succeeded
    double pollDurationSeconds = 0;
    double lastPollSeconds = 0; // when the last poll that succeeded ended; 0 before one
    std::string lastError;      // why the last poll failed
    S5MonTot_t totals{};        // of the last poll, when up
    Tallies byService, byUser;
};

using Snapshots = std::vector<std::shared_ptr<const ServerSnapshot>>;

// A label value with backslash, double quote and line feed escaped.
std::string EscapeLabelValue(const std::string& value);

// Every metric family once, with its HELP and TYPE lines, then each server's samples.
std::string RenderMetrics(const Snapshots& servers);

// "/": links to /metrics and names each server, whether it is up and its last poll.
std::string RenderIndexPage(const Snapshots& servers);

#endif
