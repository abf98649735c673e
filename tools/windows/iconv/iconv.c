/* iconv for FreeXL on Windows, over MultiByteToWideChar / WideCharToMultiByte.
 *
 * FreeXL converts whole strings at once, into a buffer it made four times the input plus one, so one call converts
 * all of the input or fails; there is no shift state to keep between calls. */
#include "iconv.h"
#include "localcharset.h"

#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum { Utf16Le = 1200 };

struct Converter {
    UINT codePage;
};

static UINT CodePageOf(const char* name)
{
    if (_stricmp(name, "UTF-8") == 0)
        return CP_UTF8;
    if (_stricmp(name, "UTF-16LE") == 0)
        return Utf16Le;
    if (_stricmp(name, "ASCII") == 0)
        return 20127;
    if (_stricmp(name, "MacRoman") == 0)
        return 10000;
    if (_strnicmp(name, "CP", 2) == 0 && name[2] >= '0' && name[2] <= '9') {
        char* end = NULL;
        unsigned long page = strtoul(name + 2, &end, 10);
        if (*end == '\0' && page > 0 && page < 65536 && IsValidCodePage((UINT)page))
            return (UINT)page;
    }
    return 0;
}

iconv_t iconv_open(const char* tocode, const char* fromcode)
{
    UINT from = CodePageOf(fromcode);
    if (CodePageOf(tocode) != CP_UTF8 || from == 0) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    struct Converter* c = malloc(sizeof *c);
    if (!c) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    c->codePage = from;
    return c;
}

int iconv_close(iconv_t cd)
{
    free(cd);
    return 0;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft)
{
    if (!inbuf || !*inbuf || *inbytesleft == 0)
        return 0;
    if (*inbytesleft > INT32_MAX / 2) {
        errno = E2BIG;
        return (size_t)-1;
    }
    const struct Converter* c = cd;
    int wideCount;
    WCHAR* wide;
    if (c->codePage == Utf16Le) {
        if (*inbytesleft % 2 != 0) {
            errno = EINVAL;
            return (size_t)-1;
        }
        wideCount = (int)(*inbytesleft / 2);
        wide = malloc(sizeof(WCHAR) * (size_t)wideCount);
        if (!wide) {
            errno = ENOMEM;
            return (size_t)-1;
        }
        memcpy(wide, *inbuf, *inbytesleft);
    } else {
        wideCount = MultiByteToWideChar(c->codePage, MB_ERR_INVALID_CHARS, *inbuf, (int)*inbytesleft, NULL, 0);
        if (wideCount <= 0) {
            errno = EILSEQ;
            return (size_t)-1;
        }
        wide = malloc(sizeof(WCHAR) * (size_t)wideCount);
        if (!wide) {
            errno = ENOMEM;
            return (size_t)-1;
        }
        MultiByteToWideChar(c->codePage, MB_ERR_INVALID_CHARS, *inbuf, (int)*inbytesleft, wide, wideCount);
    }
    int needed = WideCharToMultiByte(CP_UTF8, 0, wide, wideCount, NULL, 0, NULL, NULL);
    if (needed <= 0) {
        free(wide);
        errno = EILSEQ;
        return (size_t)-1;
    }
    if ((size_t)needed > *outbytesleft) {
        free(wide);
        errno = E2BIG;
        return (size_t)-1;
    }
    WideCharToMultiByte(CP_UTF8, 0, wide, wideCount, *outbuf, needed, NULL, NULL);
    free(wide);
    *inbuf += *inbytesleft;
    *inbytesleft = 0;
    *outbuf += needed;
    *outbytesleft -= (size_t)needed;
    return 0;
}

const char* locale_charset(void)
{
    return "UTF-8";
}
