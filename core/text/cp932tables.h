#pragma once

#include <QtGlobal>

// The tables of code page 932, made at build time by cp932tablegen from
// what the toolkit's "Shift_JIS" converter (the Windows flavour,
// windows-31j) gives for every character and byte sequence.
namespace cp932 {

constexpr char16_t kInvalid = 0xFFFD;

struct Tables
{
    quint16 encode[0x10000]; // UTF-16 unit → code, kNoCode when none
    char16_t single[0x100]; // single byte → unit, kInvalid when none
    char16_t pair[0x80][0x100]; // (lead - 0x80, trail) → unit, kInvalid when none
};

extern const Tables kTables;

} // namespace cp932
