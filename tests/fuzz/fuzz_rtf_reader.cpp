// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a manuscript both ways (document and straight
// plain text), writes the document back as RTF and checks that reading
// and writing that again changes nothing.
#include "richtext/richtext.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

using namespace verbana::richtext;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rtf_reader";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PlainText fast = plainTextOf(bytes);
    QTextDocument doc;
    readDocument(bytes, doc);
    const PlainText slow = plainText(doc);
    (void)fast;

    const QByteArray first = toRtf(doc);
    QTextDocument again;
    readRtf(first, again);
    // Our own RTF reads back to the same text, and writing it again gives
    // the same bytes.
    if (plainText(again).bytes != slow.bytes || plainTextOf(first).bytes != slow.bytes || toRtf(again) != first)
        std::abort();
    return 0;
}
