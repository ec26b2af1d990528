#include "app/AmountText.h"

namespace kestrim {

QString AmountText(std::uint64_t Bytes)
{
    constexpr double KiloByte = 1 << 10;
    constexpr double MegaByte = 1 << 20;
    const auto bytes = static_cast<double>(Bytes);
    if (bytes < KiloByte)
        return QString::number(Bytes) + QStringLiteral(" バイト");
    if (bytes < MegaByte)
        return QString::number(bytes / KiloByte, 'f', 1) + QStringLiteral(" KB");
    return QString::number(bytes / MegaByte, 'f', 1) + QStringLiteral(" MB");
}

} // namespace kestrim
