// POSIX: arguments and file names are UTF-8 bytes already, and streams
// have no text mode.
#include "tools/qr-cli/CommandLine.h"

namespace qrcli {

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void useByteStreams()
{
}

std::FILE* openForWriting(const std::string& utf8Path)
{
    return std::fopen(utf8Path.c_str(), "wb");
}

} // namespace qrcli
