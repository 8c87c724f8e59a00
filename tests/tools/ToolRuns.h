// The programs as the end-to-end tests run them: curl through a proxy, and vantor-mon's
// CSV read back into fields.
#ifndef VANTOR_TEST_TOOLRUNS_H
#define VANTOR_TEST_TOOLRUNS_H

#include <map>
#include <string>
#include <vector>

#include "tests/support/RunProcess.h"

class ProxyProcess;

typedef std::map<std::string, std::string> CsvRow;

// curl's exit code when the SOCKS proxy refuses the request.
const int CURL_PROXY_REFUSED = 97;

// The fields of one CSV line; vantor-mon quotes the fields that hold commas (the keys), and
// none of ours holds a quote.
std::vector<std::string> csvFields(const std::string& line);
// Runs vantor-mon --csv with the options; one map from header to field per line.
std::vector<CsvRow> monCsv(const ProxyProcess& proxy, const std::vector<std::string>& options = {});
// Waits until count of the proxy's connections have ended, then runs vantor-mon --csv;
// fails the test unless it lists count rows, and returns count rows (empty ones for those
// missing) so that callers can index them.
std::vector<CsvRow> endedRows(const ProxyProcess& proxy, size_t count);
// "http://host:port/".
std::string httpUrl(const std::string& host, int port);
// Runs curl with the proxy options given; the body arrives as its standard output.
ProcessResult curl(std::vector<std::string> proxyOptions, const std::string& url);

#endif
