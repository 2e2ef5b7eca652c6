// The few places where the command-line encoder meets the operating
// system: arguments, standard streams and output file names. Everything the
// tool reads or writes is UTF-8 text or raw bytes on every platform.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qrcli {

// The program's arguments (without the program name) as UTF-8. Windows
// hands main its arguments in the ANSI code page, where Chinese text
// becomes "?"; there the wide command line is converted instead.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// The standard streams carry bytes unchanged (no CR LF translation, no end
// of file at Ctrl-Z), so a picture or message written and a text piped in
// are the same bytes as on Linux; a console shows the tool's UTF-8 messages.
void useByteStreams();

// Opens a file for writing in binary mode by its UTF-8 name.
std::FILE* openForWriting(const std::string& utf8Path);

} // namespace qrcli
