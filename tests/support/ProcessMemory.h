#pragma once
// This process's memory as the kernel counts it, for tests and benchmarks that bound it.

#include <cstddef>
#include <fstream>
#include <string>

namespace kestrim::test {

// A value of /proc/self/status in bytes: "VmRSS" (resident now) or "VmHWM" (the peak).
inline std::size_t StatusBytes(const std::string& Key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(Key + ":", 0) == 0)
            return std::stoul(line.substr(Key.size() + 1)) * 1024;
    return 0;
}

// Starts the peak ("VmHWM") again from what is resident now.
inline void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace kestrim::test
