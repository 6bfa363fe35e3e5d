// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/cfb.h"
#include "hwp/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace verbana::hwp {

// FileHeader properties of an HWP 5.x document.
struct Hwp5Header {
    quint32 version = 0;
    quint32 flags = 0;
    bool compressed() const { return flags & 0x1; }
    bool password() const { return flags & 0x2; }
    bool distribution() const { return flags & 0x4; }
    bool drm() const { return flags & (0x10 | 0x100 | 0x400); }
};

Result<Hwp5Header> readHwp5Header(const CompoundFile &file);

// The text of an HWP 5.x document: every section in order, one line per
// paragraph ('\n' ends each), nested lists after the paragraph that holds
// them; line breaks inside a paragraph also give '\n'. Distribution
// documents are read from their encrypted view sections.
Result<QString> readHwp5Text(const CompoundFile &file);

// The text of one section's record stream (already inflated and decrypted),
// appended to `out`. `padded`: the stream may end in up to 15 bytes of
// cipher padding.
Result<bool> appendSectionText(QByteArrayView records, QString &out, bool padded = false);

// Decrypts a distribution document's view section: the key record, then
// AES-128 blocks. The result is still compressed when the document is.
Result<QByteArray> decryptViewSection(QByteArrayView stream);

// The title in the document's summary information ("\005HwpSummaryInformation"):
// empty when the stream or the property is missing.
Result<QString> readHwp5Title(const CompoundFile &file);

// The title property (id 2) of an OLE property-set stream; empty when absent.
Result<QString> propertySetTitle(QByteArrayView stream);

} // namespace verbana::hwp
