// What the processor offers beyond the baseline instruction set the module
// is compiled for. The one place the QR module asks the processor.
#pragma once

namespace qr::内部 {

// True when the processor counts set bits in one instruction (x86 POPCNT)
// and this build can use it.
bool 处理器有位计数指令();

}  // namespace qr::内部
