#include "tests/tools/ToolRuns.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"

std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::vector<CsvRow> monCsv(const ProxyProcess& proxy, const std::vector<std::string>& options)
{
    std::vector<std::string> argv = {VANTOR_BINARY_DIR "/tools/mon/vantor-mon", "--csv"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(proxy.monitorAddress());
    ProcessResult r = RunProcess(argv);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    std::istringstream in(r.out);
    std::string line;
    std::vector<CsvRow> rows;
    std::getline(in, line);
    std::vector<std::string> header = csvFields(line);
    while (std::getline(in, line)) {
        std::vector<std::string> fields = csvFields(line);
        CsvRow& row = *rows.emplace(rows.end());
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i)
            row[header[i]] = fields[i];
    }
    return rows;
}

std::vector<CsvRow> endedRows(const ProxyProcess& proxy, size_t count)
{
    waitForEnded(proxy.monitorAddress(), count);
    std::vector<CsvRow> rows = monCsv(proxy);
    EXPECT_EQ(rows.size(), count);
    rows.resize(count);
    return rows;
}

std::string httpUrl(const std::string& host, int port)
{
    return "http://" + host + ":" + std::to_string(port) + "/";
}

ProcessResult curl(std::vector<std::string> proxyOptions, const std::string& url)
{
    // -q: no .curlrc; --noproxy "": a NO_PROXY in the environment must not bypass the proxy.
    std::vector<std::string> argv = {"curl", "-q", "-s", "--noproxy", "", "--max-time", "30"};
    argv.insert(argv.end(), proxyOptions.begin(), proxyOptions.end());
    argv.push_back(url);
    return RunProcess(argv);
}
