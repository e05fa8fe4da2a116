#pragma once

namespace tables {

// The code points of bytes 0x80..0xFF of a single-byte Windows or DOS code
// page (0 for an unassigned byte), or nullptr for a code page we lack.
const char16_t* UpperHalf(int code_page);

}  // namespace tables
