#pragma once
// A byte count as progress shows it: in kilobytes below a megabyte, in megabytes above, with
// one decimal ("0.5 KB", "598.6 MB"), so that small amounts do not read as nothing.

#include <QString>

#include <cstdint>

namespace kestrim {

QString AmountText(std::uint64_t Bytes);

} // namespace kestrim
