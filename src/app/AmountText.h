#pragma once
// A byte count as progress shows it: in bytes below a kilobyte, in kilobytes below a megabyte,
// in megabytes above, the last two with one decimal ("512 バイト", "1.5 KB", "598.6 MB"), so
// that small amounts do not read as nothing.

#include <QString>

#include <cstdint>

namespace kestrim {

QString AmountText(std::uint64_t Bytes);

} // namespace kestrim
