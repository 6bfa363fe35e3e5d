// SPDX-License-Identifier: GPL-3.0-or-later
// rtf2txt: the plain-text copy of a manuscript, as the program stores it.
#include "cli.h"

#include "platform/cp949.h"
#include "richtext/richtext.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

using namespace verbana;

namespace {

int rtf2txt(const QStringList &args)
{
    if (args.size() < 1 || args.size() > 2)
        return cli::usageError("rtf2txt");
    richtext::PlainText text;
    if (const richtext::Status st = richtext::plainTextOfFile(args[0], text); !st.ok()) {
        cli::err(st.error);
        return cli::Failed;
    }
    if (!text.ok())
        cli::err(QStringLiteral("characters that code page 949 cannot hold, written as '?': %1").arg(text.unmappable));
    if (args.size() == 1) {
        cli::out(cp949::decode(text.bytes));
        return cli::Ok;
    }
    QSaveFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.bytes) != text.bytes.size() || !out.commit()) {
        cli::err(QStringLiteral("%1: %2").arg(args[1], out.errorString()));
        return cli::Failed;
    }
    return cli::Ok;
}

const cli::Registration reg({"rtf2txt", "FILE [OUT]",
                             "plain text of an RTF (or text) manuscript, one paragraph per line: into OUT as the "
                             "program stores text copies (CP949, CR LF), or to standard output in UTF-8 (CR LF) "
                             "when OUT is absent",
                             rtf2txt});

} // namespace
