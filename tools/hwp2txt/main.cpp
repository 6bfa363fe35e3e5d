// SPDX-License-Identifier: GPL-3.0-or-later
// Hwp2txt: writes the text of an HWP 3.0, 5.x or HWPX document as a CP949
// text file. Usage: Hwp2txt IN.hwp OUT.txt /ks (IN.hwpx alike; the format
// is told by the file's first bytes). Exit status: 0 written; 1 the
// document cannot be read (damaged, not HWP, protected, a refused
// package); 2 wrong usage; 3 the input cannot be opened or the output
// cannot be written. On failure no output file is made and standard error
// gets one line saying why.
#include "hwp/document.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

enum Exit { Written = 0, Unreadable = 1, Usage = 2, FileError = 3 };

int failWith(int code, const QString &why)
{
    std::fprintf(stderr, "Hwp2txt: %s\n", why.toLocal8Bit().constData());
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4 || qstricmp(argv[3], "/ks") != 0)
        return failWith(Usage, QStringLiteral("usage: Hwp2txt IN.hwp OUT.txt /ks"));
    const QString inPath = QFile::decodeName(argv[1]);
    const QString outPath = QFile::decodeName(argv[2]);

    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        return failWith(FileError, QStringLiteral("%1: %2").arg(inPath, in.errorString()));
    auto text = verbana::hwp::readHwpText(in);
    in.close();
    if (!text.ok())
        return failWith(Unreadable, QStringLiteral("%1: %2").arg(inPath, text.reason()));

    QSaveFile out(outPath);
    out.setDirectWriteFallback(false);
    const QByteArray bytes = verbana::hwp::toTextFile(text.value());
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return failWith(FileError, QStringLiteral("%1: %2").arg(outPath, out.errorString()));
    return Written;
}
