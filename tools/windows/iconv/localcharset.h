/* FreeXL includes this on Windows; nothing it reads depends on the locale's character set. */
#pragma once
const char* locale_charset(void);
