// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRgb>
#include <QString>

#include <unordered_map>
#include <vector>

// The RTF token stream shared by the document reader and the plain-text
// reader. The parser keeps the group state (character and paragraph
// properties, the destination being read, the Unicode fallback count),
// reads the font and colour tables, skips the destinations that hold no
// body text, and hands the body to a Sink: text bytes with the code page
// they are in, single UTF-16 units, line breaks and paragraph ends.
namespace verbana::richtext::rtf {

enum class Align : unsigned char { Left, Center, Right, Justify };

// Which character set the text that follows belongs to: \dbch selects the
// double-byte set, whose associated properties (\af, \afs, \ab, \ai) other
// writers use for Korean runs.
enum class RunType : unsigned char { Low, Double, Other };

struct CharProps {
    int font = -1; // \f id, -1 none
    int halfPoints = 24;
    int color = 0; // \cf index, 0 the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    RunType runType = RunType::Low;
    int dbFont = -1; // associated properties of double-byte runs; -1 unset
    int dbHalfPoints = -1;
    signed char dbBold = -1;
    signed char dbItalic = -1;
};

struct ParaProps {
    Align align = Align::Left;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0;
    bool operator==(const ParaProps &) const = default;
};

struct Font {
    int id = 0;
    int charset = 1;
    int codePage = 0; // 0: the document's code page
    QByteArray rawName; // name bytes not yet decoded
    QString name;
};

struct Color {
    bool automatic = true;
    QRgb rgb = 0;
};

class Sink {
public:
    virtual ~Sink() = default;
    // Text bytes (never below 0x20) in the given code page.
    virtual void bytes(const char *data, qsizetype size, int codePage) = 0;
    // One UTF-16 unit: \uN, a symbol keyword or a tab.
    virtual void unit(char16_t u) = 0;
    virtual void lineBreak() = 0;
    virtual void paragraphEnd() = 0;
    // Character or paragraph properties may have changed.
    virtual void propertiesChanged() {}
};

class Parser {
public:
    explicit Parser(Sink &sink) : sink_(sink) {}

    // Reads a whole document. Anything after the brace that closes the
    // outermost group is ignored; an unclosed document ends at the end of
    // the data. A paragraph with text but no closing \par is ended here.
    void parse(QByteArrayView rtf);

    const CharProps &chars() const { return state_.chars; }
    const ParaProps &para() const { return state_.para; }
    const Font *font(int id) const; // the last definition of the id, or null
    const Color *color(int index) const;
    int documentCodePage() const { return codePage_; }

    // The code page of text written in the current properties.
    int currentCodePage() const { return currentCodePage_; }

private:
    enum class Dest : unsigned char { Body, Skip, FontTable, ColorTable };
    struct State {
        Dest dest = Dest::Body;
        int uc = 1;
        CharProps chars;
        ParaProps para;
    };

    void openGroup();
    void closeGroup();
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void text(const char *data, qsizetype size);
    void emitByte(unsigned char b);
    void emitUnit(char16_t u);
    void endParagraph();
    void endFontEntry();
    void flushFontName();
    void updateCodePage();
    void changed();

    Sink &sink_;
    State state_;
    std::vector<State> stack_;
    int overflowDepth_ = 0; // groups deeper than the stack keeps
    int codePage_ = 949;
    int defaultFont_ = -1;
    int currentCodePage_ = 949;
    int ucSkip_ = 0; // fallback characters still to skip after \uN
    bool paraHasContent_ = false;
    bool done_ = false;
    std::unordered_map<int, Font> fonts_; // by id; a later definition replaces an earlier one
    std::vector<Color> colors_;
    Font entry_; // font table entry being read
    bool entryOpen_ = false;
    Color colorEntry_;
};

} // namespace verbana::richtext::rtf
