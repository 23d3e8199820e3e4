// What the benchmarks share: clocks, medians, and the module's objects made
// through the data factory.
#pragma once

#include <time.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "frame/cdatafactory.h"

namespace bench {

// Keeps the compiler from dropping a result it thinks unused.
template <class T>
void KeepAlive(T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

inline double Seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return -1.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A data object of the interface, its connection string set; null when the
// factory has none.
template <class Interface>
std::unique_ptr<Interface> CreateObject(const char* interfaceName, const std::string& connect) {
    CDataFactory factory;
    std::unique_ptr<IDataBase> object(factory.CreateObject(interfaceName));
    auto* typed = dynamic_cast<Interface*>(object.get());
    if (!typed) return nullptr;
    object.release();
    std::unique_ptr<Interface> result(typed);
    result->SetConnectString(connect.c_str());
    return result;
}

}  // namespace bench
