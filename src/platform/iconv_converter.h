// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

// The C library's character set converter (iconv), for the code pages the
// program meets besides its own tables: CP949 tables are built with it,
// Johab titles and the other code pages of RTF documents go through it.
namespace verbana {

class IconvConverter {
public:
    IconvConverter(const char *to, const char *from);
    ~IconvConverter();
    IconvConverter(const IconvConverter &) = delete;
    IconvConverter &operator=(const IconvConverter &) = delete;

    // False when the C library knows one of the two character sets not.
    bool valid() const;

    // Converts `in` from the start; `out` receives what its first bytes
    // became. Returns how many input bytes were converted before the first
    // that could not be (inLen when all were).
    size_t convert(const char *in, size_t inLen, std::string &out);

private:
    void *cd_;
};

} // namespace verbana
