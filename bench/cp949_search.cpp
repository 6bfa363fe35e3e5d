// SPDX-License-Identifier: GPL-3.0-or-later
// Times the character-aware search of a text copy: reads FILE into memory,
// searches it for the word given in hex ROUNDS times and prints the best
// time in seconds and where the word was found (-1: nowhere).
// Usage: cp949_search FILE HEXWORD [ROUNDS]
#include "platform/cp949.h"

#include <QByteArray>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE HEXWORD [ROUNDS]\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray text = file.readAll();
    const QByteArray word = QByteArray::fromHex(argv[2]);
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    double best = 1e9;
    qsizetype at = -1;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        at = verbana::cp949::indexOf(text, word);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    std::printf("%.4f %lld\n", best, static_cast<long long>(at));
    return 0;
}
