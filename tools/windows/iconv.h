#pragma once
// The driver's charset conversions on Windows, which has no iconv: the same
// three calls over the Windows code pages (MultiByteToWideChar and
// WideCharToMultiByte), with iconv's contract as the driver relies on it.
// One side of every conversion is UTF-16 in the machine's byte order (the
// engine's text); the other is a charset named as iconv names it (GB2312,
// GBK, GB18030, BIG5, ISO-8859-1, WINDOWS-1252, CP437, ...), the UTF-16 and
// UTF-32 forms with a byte order in the name, or UTF-8. A "//..." suffix
// (//IGNORE) is accepted; //IGNORE leaves out the characters the charset
// cannot write. Stateful charsets (ISO-2022-*, UTF-7) are not offered.
//
// iconv_open fails with EINVAL for a name it does not know, and with ENOENT
// for one whose code page this Windows lacks (Wine has no 54936, GB18030).
// iconv stops at a character it cannot convert with EILSEQ (the input
// pointer at its first byte), at one cut by the end of the input with
// EINVAL, and when the output has no room for the next one with E2BIG.
// Only the Windows build puts this folder on the include path.

#include <cstddef>

struct MorvaneIconv;
using iconv_t = MorvaneIconv*;

iconv_t iconv_open(const char* tocode, const char* fromcode);
std::size_t iconv(iconv_t cd, char** inbuf, std::size_t* inbytesleft, char** outbuf,
                  std::size_t* outbytesleft);
int iconv_close(iconv_t cd);
