// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/dbf_format.h"
#include "store/xbase/status.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>
#include <vector>

// Query expressions in the engine's xBase dialect: field names (any case),
// double-quoted strings, `$` (left occurs in right), UPPER(), .not., .and.,
// .or., `=` (inexact: the left begins with the right), `<>` and
// parentheses. Field values take part blank-padded to their width. An
// expression is compiled once against a table's fields and evaluated
// against raw record buffers.
namespace verbana::xbase {

class Expression {
public:
    ~Expression();
    Expression(Expression &&) noexcept;
    Expression &operator=(Expression &&) noexcept;

    // Compiles `text` (CP949 bytes) for a table with these fields. A text
    // that is not a logical expression of the dialect gives InvalidArgument.
    static Result<Expression> compile(QByteArrayView text, const std::vector<dbf::Field> &fields);

    // Evaluates against one record (recordLength bytes, deletion flag first).
    bool matches(QByteArrayView record) const;

    const QByteArray &text() const { return text_; }

    struct Node;

private:
    Expression();
    QByteArray text_;
    std::vector<Node> nodes_;
    int root_ = -1;
};

} // namespace verbana::xbase
