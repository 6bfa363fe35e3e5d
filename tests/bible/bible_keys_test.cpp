// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/bible_keys.h"

#include "../store/store_helpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::test;

namespace {

TEST(RefreshBibleNo, DerivesAndPostsTheKey)
{
    QTemporaryDir tmp;
    auto t = openTable(makeSermonTable(tmp.path()));
    for (const char *bible : {"시119:105", "", "창세1:1", "  요3:16 "}) {
        t->Append();
        t->PutString("BIBLE1", k(bible));
        t->Post();
    }
    t->Go(1);
    EXPECT_EQ(bible::RefreshBibleNo(*t), QByteArray("19119105"));
    EXPECT_EQ(t->GetString("BIBLENO"), QByteArray("19119105"));
    t->Go(2);
    EXPECT_EQ(bible::RefreshBibleNo(*t), QByteArray());
    t->Go(3);
    EXPECT_EQ(bible::RefreshBibleNo(*t), QByteArray());
    EXPECT_EQ(t->GetString("BIBLENO"), QByteArray());
    t->Go(4);
    EXPECT_EQ(bible::RefreshBibleNo(*t), QByteArray("43003016"));
    EXPECT_EQ(t->State(), xbase::TableState::Browse);
}

} // namespace
