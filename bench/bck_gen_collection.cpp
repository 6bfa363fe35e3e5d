// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a sermon collection for the BCK benchmark: a sermon table file and,
// per sermon, an RTF manuscript of 5-30 KB in data/ and its plain-text copy
// in text/, both CP949 Korean. Usage: bck_gen_collection FOLDER COUNT [SEED]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A vocabulary of Hangul words (two-byte KS X 1001 syllables), drawn with a
// skewed distribution so that the text repeats words as prose does.
std::vector<std::string> makeWords(std::mt19937 &gen)
{
    std::vector<std::string> words;
    std::uniform_int_distribution<int> lead(0xB0, 0xC8), trail(0xA1, 0xFE), len(1, 4);
    for (int i = 0; i < 800; ++i) {
        std::string w;
        for (int n = len(gen); n > 0; --n) {
            w += char(lead(gen));
            w += char(trail(gen));
        }
        words.push_back(w);
    }
    return words;
}

std::string sermonText(std::mt19937 &gen, const std::vector<std::string> &words, size_t size)
{
    std::geometric_distribution<size_t> pick(0.01);
    std::uniform_int_distribution<int> sentence(5, 15), paragraph(3, 8);
    std::string text;
    while (text.size() < size) {
        for (int s = paragraph(gen); s > 0; --s) {
            for (int w = sentence(gen); w > 0; --w) {
                text += words[pick(gen) % words.size()];
                text += w > 1 ? " " : ". ";
            }
        }
        text += "\r\n";
    }
    return text;
}

std::string rtfOf(const std::string &text, int number)
{
    static const char hex[] = "0123456789abcdef";
    std::string rtf = "{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset129 "
                      "\\'b1\\'bc\\'b8\\'b2\\'c3\\'bc;}}\r\n{\\colortbl;\\red0\\green0\\blue0;}\r\n"
                      "\\viewkind4\\uc1\\pard\\lang1042\\f0\\fs20 ";
    rtf += "\\b " + std::to_string(number) + "\\b0\\par\r\n";
    size_t column = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r')
            continue;
        if (c == '\n') {
            rtf += "\\par\r\n";
            column = 0;
            continue;
        }
        if (c >= 0x80) {
            rtf += "\\'";
            rtf += hex[c >> 4];
            rtf += hex[c & 15];
            column += 4;
        } else {
            rtf += char(c);
            ++column;
        }
        if (column > 250) {
            rtf += "\r\n";
            column = 0;
        }
    }
    return rtf + "\\par\r\n}\r\n";
}

bool write(const fs::path &p, const std::string &data)
{
    std::ofstream out(p, std::ios::binary);
    out.write(data.data(), std::streamsize(data.size()));
    return bool(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER COUNT [SEED]\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const int count = std::atoi(argv[2]);
    std::mt19937 gen(argc > 3 ? unsigned(std::atoi(argv[3])) : 1u);
    const std::vector<std::string> words = makeWords(gen);
    fs::create_directories(root / "data");
    fs::create_directories(root / "text");
    std::uniform_int_distribution<size_t> rtfSize(5 * 1024, 30 * 1024);
    std::string table(32 + 33 * 21, ' ');
    for (int i = 1; i <= count; ++i) {
        const size_t target = rtfSize(gen);
        // An RTF of Korean text is about 3.7 times its text: four characters
        // per byte, plus markup.
        const std::string text = sermonText(gen, words, target * 10 / 37);
        std::string rtf = rtfOf(text, i);
        if (rtf.size() > target)
            rtf.resize(target - 4), rtf += "\r\n}\n";
        const std::string name = "sul" + std::to_string(i);
        if (!write(root / "data" / (name + ".rtf"), rtf) || !write(root / "text" / (name + ".txt"), text)) {
            std::fprintf(stderr, "cannot write into %s\n", root.c_str());
            return 1;
        }
        table += ' ' + std::string(1100, ' ').replace(0, name.size(), name);
    }
    table += '\x1a';
    return write(root / "sul2file.dbf", table) ? 0 : 1;
}
