// The exporter's accounting of one server (see ServerAccount.h): the same rules as the
// window's ledger, so that its counters agree with what the window shows.
#include "tools/exporter/ServerAccount.h"

#include <arpa/inet.h>
#include <string.h>

#include "core/ConnectionRows.h"

const char kOtherUsers[] = "other";
const char kNoUser[] = "-";

namespace {

// A service name as its label: the blanks that pad a buffer are not part of it.
std::string Trimmed(const char* text)
{
    std::string s = text ? text : "";
    size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

ServerAccount::ServerAccount(const Setting& services, int maxUsers)
    : services_(services), maxUsers_(maxUsers > 0 ? static_cast<size_t>(maxUsers) : 0)
{
    // Every service has its series from the start, so that a rate over them is defined.
    for (int i = 0; i < SETTING_SERVICES; i++) {
        // Service 0 ("Others") is always there; the rest only when chosen in the settings.
        if (i == 0 || services_.serviceSelected[i] == 1) {
            std::string name = Trimmed(services_.serviceName[i]);
            if (!name.empty())
                byService_[name];
        }
    }
}

// The per-user labels stay: a label once given keeps its series across reconnections.
void ServerAccount::Reset()
{
    ledger_.Reset();
    seen_.clear();
}

// The listed counts are made afresh each pass; the totals carry on.
void ServerAccount::BeginPass()
{
    ledger_.BeginPass();
    pass_++;
    listedByService_.clear();
    listedByUser_.clear();
}

std::string ServerAccount::ServiceOf(const S5MonData& record) const
{
    // The port sits at the same place in every address form, so reading it through sin is safe.
    int i = ServiceIndexOf(services_, ntohs(record.dstSockAddr.sin.sin_port));
    std::string name = Trimmed(services_.serviceName[i]);
    return name.empty() ? "Others" : name;
}

// Users become labels up to maxUsers, in the order they are first seen; the rest share one
// label, so that a server with thousands of users cannot blow up Prometheus's series.
std::string ServerAccount::UserOf(const S5MonData& record)
{
    // The name field need not end in a zero; strnlen keeps the read inside it.
    std::string user(record.userName, strnlen(record.userName, sizeof record.userName));
    if (user.empty())
        user = kNoUser;
    if (labelledUsers_.count(user))
        return user;
    if (labelledUsers_.size() < maxUsers_) {
        labelledUsers_[user] = true;
        return user;
    }
    return kOtherUsers;
}

// Counters grow by what each connection moved since the last poll (modulo 2^32, as the
// server's counters wrap); a connection seen for the first time counts whole only when the
// ledger says it started since the last pass. Failures count once, when first seen failed.
void ServerAccount::Add(const S5MonData& record)
{
    ledger_.See(record);
    bool failed = (record.state & CONN_STATE_FAILED) != 0;
    bool open = !failed && (record.state & CONN_STATE_ENDED) == 0;
    uint64_t inGrowth = 0, outGrowth = 0, newlyFailed = 0;
    // The key's bytes, zeros and all, identify the connection.
    std::string key(record.key.key, sizeof record.key.key);
    auto found = seen_.find(key);
    if (found == seen_.end()) {
        // A connection new to us: its bytes so far count only if it began since the last pass; one
        // that was already running when we connected would otherwise add its whole past at once.
        bool whole = ledger_.CountsWhole(record);
        if (whole) {
            inGrowth = record.inTotBytes;
            outGrowth = record.outTotBytes;
            newlyFailed = failed;
        }
        seen_[key] = Seen{record.inTotBytes, record.outTotBytes, failed, pass_};
    } else {
        Seen& seen = found->second;
        inGrowth = TrafficGrowth(seen.inBytes, record.inTotBytes);
        outGrowth = TrafficGrowth(seen.outBytes, record.outTotBytes);
        newlyFailed = failed && !seen.failed;
        seen = Seen{record.inTotBytes, record.outTotBytes, failed, pass_};
    }
    std::string service = ServiceOf(record);
    std::string user = UserOf(record);
    for (Tally* t : {&byService_[service], &byUser_[user]}) {
        t->inBytes += inGrowth;
        t->outBytes += outGrowth;
        t->failedTotal += newlyFailed;
    }
    for (Listed* l : {&listedByService_[service], &listedByUser_[user]}) {
        l->open += open;
        l->failed += failed;
    }
}

// Connections no longer listed are forgotten (their bytes are all counted); the gauges of
// open and failed connections take this pass's figures.
void ServerAccount::EndPass()
{
    ledger_.EndPass();
    for (auto it = seen_.begin(); it != seen_.end();) {
        if (it->second.pass != pass_)
            it = seen_.erase(it); // no longer listed: its bytes are all counted
        else
            ++it;
    }
    // A label not listed this pass gets zero, not its old figure, and keeps its series.
    auto take = [](Tallies* tallies, const std::map<std::string, Listed>& listed) {
        for (auto& [label, tally] : *tallies) {
            auto l = listed.find(label);
            tally.open = l == listed.end() ? 0 : l->second.open;
            tally.failed = l == listed.end() ? 0 : l->second.failed;
        }
    };
    take(&byService_, listedByService_);
    take(&byUser_, listedByUser_);
}
