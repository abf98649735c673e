/* The part of iconv that FreeXL uses, for the MinGW build, where the system has no iconv: conversions from the code
 * pages an .xls names (and UTF-16LE) to UTF-8, done by Windows itself. */
#pragma once
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif
