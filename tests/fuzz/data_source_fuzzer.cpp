// The reader of data-source.conf: whatever bytes the file holds.
// - Every host it keeps can be used (the report host as a report host, the time hosts as time
//   hosts); every line it drops is named with a line of the file and a reason, in a text of a
//   readable length.
// - What it read, written back and read again, is the same source and names no line: the
//   dialog's save never changes what was chosen.

#include <algorithm>
#include <cstdint>
#include <string>

#include "acquisition/data_source.h"
#include "acquisition/host_address.h"
#include "common/text_table.h"
#include "fuzz/fuzz_check.h"

namespace acquisition = zarvex::acquisition;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zarvex::fuzz::ScratchFolder scratch;
    const std::string_view text = zarvex::fuzz::AsText(data, size);
    const auto file = scratch.Path() / "data-source.conf";
    zarvex::fuzz::ScratchFolder::Write(file, text);
    const acquisition::DataSourceFile read = acquisition::ReadDataSourceFile(file);
    const acquisition::DataSource& source = read.source;
    FUZZ_CHECK(source.report_host.empty() ||
               acquisition::HostFaultOf(source.report_host) == acquisition::HostFault::kNone);
    for (const std::string& host : source.time_hosts) {
        FUZZ_CHECK(acquisition::TimeHostFaultOf(host) == acquisition::HostFault::kNone);
    }
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const acquisition::SourceLineFault& fault : read.faults) {
        FUZZ_CHECK(fault.line >= 1 && fault.line <= lines);
        FUZZ_CHECK(fault.beyond_limit || fault.fault != acquisition::HostFault::kNone);
        const std::string said =
            acquisition::FaultText(file, fault, zarvex::common::TextTable::English());
        FUZZ_CHECK(said.size() < file.string().size() + 1200);
    }
    // Well inside the part that is read, so that the written file is read whole.
    if (size < 16 * 1024) {
        FUZZ_CHECK(acquisition::WriteDataSource(file, source));
        const acquisition::DataSourceFile again = acquisition::ReadDataSourceFile(file);
        FUZZ_CHECK(again.source == source);
        FUZZ_CHECK(again.faults.empty());
    }
    return 0;
}
