// SPDX-License-Identifier: GPL-3.0-or-later
// What the batch import makes of an arbitrary TXT, RTF or CAP file: the
// manuscript, its text copy (which must be the plain text of that
// manuscript), the summary, and the source path cut to its field.
#include "exchange/batch_import.h"
#include "richtext/richtext.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

using namespace verbana;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_text_import";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const exchange::ImportedText imported = exchange::importedText(bytes);
    if (richtext::plainTextOf(imported.manuscript).bytes != imported.text)
        std::abort();
    if (exchange::briefFromBytes(imported.text).size() > 200
        || exchange::ShortenSourcePath(QByteArrayView(bytes)).size() > 60)
        std::abort();
    return 0;
}
