// Putting the options together from the defaults, the file and the command line
// (see Options.h).
#include "tools/proxy/Options.h"

#include <set>

const char* proxyUsage()
{
    return "Usage: vantor-proxy [OPTION]...\n"
           "A SOCKS5 proxy (CONNECT, BIND and UDP ASSOCIATE; no authentication or\n"
           "username/password) that serves the Vantor monitoring protocol on a second port.\n"
           "\n"
           "  --config FILE              read the options from FILE, one a line, named as here\n"
           "                             without \"--\"; the options given here win over it\n"
           "  --check-config             check the file and the options, report every mistake\n"
           "                             as FILE:LINE: MESSAGE and exit (0 valid, 2 not)\n"
           "  --socks ADDR[:PORT]        SOCKS address (default 127.0.0.1:1080), IPv6 as\n"
           "                             [ADDR]:PORT; repeatable\n"
           "  --monitor ADDR[:PORT]      monitoring address (default 127.0.0.1:5051)\n"
           "  --monitor-allow CIDR       monitors served only from these blocks; repeatable\n"
           "  --client-rule RULE         \"pass|block [from CIDR]\": which clients are served\n"
           "  --rule RULE                \"pass|block [from CIDR] [to CIDR|HOST|.DOMAIN]\n"
           "                             [port N|N-M] [command connect|bind|udpassociate]\n"
           "                             [user NAME]\": which requests are served\n"
           "                             (both repeatable, after the file's, first match wins;\n"
           "                             with rules given, what none matches is blocked)\n"
           "  --users FILE               require username/password from FILE\n"
           "                             (one \"NAME PASSWORD\" per line, # comments)\n"
           "  --user NAME                once listening, go on as the account NAME\n"
           "  --retention SECONDS        keep ended connections listed (default 300)\n"
           "  --handshake-timeout SECONDS  drop clients that do not finish the SOCKS\n"
           "                             handshake and connect in time (default 30)\n"
           "  --bind-timeout SECONDS     how long a BIND waits for its incoming connection\n"
           "                             (default 120)\n"
           "  --udp-timeout SECONDS      end a UDP association that relays no datagram for\n"
           "                             so long (default 300)\n"
           "  --monitor-timeout SECONDS  drop monitors that stall with work pending (default 30)\n"
           "  --monitor-pass-limit SECONDS  drop monitors whose list takes longer, however\n"
           "                             steadily they read it (default 300)\n"
           "  --monitors-per-address N   monitors kept from one client address; a newcomer\n"
           "                             replaces the one longest inactive among those that\n"
           "                             have not yet shown they read (default 8)\n"
           "  --monitor-rate N           new monitor connections accepted per second from\n"
           "                             one address, in bursts of up to N (default 200)\n"
           "  --max-records N            connections listed at most; beyond, ended ones are\n"
           "                             dropped oldest first and counted as deleted\n"
           "                             (default 100000)\n"
           "  --ready-file FILE          once listening, write a \"socks ADDR:PORT\" line per\n"
           "                             SOCKS address and a \"monitor ADDR:PORT\" line to FILE\n"
           "  --log stderr|syslog        where the start, each ended connection, refused\n"
           "                             clients and reloads are logged (default stderr)\n"
           "  --help                     show this text and exit\n"
           "  --version                  show the version and exit\n"
           "A port of 0 picks a free port. Both ports listen on loopback unless told otherwise;\n"
           "a port that other hosts reach needs rules (monitor-allow for the monitoring port).\n"
           "SIGHUP reads the configuration and the users file again; rules and users change\n"
           "for new connections, and a file with mistakes leaves the settings as they were.\n";
}

// Every directive of the file is also an option named "--" plus its name, so the two never drift
// apart. The values are only collected here; they are checked with the file's, so the same message
// names a mistake wherever it was made.
bool parseProxyCommandLine(const std::vector<std::string>& args, ProxyCommandLine* out,
                           std::string* error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--help" || opt == "-h") {
            out->help = true;
            continue;
        }
        if (opt == "--version") {
            out->version = true;
            continue;
        }
        if (opt == "--check-config") {
            out->checkConfig = true;
            continue;
        }
        std::string name = opt.compare(0, 2, "--") == 0 ? opt.substr(2) : std::string();
        Repeat repeat = Repeat::Once;
        if (name != "config" && !findDirective(name, &repeat)) {
            *error = "unknown option or argument " + opt;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = "option " + opt + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (name == "config") {
            if (value.empty()) {
                *error = "option --config needs a file name";
                return false;
            }
            out->configFile = value;
        } else {
            // A rule is one argument ("pass from 10.0.0.0/8") split into words as the file splits
            // its line.
            std::vector<std::string> words =
                repeat == Repeat::Rule ? splitWords(value) : std::vector<std::string>{value};
            out->directives.push_back(Directive{name, words, "", ""});
        }
    }
    return true;
}

namespace {

// The defaults, then the file's directives, then the command line's; errors holds what
// reading the file found.
ConfigErrors buildOptions(const std::vector<ConfigLine>& lines, const std::string& fileName,
                          const ProxyCommandLine& commandLine, ConfigErrors errors,
                          ProxyOptions* out)
{
    // Built in a copy and handed over only when all is well, so a reload with a mistake leaves the
    // running options as they were.
    ProxyOptions options;
    options.monitorAddr = defaultMonitorEndpoint();
    std::vector<Directive> directives = fileDirectives(lines, fileName);
    // A list given on the command line replaces the file's.
    std::set<std::string> listedOnCommandLine;
    for (const Directive& d : commandLine.directives) {
        Repeat repeat = Repeat::Once;
        if (findDirective(d.name, &repeat) && repeat == Repeat::Listed)
            listedOnCommandLine.insert(d.name);
    }
    std::vector<Directive> applied;
    for (Directive& d : directives)
        if (!listedOnCommandLine.count(d.name))
            applied.push_back(std::move(d));
    applied.insert(applied.end(), commandLine.directives.begin(), commandLine.directives.end());
    // Every mistake is collected, not only the first, so one --check-config run reports them all.
    for (const Directive& d : applied) {
        std::string error = d.problem;
        if (!error.empty() || !applyDirective(d, &options, &error))
            errors.add(d.place, error);
    }
    if (options.socksAddrs.empty())
        options.socksAddrs.push_back(defaultSocksEndpoint());
    // Listening beyond loopback without rules would make an open proxy; that is refused here.
    if (errors.empty()) {
        std::string refusal =
            openListenerRefusal(options.socksAddrs, options.monitorAddr, options.rules);
        if (!refusal.empty())
            errors.add("", refusal);
    }
    if (errors.empty())
        *out = std::move(options);
    return errors;
}

} // namespace

ConfigErrors loadProxyOptions(const ProxyCommandLine& commandLine, ProxyOptions* out)
{
    ConfigErrors errors;
    std::vector<ConfigLine> lines;
    if (!commandLine.configFile.empty())
        lines = readConfigFile(commandLine.configFile, &errors);
    return buildOptions(lines, commandLine.configFile, commandLine, errors, out);
}

// The same, from text already read: for tests and for a reload that read the file itself.
ConfigErrors loadProxyOptionsFromText(const std::string& text, const std::string& name,
                                      const ProxyCommandLine& commandLine, ProxyOptions* out)
{
    return buildOptions(splitConfigText(text), name, commandLine, ConfigErrors(), out);
}
