// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xbase/expression.h"

#include "platform/cp949.h"

#include <cstring>

namespace verbana::xbase {

// One node of the compiled tree. String nodes produce a byte view (into the
// record, the literal, or the node's scratch buffer); logical nodes a bool.
struct Expression::Node {
    enum Op { Literal, FieldRef, Upper, Contains, Equal, NotEqual, Not, And, Or } op;
    int a = -1, b = -1; // operand nodes
    QByteArray literal;
    int offset = 0, length = 0; // FieldRef
    mutable QByteArray scratch; // Upper
};

namespace {

using Node = Expression::Node;

enum class Tok { End, String, Ident, LParen, RParen, Dollar, Eq, Ne, Not, And, Or, Bad };

struct Token {
    Tok kind = Tok::End;
    QByteArray text;
};

class Lexer {
public:
    explicit Lexer(QByteArrayView s) : s_(s) {}

    Token next()
    {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
            ++pos_;
        if (pos_ >= s_.size())
            return {Tok::End, {}};
        const char c = s_[pos_];
        if (c == '"') {
            qsizetype end = pos_ + 1;
            // Walk whole characters: a trail byte is never '"', but keep
            // to boundaries anyway.
            while (end < s_.size() && s_[end] != '"')
                end += cp949::charLength(s_, end);
            if (end >= s_.size())
                return {Tok::Bad, {}};
            Token t{Tok::String, s_.sliced(pos_ + 1, end - pos_ - 1).toByteArray()};
            pos_ = end + 1;
            return t;
        }
        if (c == '(' || c == ')' || c == '$' || c == '=') {
            ++pos_;
            return {c == '(' ? Tok::LParen : c == ')' ? Tok::RParen : c == '$' ? Tok::Dollar : Tok::Eq, {}};
        }
        if (c == '<') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '>') {
                pos_ += 2;
                return {Tok::Ne, {}};
            }
            return {Tok::Bad, {}};
        }
        if (c == '.') {
            const qsizetype end = s_.indexOf('.', pos_ + 1);
            if (end < 0)
                return {Tok::Bad, {}};
            const QByteArray word = cp949::upperAscii(s_.sliced(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            if (word == "NOT")
                return {Tok::Not, {}};
            if (word == "AND")
                return {Tok::And, {}};
            if (word == "OR")
                return {Tok::Or, {}};
            return {Tok::Bad, {}};
        }
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
            qsizetype end = pos_;
            while (end < s_.size()
                   && ((s_[end] >= 'A' && s_[end] <= 'Z') || (s_[end] >= 'a' && s_[end] <= 'z')
                       || (s_[end] >= '0' && s_[end] <= '9') || s_[end] == '_'))
                ++end;
            Token t{Tok::Ident, cp949::upperAscii(s_.sliced(pos_, end - pos_))};
            pos_ = end;
            return t;
        }
        return {Tok::Bad, {}};
    }

private:
    QByteArrayView s_;
    qsizetype pos_ = 0;
};

enum class Type { String, Logical };

// How deep parentheses, UPPER() and .not. may nest. The parser and the
// evaluation recurse once per level, so a text from a file or a user must
// not choose the depth of the stack; real queries nest a few levels.
constexpr int kMaxNesting = 100;

class Parser {
public:
    Parser(QByteArrayView text, const std::vector<dbf::Field> &fields, std::vector<Node> &nodes)
        : lex_(text), fields_(fields), nodes_(nodes)
    {
        advance();
    }

    // Returns the root node, or -1 when the text is not a logical expression.
    int parse()
    {
        Type t;
        const int root = parseOr(t);
        if (root < 0 || tok_.kind != Tok::End || t != Type::Logical)
            return -1;
        return root;
    }

    bool tooDeep() const { return tooDeep_; }

private:
    void advance() { tok_ = lex_.next(); }

    // One level deeper for as long as it lives; false once too deep.
    class Level {
    public:
        explicit Level(Parser &p) : p_(p)
        {
            if (++p_.depth_ > kMaxNesting)
                p_.tooDeep_ = true;
        }
        ~Level() { --p_.depth_; }
        bool ok() const { return !p_.tooDeep_; }

    private:
        Parser &p_;
    };

    int add(Node n)
    {
        nodes_.push_back(std::move(n));
        return int(nodes_.size() - 1);
    }

    int parseOr(Type &t)
    {
        int left = parseAnd(t);
        while (left >= 0 && tok_.kind == Tok::Or) {
            advance();
            Type rt;
            const int right = parseAnd(rt);
            if (right < 0 || t != Type::Logical || rt != Type::Logical)
                return -1;
            left = add({Node::Or, left, right});
        }
        return left;
    }

    int parseAnd(Type &t)
    {
        int left = parseNot(t);
        while (left >= 0 && tok_.kind == Tok::And) {
            advance();
            Type rt;
            const int right = parseNot(rt);
            if (right < 0 || t != Type::Logical || rt != Type::Logical)
                return -1;
            left = add({Node::And, left, right});
        }
        return left;
    }

    int parseNot(Type &t)
    {
        if (tok_.kind == Tok::Not) {
            const Level level(*this);
            if (!level.ok())
                return -1;
            advance();
            const int operand = parseNot(t);
            if (operand < 0 || t != Type::Logical)
                return -1;
            return add({Node::Not, operand});
        }
        return parseCompare(t);
    }

    int parseCompare(Type &t)
    {
        int left = parsePrimary(t);
        if (left < 0)
            return -1;
        if (tok_.kind == Tok::Eq || tok_.kind == Tok::Ne || tok_.kind == Tok::Dollar) {
            const Tok op = tok_.kind;
            advance();
            Type rt;
            const int right = parsePrimary(rt);
            if (right < 0 || t != Type::String || rt != Type::String)
                return -1;
            t = Type::Logical;
            return add({op == Tok::Eq ? Node::Equal : op == Tok::Ne ? Node::NotEqual : Node::Contains, left, right});
        }
        return left;
    }

    int parsePrimary(Type &t)
    {
        switch (tok_.kind) {
        case Tok::String: {
            Node n{Node::Literal};
            n.literal = tok_.text;
            advance();
            t = Type::String;
            return add(std::move(n));
        }
        case Tok::LParen: {
            const Level level(*this);
            if (!level.ok())
                return -1;
            advance();
            const int inner = parseOr(t);
            if (inner < 0 || tok_.kind != Tok::RParen)
                return -1;
            advance();
            return inner;
        }
        case Tok::Ident: {
            const QByteArray name = tok_.text;
            advance();
            if (name == "UPPER" && tok_.kind == Tok::LParen) {
                const Level level(*this);
                if (!level.ok())
                    return -1;
                advance();
                Type it;
                const int inner = parseOr(it);
                if (inner < 0 || it != Type::String || tok_.kind != Tok::RParen)
                    return -1;
                advance();
                t = Type::String;
                return add({Node::Upper, inner});
            }
            for (const dbf::Field &f : fields_) {
                if (cp949::upperAscii(f.name) == name) {
                    Node n{Node::FieldRef};
                    n.offset = f.offset;
                    n.length = f.length;
                    t = Type::String;
                    return add(std::move(n));
                }
            }
            return -1;
        }
        default:
            return -1;
        }
    }

    Lexer lex_;
    const std::vector<dbf::Field> &fields_;
    std::vector<Node> &nodes_;
    Token tok_;
    int depth_ = 0;
    bool tooDeep_ = false;
};

QByteArrayView evalString(const std::vector<Node> &nodes, int i, QByteArrayView record)
{
    const Node &n = nodes[size_t(i)];
    switch (n.op) {
    case Node::Literal:
        return n.literal;
    case Node::FieldRef:
        return record.sliced(n.offset, n.length);
    case Node::Upper:
        n.scratch = cp949::upperAscii(evalString(nodes, n.a, record));
        return n.scratch;
    default:
        return {};
    }
}

// The left begins with the right: xBase comparison with SET EXACT OFF.
bool inexactEqual(QByteArrayView left, QByteArrayView right)
{
    if (right.size() > left.size())
        return false;
    return std::memcmp(left.data(), right.data(), size_t(right.size())) == 0;
}

// A chain of .and. or .or. is a tree leaning left as long as the chain: its
// left spine is walked in a loop, so only nesting (bounded by the parser)
// deepens the recursion. The right operand is tried first, which gives the
// same answer: evaluation has no side effects.
bool evalLogical(const std::vector<Node> &nodes, int i, QByteArrayView record)
{
    for (;;) {
        const Node &n = nodes[size_t(i)];
        switch (n.op) {
        case Node::Contains: {
            const QByteArrayView needle = evalString(nodes, n.a, record);
            if (needle.isEmpty())
                return false; // an empty string occurs nowhere, as in xBase
            return cp949::indexOf(evalString(nodes, n.b, record), needle) >= 0;
        }
        case Node::Equal:
            return inexactEqual(evalString(nodes, n.a, record), evalString(nodes, n.b, record));
        case Node::NotEqual:
            return !inexactEqual(evalString(nodes, n.a, record), evalString(nodes, n.b, record));
        case Node::Not:
            return !evalLogical(nodes, n.a, record);
        case Node::And:
            if (!evalLogical(nodes, n.b, record))
                return false;
            i = n.a;
            break;
        case Node::Or:
            if (evalLogical(nodes, n.b, record))
                return true;
            i = n.a;
            break;
        default:
            return false;
        }
    }
}

} // namespace

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression &&) noexcept = default;
Expression &Expression::operator=(Expression &&) noexcept = default;

Result<Expression> Expression::compile(QByteArrayView text, const std::vector<dbf::Field> &fields)
{
    Expression e;
    e.text_ = text.toByteArray();
    Parser p(text, fields, e.nodes_);
    e.root_ = p.parse();
    if (p.tooDeep())
        return Status::invalidArgument(QStringLiteral("expression nested too deeply"));
    if (e.root_ < 0)
        return Status::invalidArgument(QStringLiteral("Invalid Query Expression"));
    return e;
}

bool Expression::matches(QByteArrayView record) const
{
    return evalLogical(nodes_, root_, record);
}

} // namespace verbana::xbase
