// The player calls every operation of the records as a plain cdecl function:
// arguments pushed as 32-bit words, removed by the caller. A slot whose
// function removes them itself (stdcall), or a plug-in that calls the host's
// functions as if they did, runs unnoticed in a 64-bit build, where there is
// one convention, and breaks the 32-bit player's stack. So in the 32-bit build
// every call into a plug-in goes through callPlugin, which measures the stack
// pointer across it, and every host function that a plug-in calls notes where
// the stack stands at each call (noteHostCall). Each fault names the function.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#if defined(__i386__)
extern "C" uint32_t jkCallCdecl(const void* function, const uint32_t* words, int count,
                                int32_t* moved);
#endif

namespace testhost {

// The faults found so far, each once, in the order found.
std::vector<std::string> stackFaults();

#if defined(__i386__)
void noteStackMoved(const char* name, int32_t moved);
// Called first thing in a host function: `frame` is its frame address,
// `site` its return address, `argumentBytes` the bytes its caller pushed.
void noteHostCall(const char* name, int argumentBytes, const void* frame, const void* site);

template <class T>
uint32_t stackWord(T value) {
    static_assert(sizeof(T) <= 4, "the records pass 32-bit words");
    if constexpr (std::is_pointer_v<T>)
        return uint32_t(reinterpret_cast<uintptr_t>(value));
    else
        return uint32_t(value);
}
#endif

// Calls a plug-in's function `name` as the player does.
template <class R, class... A>
R callPlugin(const char* name, R (*function)(A...), std::type_identity_t<A>... args) {
#if defined(__i386__)
    const uint32_t words[sizeof...(A) + 1] = {stackWord<A>(args)..., 0};
    int32_t moved = 0;
    uint32_t result =
        jkCallCdecl(reinterpret_cast<const void*>(function), words, int(sizeof...(A)), &moved);
    if (moved != 0) noteStackMoved(name, moved);
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<R>(uintptr_t(result));
    else if constexpr (!std::is_void_v<R>)
        return R(result);
#else
    (void)name;
    return function(args...);
#endif
}

} // namespace testhost
