// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/colours.h"

#include "platform/cp949.h"

namespace verbana::colours {
namespace {

struct Named {
    const char *name;
    TColor value;
};

constexpr Named kStandard[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clNone", clNone},
};

// Windows system colours, in the order of their index.
constexpr const char *kSystem[] = {
    "clScrollBar", "clBackground", "clActiveCaption", "clInactiveCaption", "clMenu", "clWindow", "clWindowFrame",
    "clMenuText", "clWindowText", "clCaptionText", "clActiveBorder", "clInactiveBorder", "clAppWorkSpace",
    "clHighlight", "clHighlightText", "clBtnFace", "clBtnShadow", "clGrayText", "clBtnText",
    "clInactiveCaptionText", "clBtnHighlight", "cl3DDkShadow", "cl3DLight", "clInfoText", "clInfoBk",
};

} // namespace

QByteArray nameOf(TColor c)
{
    for (const Named &n : kStandard)
        if (n.value == c)
            return n.name;
    if (c >= kSystemBase && c < kSystemBase + std::size(kSystem))
        return kSystem[c - kSystemBase];
    return {};
}

std::optional<TColor> parse(QByteArrayView text)
{
    const QByteArray t = cp949::lowerAscii(text.trimmed());
    if (t.isEmpty())
        return std::nullopt;
    for (const Named &n : kStandard)
        if (t == cp949::lowerAscii(n.name))
            return n.value;
    for (size_t i = 0; i < std::size(kSystem); ++i)
        if (t == cp949::lowerAscii(kSystem[i]))
            return TColor(kSystemBase + i);
    bool ok = false;
    qlonglong v = t.startsWith('$') ? t.mid(1).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > qlonglong(UINT32_MAX))
        return std::nullopt;
    return TColor(uint32_t(v));
}

QByteArray format(TColor c)
{
    const QByteArray name = nameOf(c);
    if (!name.isEmpty())
        return name;
    return '$' + QByteArray::number(c, 16).toUpper().rightJustified(8, '0');
}

} // namespace verbana::colours
