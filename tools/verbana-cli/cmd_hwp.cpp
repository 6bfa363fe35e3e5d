// SPDX-License-Identifier: GPL-3.0-or-later
// hwp-title: the title the batch import takes from an HWP or HWPX file.
#include "cli.h"

#include "exchange/hwp_title.h"
#include "platform/cp949.h"

namespace verbana::cli {
namespace {

int hwpTitle(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("hwp-title");
    const Outcome<QByteArray> title = exchange::ReadHwpTitle(args[0]);
    if (!title.ok()) {
        err(QStringLiteral("%1: cannot be read").arg(args[0]));
        return Failed;
    }
    out(cp949::decode(title.value()) + QLatin1Char('\n'));
    return Ok;
}

const Registration registration{{"hwp-title", "FILE",
                                 "print the title stored in an HWP 3.0, 5.x or HWPX file (empty line when it has none)",
                                 hwpTitle}};

} // namespace
} // namespace verbana::cli
