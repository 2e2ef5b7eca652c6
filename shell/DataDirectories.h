#pragma once
// The directories and log file the program keeps beside itself, made at
// start: 数据采集记录/, syslog/ and syslog/yxlog.txt, and the log opened.

namespace datadirectories {

// Creates what is missing and opens the log. Returns false when a
// directory could not be created; the log then stays closed and every log
// write does nothing. An existing log is neither truncated nor recreated.
bool prepareAndOpenLog();

} // namespace datadirectories
