// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/field_text.h"

#include "platform/cp949.h"

namespace verbana::editing {

QString withoutBrokenBytes(QString text)
{
    text.remove(QChar::ReplacementCharacter);
    return text;
}

cp949::Encoded encodeField(const QString &text) { return cp949::encode(withoutBrokenBytes(text)); }

FieldFit fitField(const QString &text, int widthBytes)
{
    FieldFit fit;
    const cp949::Encoded encoded = encodeField(text);
    if (!encoded.ok()) {
        fit.kind = FieldFit::Unmappable;
        // The first character in full, a surrogate pair included.
        const QString &bad = encoded.unmappable;
        fit.character = bad.left(bad.at(0).isHighSurrogate() && bad.size() > 1 ? 2 : 1);
        return fit;
    }
    if (encoded.bytes.size() > widthBytes)
        fit.kind = FieldFit::TooLong;
    return fit;
}

QString unmappableText(const QString &character)
{
    return QStringLiteral("'") + character + QStringLiteral("' 문자는 설교 자료에 저장할 수 없습니다.\r다른 문자로 입력하십시오.");
}

} // namespace verbana::editing
