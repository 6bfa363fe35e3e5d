// SPDX-License-Identifier: GPL-3.0-or-later
#include "richtext/rtf_parser.h"

#include "richtext/codepage.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace verbana::richtext::rtf {
namespace {

// Group nesting kept with its own state; deeper groups share the state of
// the deepest one kept, so a hostile file cannot make the stack grow.
constexpr size_t MaxDepth = 512;
constexpr int MaxKeyword = 32;
constexpr int MaxHalfPoints = 3276;
constexpr int MaxTwips = 31680; // 22 inches

enum class Kw {
    Skip, Par, Line, Tab, Cell, RowEnd, Pard, Plain, Ql, Qc, Qr, Qj, Li, Ri, Fi, B, I, Ul, UlNone,
    Fs, F, Cf, Af, Afs, Ab, Ai, Loch, Dbch, Rtlch, U, Uc, Bin, Deff, AnsiCpg, FontTbl, ColorTbl, FCharset,
    Cpg, Red, Green, Blue, Symbol
};

struct Entry {
    Kw kw;
    char16_t symbol = 0;
};

const std::unordered_map<std::string_view, Entry> &keywords()
{
    static const std::unordered_map<std::string_view, Entry> table = [] {
        std::unordered_map<std::string_view, Entry> t = {
            {"par", {Kw::Par}}, {"line", {Kw::Line}}, {"tab", {Kw::Tab}}, {"cell", {Kw::Cell}},
            {"nestcell", {Kw::Cell}}, {"row", {Kw::RowEnd}}, {"nestrow", {Kw::RowEnd}}, {"sect", {Kw::RowEnd}},
            {"pard", {Kw::Pard}}, {"plain", {Kw::Plain}}, {"ql", {Kw::Ql}}, {"qc", {Kw::Qc}}, {"qr", {Kw::Qr}},
            {"qj", {Kw::Qj}}, {"qd", {Kw::Qj}}, {"li", {Kw::Li}}, {"lin", {Kw::Li}}, {"ri", {Kw::Ri}},
            {"rin", {Kw::Ri}}, {"fi", {Kw::Fi}}, {"b", {Kw::B}}, {"i", {Kw::I}}, {"ul", {Kw::Ul}},
            {"ulnone", {Kw::UlNone}}, {"fs", {Kw::Fs}}, {"f", {Kw::F}}, {"cf", {Kw::Cf}}, {"af", {Kw::Af}},
            {"afs", {Kw::Afs}}, {"ab", {Kw::Ab}}, {"ai", {Kw::Ai}}, {"loch", {Kw::Loch}}, {"hich", {Kw::Loch}},
            {"ltrch", {Kw::Loch}}, {"dbch", {Kw::Dbch}}, {"rtlch", {Kw::Rtlch}}, {"u", {Kw::U}}, {"uc", {Kw::Uc}},
            {"bin", {Kw::Bin}}, {"deff", {Kw::Deff}}, {"ansicpg", {Kw::AnsiCpg}}, {"fonttbl", {Kw::FontTbl}},
            {"colortbl", {Kw::ColorTbl}}, {"fcharset", {Kw::FCharset}}, {"cpg", {Kw::Cpg}}, {"red", {Kw::Red}},
            {"green", {Kw::Green}}, {"blue", {Kw::Blue}},
            {"lquote", {Kw::Symbol, 0x2018}}, {"rquote", {Kw::Symbol, 0x2019}},
            {"ldblquote", {Kw::Symbol, 0x201C}}, {"rdblquote", {Kw::Symbol, 0x201D}},
            {"bullet", {Kw::Symbol, 0x2022}}, {"endash", {Kw::Symbol, 0x2013}}, {"emdash", {Kw::Symbol, 0x2014}},
            {"enspace", {Kw::Symbol, 0x2002}}, {"emspace", {Kw::Symbol, 0x2003}},
            {"qmspace", {Kw::Symbol, 0x2005}},
        };
        // Every kind of underline reads as underline.
        for (const char *w : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
                              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(w, Entry{Kw::Ul});
        // Destinations whose content is not body text.
        for (const char *w :
             {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer", "footerl",
              "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate", "atnref", "fldinst",
              "pntext", "listtext", "pn", "listtable", "listoverridetable", "rsidtbl", "xmlnstbl", "themedata",
              "colorschememapping", "datastore", "latentstyles", "generator", "filetbl", "revtbl", "falt", "panose",
              "template", "docvar", "userprops", "xe", "tc", "txe", "bkmkstart", "bkmkend", "nonshppict", "shp",
              "shpinst", "shptxt", "sp", "sn", "sv", "objdata", "nonesttables", "upr", "ftnsep", "ftnsepc",
              "aftnsep", "aftnsepc", "ftncn", "aftncn", "leveltext", "levelnumbers", "listname", "pgdsctbl",
              "mmathPr", "creatim", "revtim", "printim", "buptim", "author", "title", "subject", "operator",
              "keywords", "comment", "doccomm", "company", "manager", "category", "hlinkbase", "protusertbl",
              "fchars", "lchars", "pnseclvl", "pntxta", "pntxtb", "formfield", "datafield", "background",
              "private", "fname", "blipuid", "passwordhash", "wgrffmtfilter", "mhtmltag", "htmltag"})
            t.emplace(w, Entry{Kw::Skip});
        return t;
    }();
    return table;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool flag(bool hasParam, int param) { return !hasParam || param != 0; }

} // namespace

const Font *Parser::font(int id) const
{
    const auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : &it->second;
}

const Color *Parser::color(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= colors_.size())
        return nullptr;
    return &colors_[static_cast<size_t>(index)];
}

void Parser::parse(QByteArrayView rtf)
{
    const char *p = rtf.data();
    const char *const end = p + rtf.size();
    while (p < end && !done_) {
        const char c = *p;
        if (c == '{') {
            ++p;
            ucSkip_ = 0;
            openGroup();
        } else if (c == '}') {
            ++p;
            ucSkip_ = 0;
            closeGroup();
        } else if (c == '\\') {
            ++p;
            if (p == end)
                break;
            if (isLetter(*p)) {
                const char *w = p;
                while (p < end && isLetter(*p))
                    ++p;
                QByteArrayView word(w, std::min<qsizetype>(p - w, MaxKeyword));
                bool negative = false;
                if (p + 1 < end && *p == '-' && isDigit(p[1])) {
                    negative = true;
                    ++p;
                }
                bool hasParam = false;
                long long value = 0;
                while (p < end && isDigit(*p)) {
                    hasParam = true;
                    if (value < 100000000000LL)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                if (p < end && *p == ' ')
                    ++p;
                value = std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL);
                const int param = static_cast<int>(value);
                if (word == "bin") {
                    // Binary data: skipped whole, whatever it holds.
                    if (hasParam && param > 0)
                        p += std::min<qsizetype>(param, end - p);
                    continue;
                }
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    continue;
                }
                controlWord(word, hasParam, param);
            } else if (*p == '\'') {
                ++p;
                int v = 0;
                int digits = 0;
                while (digits < 2 && p < end && hexValue(*p) >= 0) {
                    v = v * 16 + hexValue(*p);
                    ++p;
                    ++digits;
                }
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    continue;
                }
                if (digits > 0)
                    emitByte(static_cast<unsigned char>(v));
            } else {
                const char s = *p++;
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    continue;
                }
                switch (s) {
                case '\\':
                case '{':
                case '}':
                    text(&s, 1);
                    break;
                case '~': emitUnit(0x00A0); break;
                case '_': emitUnit(u'-'); break;
                case '*': state_.dest = Dest::Skip; break;
                case '\r':
                case '\n':
                    if (state_.dest == Dest::Body && !stack_.empty())
                        endParagraph();
                    break;
                case '\t': emitUnit(u'\t'); break;
                default: break; // optional hyphen, index marks and the like
                }
            }
        } else if (c == '\r' || c == '\n') {
            ++p;
        } else if (ucSkip_ > 0) {
            --ucSkip_;
            ++p;
        } else {
            const char *s = p;
            while (p < end && *p != '\\' && *p != '{' && *p != '}' && *p != '\r' && *p != '\n')
                ++p;
            text(s, p - s);
        }
    }
    if (paraHasContent_)
        endParagraph();
}

void Parser::openGroup()
{
    if (stack_.size() < MaxDepth)
        stack_.push_back(state_);
    else
        ++overflowDepth_;
}

void Parser::closeGroup()
{
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.empty()) {
        done_ = true;
        return;
    }
    if (state_.dest == Dest::FontTable && entryOpen_)
        endFontEntry();
    state_ = stack_.back();
    stack_.pop_back();
    changed();
    if (stack_.empty())
        done_ = true;
}

void Parser::text(const char *data, qsizetype size)
{
    if (stack_.empty())
        return;
    switch (state_.dest) {
    case Dest::Body: {
        const char *s = data;
        const char *const end = data + size;
        while (s < end) {
            const char *e = s;
            while (e < end && static_cast<unsigned char>(*e) >= 0x20)
                ++e;
            if (e > s) {
                sink_.bytes(s, e - s, currentCodePage_);
                paraHasContent_ = true;
            }
            if (e < end)
                emitByte(static_cast<unsigned char>(*e++));
            s = e;
        }
        break;
    }
    case Dest::FontTable:
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] == ';')
                endFontEntry();
            else if (entryOpen_ && static_cast<unsigned char>(data[i]) >= 0x20)
                entry_.rawName.append(data[i]);
        }
        break;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] == ';') {
                colors_.push_back(colorEntry_);
                colorEntry_ = Color();
            }
        }
        break;
    case Dest::Skip:
        break;
    }
}

void Parser::emitByte(unsigned char b)
{
    if (state_.dest == Dest::FontTable) {
        if (entryOpen_ && b >= 0x20)
            entry_.rawName.append(static_cast<char>(b));
        return;
    }
    if (state_.dest != Dest::Body || stack_.empty())
        return;
    if (b >= 0x20) {
        const char c = static_cast<char>(b);
        sink_.bytes(&c, 1, currentCodePage_);
        paraHasContent_ = true;
    } else {
        emitUnit(b);
    }
}

void Parser::emitUnit(char16_t u)
{
    if (state_.dest == Dest::FontTable && entryOpen_ && u >= 0x20) {
        flushFontName();
        entry_.name.append(QChar(u));
        return;
    }
    if (state_.dest != Dest::Body || stack_.empty())
        return;
    if (u == 0x0B || u == 0x2028) {
        sink_.lineBreak();
        paraHasContent_ = true;
    } else if (u == 0x2029) {
        endParagraph();
    } else if ((u >= 0x20 && u != 0xFDD0 && u != 0xFDD1) || u == u'\t') {
        sink_.unit(u);
        paraHasContent_ = true;
    }
}

void Parser::endParagraph()
{
    sink_.paragraphEnd();
    paraHasContent_ = false;
}

void Parser::endFontEntry()
{
    if (!entryOpen_)
        return;
    entryOpen_ = false;
    flushFontName();
    Font f = std::move(entry_);
    entry_ = Font();
    f.name = f.name.trimmed();
    const int id = f.id;
    fonts_.insert_or_assign(id, std::move(f));
    changed();
}

void Parser::flushFontName()
{
    const int cp = entry_.codePage ? entry_.codePage : codepage::fromCharset(entry_.charset, codePage_);
    codepage::decode(cp, entry_.rawName, entry_.name);
    entry_.rawName.clear();
}

void Parser::updateCodePage()
{
    const CharProps &c = state_.chars;
    const int id = (c.runType == RunType::Double && c.dbFont >= 0) ? c.dbFont : c.font;
    const Font *f = font(id);
    int cp = codePage_;
    if (f)
        cp = f->codePage ? f->codePage : codepage::fromCharset(f->charset, codePage_);
    currentCodePage_ = cp;
}

void Parser::changed()
{
    updateCodePage();
    sink_.propertiesChanged();
}

void Parser::controlWord(QByteArrayView word, bool hasParam, int param)
{
    const auto &table = keywords();
    const auto it = table.find(std::string_view(word.data(), static_cast<size_t>(word.size())));
    if (it == table.end())
        return;
    CharProps &c = state_.chars;
    ParaProps &pp = state_.para;
    const bool db = c.runType == RunType::Double;
    switch (it->second.kw) {
    case Kw::Skip: state_.dest = Dest::Skip; return;
    case Kw::Par:
    case Kw::Cell:
        if (state_.dest == Dest::Body && !stack_.empty())
            endParagraph();
        return;
    case Kw::RowEnd:
        if (state_.dest == Dest::Body && paraHasContent_)
            endParagraph();
        return;
    case Kw::Line: emitUnit(0x2028); return;
    case Kw::Tab: emitUnit(u'\t'); return;
    case Kw::Symbol: emitUnit(it->second.symbol); return;
    case Kw::U:
        if (param < 0)
            param += 65536;
        if (param >= 0 && param <= 0xFFFF)
            emitUnit(static_cast<char16_t>(param));
        ucSkip_ = state_.uc;
        return;
    case Kw::Uc: state_.uc = std::clamp(param, 0, 16); return;
    case Kw::Bin: return;
    case Kw::Pard: pp = ParaProps(); break;
    case Kw::Plain: c = CharProps(); c.font = defaultFont_; break;
    case Kw::Ql: pp.align = Align::Left; break;
    case Kw::Qc: pp.align = Align::Center; break;
    case Kw::Qr: pp.align = Align::Right; break;
    case Kw::Qj: pp.align = Align::Justify; break;
    case Kw::Li: pp.leftTwips = std::clamp(param, -MaxTwips, MaxTwips); break;
    case Kw::Ri: pp.rightTwips = std::clamp(param, -MaxTwips, MaxTwips); break;
    case Kw::Fi: pp.firstTwips = std::clamp(param, -MaxTwips, MaxTwips); break;
    case Kw::B: c.bold = flag(hasParam, param); break;
    case Kw::I: c.italic = flag(hasParam, param); break;
    case Kw::Ul: c.underline = flag(hasParam, param); break;
    case Kw::UlNone: c.underline = false; break;
    case Kw::Fs:
        if (param > 0)
            c.halfPoints = std::min(param, MaxHalfPoints);
        break;
    case Kw::F:
        if (state_.dest == Dest::FontTable) {
            endFontEntry();
            entry_ = Font();
            entry_.id = param;
            entryOpen_ = true;
            return;
        }
        c.font = param;
        break;
    case Kw::Cf: c.color = std::max(param, 0); break;
    case Kw::Af:
        if (db)
            c.dbFont = param;
        break;
    case Kw::Afs:
        if (db && param > 0)
            c.dbHalfPoints = std::min(param, MaxHalfPoints);
        break;
    case Kw::Ab:
        if (db)
            c.dbBold = flag(hasParam, param) ? 1 : 0;
        break;
    case Kw::Ai:
        if (db)
            c.dbItalic = flag(hasParam, param) ? 1 : 0;
        break;
    case Kw::Loch: c.runType = RunType::Low; break;
    case Kw::Dbch: c.runType = RunType::Double; break;
    case Kw::Rtlch: c.runType = RunType::Other; break;
    case Kw::Deff:
        defaultFont_ = param;
        if (c.font < 0)
            c.font = param;
        break;
    case Kw::AnsiCpg: codePage_ = param > 0 ? param : codepage::Cp949; break;
    case Kw::FontTbl: state_.dest = Dest::FontTable; return;
    case Kw::ColorTbl: state_.dest = Dest::ColorTable; return;
    case Kw::FCharset:
        if (state_.dest == Dest::FontTable)
            entry_.charset = param;
        return;
    case Kw::Cpg:
        if (state_.dest == Dest::FontTable)
            entry_.codePage = param;
        return;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue: {
        const int v = std::clamp(param, 0, 255);
        const QRgb old = colorEntry_.rgb;
        const Kw k = it->second.kw;
        colorEntry_.automatic = false;
        colorEntry_.rgb = qRgb(k == Kw::Red ? v : qRed(old), k == Kw::Green ? v : qGreen(old),
                               k == Kw::Blue ? v : qBlue(old));
        return;
    }
    }
    changed();
}

} // namespace verbana::richtext::rtf
