// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Colours as the settings file stores them: a value 0x00BBGGRR, the
// 16 standard colours and the system colours by name, clNone.
namespace verbana::colours {

using TColor = uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor kSystemBase = 0x80000000;
constexpr TColor clWindowText = kSystemBase + 8;
constexpr TColor clWindow = kSystemBase + 5;

// The name of a colour that has one ("clWindowText"), or empty.
QByteArray nameOf(TColor c);
// A name in any letter case, or a decimal or "$"-hexadecimal number.
std::optional<TColor> parse(QByteArrayView text);
// The written form: the name, or "$" and eight upper-case hex digits.
QByteArray format(TColor c);

} // namespace verbana::colours
