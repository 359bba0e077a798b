// The fuzz entry's work on one input, which the native replay test runs as
// well to look at what each input became.
#ifndef TOLVERN_TESTS_FUZZ_LOAD_H
#define TOLVERN_TESTS_FUZZ_LOAD_H

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tolvern {
class XmModule;
class _corvel_YM;
} // namespace tolvern

namespace tolvern::test {

// Sees each song loaded from the input and the module it was converted to.
using ConvertedCheck = std::function<void(const _corvel_YM& song, const XmModule& module)>;

// Depacks DATA when it is an LHA archive and converts what that gives, then
// converts DATA as it stands; CHECK (when set) sees every conversion.
void fuzzLoad(const uint8_t* data, size_t size, const ConvertedCheck& check);

} // namespace tolvern::test

#endif
