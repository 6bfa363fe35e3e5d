// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as the settings file, key by key as the program
// does at its start and in its settings windows, then writes a key and a
// list: what was written reads back, and the keys not written read as
// before.
#include "settings/profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace verbana::settings;

namespace {

const std::pair<const char16_t *, const char16_t *> kKeys[] = {
    {u"file", u"last"},        {u"화면", u"gridpan"},   {u"화면", u"full"},       {u"화면", u"left"},
    {u"화면", u"top"},         {u"화면", u"width"},     {u"화면", u"height"},     {u"글꼴", u"원고색"},
    {u"글꼴", u"원고명"},      {u"글꼴", u"원고고"},    {u"글꼴", u"원고바탕색"}, {u"글꼴", u"일반색"},
    {u"문서편집기", u"바탕색"}, {u"memo화면", u"눈금자"}, {u"memo화면", u"full"},   {u"첫화면", u"help"}};
const char16_t *const kLists[] = {u"설교형식", u"설교방향", u"예배종류", u"설교장소"};

QString s(const char16_t *text) { return QString::fromUtf16(text); }

std::vector<std::optional<QByteArray>> snapshot(const Profile &p)
{
    std::vector<std::optional<QByteArray>> values;
    for (const auto &[section, key] : kKeys)
        values.push_back(p.readRaw(s(section), s(key)));
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    const Profile p(dir.filePath(QStringLiteral("verbdesk.ini")));
    {
        QFile f(p.path());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    for (const auto &[section, key] : kKeys) {
        (void)p.readString(s(section), s(key));
        (void)p.readInteger(s(section), s(key), 10);
        (void)p.readColour(s(section), s(key), QStringLiteral("clWindow"));
    }
    for (const char16_t *list : kLists)
        (void)p.readList(s(list));

    const auto before = snapshot(p);
    const QStringList words{QStringLiteral("주일 예배"), QString(), QStringLiteral("수요 예배")};
    p.writeList(s(kLists[0]), words);
    if (p.readList(s(kLists[0])) != words || snapshot(p) != before)
        std::abort();
    p.writeInteger(s(kKeys[4].first), s(kKeys[4].second), -7);
    if (p.readInteger(s(kKeys[4].first), s(kKeys[4].second), 0) != -7)
        std::abort();
    return 0;
}
