// Batch mode: the names on the command line, the XM name made from each, and
// one whole conversion per name.
#ifndef TOLVERN_BATCH_H
#define TOLVERN_BATCH_H

#include <string>
#include <vector>

namespace tolvern {

class MessageSink;

// Splits at blanks; a double-quoted stretch (blanks and all) belongs to its
// name. Two blanks in a row give an empty name, as the program always did.
std::vector<std::string> splitCommandLine(const char* commandLine);

// The name cut at the last "." of its last path component, plus ".xm".
std::string xmNameFor(const std::string& ymName);

// Loads, converts and writes one file; false when no XM file was written.
bool convertYmFile(const std::string& ymName, MessageSink* sink);

} // namespace tolvern

#endif
