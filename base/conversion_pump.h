// One pass of a file through a byte-fed reader: the goods conversion, the
// data conversion and the goods check all read their file in blocks, hand
// it to their reader one byte at a time, and act on what the reader found.
// The conversions also write each record, stop at the first fault with its
// one message, and close both files, a failed close being a failed write.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/host_link.h"
#include "base/texts.h"
#include "base/trace.h"
#include "platform/platform.h"

namespace kolektor {

// What a reader's Push(byte) found.
enum class ReadStep {
  kNext,    // nothing yet
  kRecord,  // a record is ready: Record()
  kEnd,     // the data ends here; the rest of the file is not read
  kFault,   // the file is wrong here: FaultText()
};

enum class PumpEnd { kEndOfFile, kEnded, kStopped, kReadError };

// Reads `in` to its end, or until the reader ends the data or a handler
// stops the pass by returning false: `on_record(record)` for each record,
// `on_fault(offset)` for each fault, with the offset of the byte that
// revealed it. `bytes_read` counts the bytes of the blocks read.
template <typename Reader, typename OnRecord, typename OnFault>
PumpEnd Pump(File& in, Reader& reader, OnRecord&& on_record, OnFault&& on_fault,
             std::uint64_t& bytes_read) {
  char buffer[1 << 16];
  for (std::uint64_t offset = bytes_read = 0;;) {
    const long got = in.Read(buffer, sizeof buffer);
    if (got < 0) return PumpEnd::kReadError;
    if (got == 0) return PumpEnd::kEndOfFile;
    bytes_read += static_cast<std::uint64_t>(got);
    for (long i = 0; i < got; ++i, ++offset) {
      switch (reader.Push(static_cast<unsigned char>(buffer[i]))) {
        case ReadStep::kNext:
          break;
        case ReadStep::kRecord:
          if (!on_record(reader.Record())) return PumpEnd::kStopped;
          break;
        case ReadStep::kEnd:
          return PumpEnd::kEnded;
        case ReadStep::kFault:
          if (!on_fault(offset)) return PumpEnd::kStopped;
          break;
      }
    }
  }
}

// How a conversion names its files in the support trace, and what the
// host is told when the file being read cannot be read to its end.
struct ConversionNames {
  std::string_view reading;  // "reading the goods file"
  std::string_view writing;  // "writing the lookup file"
  std::string_view closing;  // "closing the lookup file"
  std::string_view unreadable;
};

struct Converted {
  bool ok = false;
  bool ended = false;  // the reader ended the data before the file's end
  std::uint64_t records = 0;
  std::uint64_t bytes_read = 0;
};

// Converts `in` into `out` with `reader`, reporting the first failure once
// through the host: a read error (no end of file: the output would be
// short), a record not written whole, the reader's fault, or a failed close
// of `out` (what was buffered reaches the disk only then). Where the reader
// stopped the pass (a fault, or the end of the data) goes to the trace
// first, by `trace_stop(trace, step, records written)`. Both files are
// closed on return.
template <typename Reader, typename TraceStop>
Converted Convert(File& in, File& out, Reader& reader, const HostLink& host,
                  const ConversionNames& names, TraceStop&& trace_stop) {
  Trace* trace = host.trace();
  Converted c;
  auto fail = [&](std::string_view what, std::string_view text) {
    if (trace != nullptr && !what.empty()) trace->Failure(what);
    host.Error(text);
    return false;
  };
  const PumpEnd end = Pump(
      in, reader,
      [&](std::string_view record) {
        if (out.Write(record.data(), record.size()) != record.size())
          return fail(names.writing, text::kWorkFileWriteFailed);
        ++c.records;
        return true;
      },
      [&](std::uint64_t) {
        if (trace != nullptr) trace_stop(*trace, ReadStep::kFault, c.records);
        return fail({}, reader.FaultText());
      },
      c.bytes_read);
  c.ok = end == PumpEnd::kEndOfFile || end == PumpEnd::kEnded;
  c.ended = end == PumpEnd::kEnded;
  if (c.ended && trace != nullptr) trace_stop(*trace, ReadStep::kEnd, c.records);
  if (end == PumpEnd::kReadError) fail(names.reading, names.unreadable);
  in.Close();
  const bool written = out.Close();
  if (c.ok && !written) c.ok = fail(names.closing, text::kWorkFileWriteFailed);
  return c;
}

}  // namespace kolektor
