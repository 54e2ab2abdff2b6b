#include "reportserver/server_options.h"

#include "common/text.h"

namespace zarvex::tools {

const char* const kServerUsage =
    "usage: zarvex-reportserver --root DIR [options]\n"
    "Serves DIR/toster as /toster/ and DIR/fp as /fp/, the exchange time as /1/2.php.\n"
    "  --bind ADDR            address to listen on (127.0.0.1)\n"
    "  --port N               port (0: a free one; the chosen port is printed)\n"
    "  --port-file FILE       also write the chosen port to FILE\n"
    "  --time \"YYYYMMDD hh:mm:ss\"  fixed Greenwich time instead of the computer's clock\n"
    "  --shift SECONDS        added to the clock\n"
    "  --delay-ms N           wait N ms before answering (with --delay-on, else every path)\n"
    "  --delay-on TEXT        paths containing TEXT are delayed\n"
    "  --drop-body TEXT       paths containing TEXT get half their body, then the connection "
    "drops\n"
    "  --silent TEXT          paths containing TEXT get no answer at all\n"
    "  --empty-on TEXT        paths containing TEXT get 200 with an empty body\n"
    "  --cut-short TEXT       paths containing TEXT get the first bytes of their body with no\n"
    "                         Content-Length, then the connection closes\n"
    "  --cut-short-bytes N[,N...]  how many bytes --cut-short sends (64); several counts are\n"
    "                         used in turn, one per request\n"
    "  --chunked TEXT         paths containing TEXT get their body in chunks (with --cut-short:\n"
    "                         without the closing chunk)\n"
    "  --drip TEXT            paths containing TEXT get their body slowly\n"
    "  --drip-rate N          bytes a second for --drip (2)\n"
    "  --oversize TEXT        paths containing TEXT get another product's rows before the body\n"
    "  --oversize-bytes N     how many bytes of them (4500000)\n"
    "  --error-status N       status of --error-on answers (500)\n"
    "  --error-on TEXT        paths containing TEXT get the error status\n"
    "  --hold-back YYYYMMDD   the day is not published (repeatable)\n"
    "  --date-style standard|bare-lf|lower-case|none   form of the Date: header\n";

namespace {

int IntValue(const std::string& name, const std::string& text, long long low, long long high) {
    const auto value = common::ParseInt(text);
    if (!value || *value < low || *value > high) {
        throw OptionError(name + " must be a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high) + ": " + text);
    }
    return static_cast<int>(*value);
}

}  // namespace

ServerOptions ParseServerOptions(const std::vector<std::string>& args) {
    ServerOptions options;
    bool root_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            throw OptionError(name.rfind("--", 0) == 0 ? "option " + name + " needs a value"
                                                       : "unexpected word " + name);
        }
        const std::string& value = args[++i];
        if (name == "--root") {
            options.root = value;
            root_given = true;
        } else if (name == "--bind") {
            options.bind = value;
        } else if (name == "--port") {
            options.port = IntValue(name, value, 0, 65535);
        } else if (name == "--port-file") {
            options.port_file = value;
        } else if (name == "--time") {
            const common::Date time = common::ParseDate(value, "%yyyy%mm%dd %hh:%ii:%ss");
            if (time == common::kInvalidDate) {
                throw OptionError("--time must be \"YYYYMMDD hh:mm:ss\": " + value);
            }
            options.fixed_time = time;
        } else if (name == "--shift") {
            const auto shift = common::ParseInt(value);
            if (!shift) {
                throw OptionError("--shift must be a whole number of seconds: " + value);
            }
            options.shift = *shift;
        } else if (name == "--delay-ms") {
            options.faults.delay = std::chrono::milliseconds(IntValue(name, value, 0, 3'600'000));
            if (!options.faults.delay_on) {
                options.faults.delay_on = "/";
            }
        } else if (name == "--delay-on") {
            options.faults.delay_on = value;
        } else if (name == "--drop-body") {
            options.faults.drop_body_on = value;
        } else if (name == "--silent") {
            options.faults.silent_on = value;
        } else if (name == "--empty-on") {
            options.faults.empty_on = value;
        } else if (name == "--cut-short") {
            options.faults.cut_short_on = value;
        } else if (name == "--cut-short-bytes") {
            options.faults.cut_short_bytes.clear();
            for (const std::string_view count : common::Split(value, ',')) {
                options.faults.cut_short_bytes.push_back(
                    static_cast<std::size_t>(IntValue(name, std::string(count), 0, 1'000'000'000)));
            }
        } else if (name == "--chunked") {
            options.faults.chunked_on = value;
        } else if (name == "--drip") {
            options.faults.drip_on = value;
        } else if (name == "--drip-rate") {
            options.faults.drip_bytes_per_second =
                static_cast<std::size_t>(IntValue(name, value, 1, 1'000'000'000));
        } else if (name == "--oversize") {
            options.faults.oversize_on = value;
        } else if (name == "--oversize-bytes") {
            options.faults.oversize_bytes =
                static_cast<std::size_t>(IntValue(name, value, 0, 1'000'000'000));
        } else if (name == "--error-status") {
            options.faults.error_status = IntValue(name, value, 100, 599);
        } else if (name == "--error-on") {
            options.faults.error_on = value;
        } else if (name == "--hold-back") {
            if (common::ParseDate(value, "%yyyy%mm%dd") == common::kInvalidDate) {
                throw OptionError("--hold-back must be a day YYYYMMDD: " + value);
            }
            options.faults.held_back.insert(value);
        } else if (name == "--date-style") {
            if (value == "standard") {
                options.date_style = DateHeaderStyle::kStandard;
            } else if (value == "bare-lf") {
                options.date_style = DateHeaderStyle::kBareLineFeeds;
            } else if (value == "lower-case") {
                options.date_style = DateHeaderStyle::kLowerCaseName;
            } else if (value == "none") {
                options.date_style = DateHeaderStyle::kNone;
            } else {
                throw OptionError("--date-style must be standard, bare-lf, lower-case or none");
            }
        } else {
            throw OptionError("unknown option " + name);
        }
    }
    if (!root_given && !options.help) {
        throw OptionError("--root DIR is required");
    }
    return options;
}

}  // namespace zarvex::tools
