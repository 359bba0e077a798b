#include "testhost/stack_check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>

#if defined(__i386__)
// Pushes the words (the last first) on a 16-byte aligned stack, calls, and
// stores how far the stack pointer stands from where it stood at the call:
// 0 for a cdecl function, the argument bytes for one that removed them. The
// frame is rebuilt from EBP, so the host goes on whatever the function did.
asm(R"(
    .text
    .globl _jkCallCdecl
_jkCallCdecl:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %edx
    andl $-16, %esp
    movl %ecx, %eax
    shll $2, %eax
    negl %eax
    andl $15, %eax
    subl %eax, %esp
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  movl %esp, %esi
    call *8(%ebp)
    movl %esp, %ecx
    subl %esi, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
#endif

namespace testhost {

namespace {

// Host functions are called from the plug-ins' own threads too.
std::mutex lock;
std::vector<std::string> faults;

[[maybe_unused]] void addFault(const std::string& text) {
    std::lock_guard<std::mutex> g(lock);
    for (const std::string& f : faults)
        if (f == text) return;
    std::fprintf(stderr, "contract: %s\n", text.c_str());
    std::fflush(stderr);
    faults.push_back(text);
}

} // namespace

std::vector<std::string> stackFaults() {
    std::lock_guard<std::mutex> g(lock);
    return faults;
}

#if defined(__i386__)

void noteStackMoved(const char* name, int32_t moved) {
    if (moved > 0)
        addFault(std::string(name) + " removed " + std::to_string(moved) +
                 " bytes of its arguments from the stack: it is not a cdecl function");
    else
        addFault(std::string(name) + " left the stack pointer " + std::to_string(-moved) +
                 " bytes lower than it found it");
}

namespace {

// Where one call site stood at its last call, per thread, and what it passed.
struct Site {
    uintptr_t frame = 0;
    uint32_t words[8] = {};
};
thread_local std::map<const void*, Site> sites;

} // namespace

// A caller that takes a cdecl function for one that removes its arguments
// leaves them on the stack. At its next call from the same place (a loop)
// the frame stands exactly those bytes lower, and right above the new
// arguments lie the old ones: that pair names the function for certain, where
// a site reached from frames of other depths shows neither.
void noteHostCall(const char* name, int argumentBytes, const void* frame, const void* site) {
    int count = argumentBytes / 4;
    if (count == 0 || count > 8) return; // nothing to leave behind
    // Above the saved frame pointer: the return address, then the arguments.
    const uint32_t* args = static_cast<const uint32_t*>(frame) + 2;
    uintptr_t now = reinterpret_cast<uintptr_t>(frame);
    Site& s = sites[site];
    if (s.frame != 0 && now == s.frame - uintptr_t(argumentBytes) &&
        std::equal(args + count, args + 2 * count, s.words))
        addFault("the plug-in left the " + std::to_string(argumentBytes) + " argument bytes of " +
                 name + " on the stack: it calls it as a function that removes them, but the " +
                 "player's functions are cdecl");
    s.frame = now;
    std::copy(args, args + count, s.words);
}

#endif

} // namespace testhost
