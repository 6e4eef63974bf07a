// A system call made again for as long as the system interrupts it (EINTR),
// for the POSIX file backends. A call fails by returning a negative number
// or, for calls that return a pointer, null; errno then tells why.
#pragma once

#include <cerrno>

namespace posixretry {

inline bool Failed(long result) { return result < 0; }
template <typename T>
bool Failed(T* result) { return result == nullptr; }

template <typename Call>
auto Retry(Call call) -> decltype(call()) {
    for (;;) {
        const auto result = call();
        if (!Failed(result) || errno != EINTR) return result;
    }
}

}  // namespace posixretry
