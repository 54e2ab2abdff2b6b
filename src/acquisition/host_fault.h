#pragma once

namespace zarvex::acquisition {

// Why a text cannot name a server.
enum class HostFault {
    kNone,
    kEmpty,
    kScheme,                // a scheme other than http:// and https://
    kNotAHost,              // blanks, a path, a query, control characters
    kCredentialsNeedHttps,  // "user:secret@" without https://
    kPort,                  // not a number from 1 to 65535
    kBareIpv6,              // "::1" without brackets
    kBrackets,              // stray or unclosed brackets
    kTimeHostHttps,         // a time host is asked over plain TCP: https:// means nothing there
};

}  // namespace zarvex::acquisition
