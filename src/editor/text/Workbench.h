#pragma once
// A workbench: what one conversion task needs in one place. The script, the samples it is tried
// on with the results expected of it, and the language configuration it runs with. Each text is
// kept as the bytes a file of it holds (byte-order mark and line ends included) with the
// encoding it is read in, so that it comes back byte for byte.

#include "editor/base/TextEncoding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrim {

struct TWorkbenchText {
    std::string Bytes;
    TTextEncoding Encoding = TTextEncoding::ShiftJis;

    bool operator==(const TWorkbenchText&) const = default;
};

struct TSample {
    std::string Name; // UTF-8, one line
    TWorkbenchText Data;
    std::optional<TWorkbenchText> Expected; // none: the sample has no expected result

    bool operator==(const TSample&) const = default;
};

struct TWorkbench {
    TWorkbenchText Script;
    // The script's file extension with its dot (".pl"), naming the script inside the workbench
    // file so that other tools see what it is; may be empty.
    std::string ScriptExtension;
    // The language configuration as the settings name it: a bare name lies in conf/. UTF-8.
    std::string Language;
    std::vector<TSample> Samples; // never empty
    std::size_t Current = 0;      // an index into Samples

    bool operator==(const TWorkbench&) const = default;
};

} // namespace kestrim
