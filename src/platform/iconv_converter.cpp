// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/iconv_converter.h"

#include <iconv.h>

#include <cerrno>

namespace verbana {

namespace {

iconv_t descriptor(void *cd) { return static_cast<iconv_t>(cd); }
const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

} // namespace

IconvConverter::IconvConverter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}

IconvConverter::~IconvConverter()
{
    if (valid())
        iconv_close(descriptor(cd_));
}

bool IconvConverter::valid() const { return descriptor(cd_) != kInvalid; }

size_t IconvConverter::convert(const char *in, size_t inLen, std::string &out)
{
    out.clear();
    if (!valid())
        return 0;
    iconv_t cd = descriptor(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    char *src = const_cast<char *>(in);
    size_t left = inLen;
    while (left > 0) {
        char *dst = buffer;
        size_t room = sizeof buffer;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG)
            break;
    }
    // Flush the shift state (a no-op for the encodings used here).
    char *dst = buffer;
    size_t room = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return inLen - left;
}

} // namespace verbana
