// SPDX-License-Identifier: GPL-3.0-or-later
// The HWPX reader: the fixtures' text, where the text of objects goes, the
// title, and packages made here to be refused.
#include "hwp/document.h"
#include "hwp/hwpx.h"
#include "support/fixtures.h"
#include "support/hwpx_package.h"

#include <gtest/gtest.h>

using namespace verbana::hwp;
using verbana::test::hwpxPackage;
using verbana::test::hwpxSection;

namespace {

QString hwpxFixture(const char *name)
{
    return verbana::test::sharedFixtures() + QStringLiteral("/hwpx/") + QLatin1String(name);
}

QStringList hwpxLines(const char *hwpx)
{
    const QByteArray file = verbana::test::readAll(hwpxFixture(hwpx));
    EXPECT_EQ(detectFormat(file), Format::Hwpx);
    auto text = readHwpText(QByteArrayView(file));
    EXPECT_TRUE(text.ok()) << text.reason().toStdString();
    EXPECT_TRUE(text.value().endsWith(u'\n'));
    return text.value().chopped(1).split(u'\n');
}

QStringList hwpxFloor(const char *name)
{
    QString text = QString::fromUtf8(verbana::test::readAll(hwpxFixture(name)));
    text.remove(u'\r');
    return text.chopped(1).split(u'\n');
}

QByteArray hwpxBody(const char *paragraphs) { return hwpxSection(paragraphs); }

QString packageText(const QByteArray &package)
{
    auto text = readHwpxText(package);
    EXPECT_TRUE(text.ok()) << text.reason().toStdString();
    return text.value();
}

} // namespace

TEST(Hwpx, FixturesGiveTheirParagraphsInOrderWithObjectsAfterTheirHolder)
{
    VERBANA_REQUIRE_FIXTURES();
    // Plain paragraphs: the floor is the whole text; numbering and bullets
    // are paragraph properties, not text.
    EXPECT_EQ(hwpxLines("multipara.hwpx"), hwpxFloor("multipara.top-level-paragraphs.txt"));
    EXPECT_EQ(hwpxLines("parahead.hwpx"), hwpxFloor("parahead.top-level-paragraphs.txt"));

    // The table's cells (and the text box) follow the paragraph holding them.
    const QStringList table = hwpxLines("table.hwpx");
    EXPECT_EQ(table.size(), 33);
    const qsizetype cells = table.indexOf(QStringLiteral("이름"));
    ASSERT_GT(cells, 0);
    EXPECT_EQ(table.mid(cells, 4), (QStringList{QStringLiteral("이름"), QStringLiteral("국어"), QStringLiteral("영어"),
                                                QStringLiteral("수학")}));

    // Footer and header text after the (empty) first paragraph holding them.
    EXPECT_EQ(hwpxLines("headerfooter.hwpx"),
              (QStringList{QString(), QStringLiteral("꼬리말"), QString(), QStringLiteral("머리말 테스트")}));
}

TEST(Hwpx, RunsControlsAndNestedParagraphsAsTheBinaryReaderGivesThem)
{
    const QByteArray body = hwpxBody(
        "<hp:p><hp:run><hp:t>a<hp:tab/>b<hp:lineBreak/>c<hp:hyphen/>d<hp:nbSpace/>e<hp:fwSpace/>f&amp;&#xAC00;</hp:t>"
        "</hp:run>"
        "<hp:run><hp:tbl><hp:tr>"
        "<hp:tc><hp:subList><hp:p><hp:run><hp:t>cell 1</hp:t></hp:run></hp:p></hp:subList></hp:tc>"
        "<hp:tc><hp:subList><hp:p><hp:run><hp:t>cell 2</hp:t><hp:ctrl><hp:footNote><hp:subList>"
        "<hp:p><hp:run><hp:t>note</hp:t></hp:run></hp:p></hp:subList></hp:footNote></hp:ctrl></hp:run></hp:p>"
        "</hp:subList></hp:tc></hp:tr></hp:tbl>"
        "<hp:rect><hp:drawText><hp:subList><hp:p><hp:run><hp:t>box</hp:t></hp:run></hp:p></hp:subList></hp:drawText>"
        "<hp:shapeComment>not text</hp:shapeComment></hp:rect><hp:switch><hp:case hp:required-namespace=\"x\">"
        "<hp:p><hp:run><hp:t>new</hp:t></hp:run></hp:p></hp:case><hp:default><hp:p><hp:run><hp:t>old</hp:t></hp:run>"
        "</hp:p></hp:default></hp:switch><hp:t> after</hp:t></hp:run></hp:p>"
        "<hp:p><hp:run/></hp:p><hp:p><hp:run><hp:t xml:space=\"preserve\">  </hp:t></hp:run></hp:p>");
    EXPECT_EQ(packageText(hwpxPackage({{"Contents/section0.xml", body}})),
              QStringLiteral("a\tb\nc-d e f&가 after\ncell 1\ncell 2\nnote\nbox\nold\n\n  \n"));

    // Sections by their number, whatever the order of the entries.
    const QByteArray two =
        hwpxPackage({{"Contents/section10.xml", hwpxBody("<hp:p><hp:run><hp:t>ten</hp:t></hp:run></hp:p>")},
                     {"Contents/section2.xml", hwpxBody("<hp:p><hp:run><hp:t>two</hp:t></hp:run></hp:p>")},
                     {"Contents/section2.xml.bak", "junk"}});
    EXPECT_EQ(packageText(two), QStringLiteral("two\nten\n"));
}

TEST(Hwpx, TitleComesFromTheMetadata)
{
    const QByteArray hpf = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                           R"(<opf:package xmlns:opf="http://www.idpf.org/2007/opf/"><opf:metadata>)"
                           R"(<opf:title>은혜의 말씀</opf:title><opf:language>ko</opf:language></opf:metadata>)"
                           R"(<opf:manifest><opf:item id="title" href="x"/></opf:manifest></opf:package>)";
    const QByteArray body = hwpxBody("<hp:p/>");
    auto title = readHwpxTitle(hwpxPackage({{"Contents/content.hpf", hpf}, {"Contents/section0.xml", body}}));
    ASSERT_TRUE(title.ok()) << title.reason().toStdString();
    EXPECT_EQ(title.value(), QStringLiteral("은혜의 말씀"));
    title = readHwpxTitle(hwpxPackage({{"Contents/section0.xml", body}}));
    EXPECT_TRUE(title.ok() && title.value().isEmpty());
}

TEST(Hwpx, HostilePackagesAreRefusedWithTheirReason)
{
    const QByteArray body = hwpxBody("<hp:p><hp:run><hp:t>x</hp:t></hp:run></hp:p>");
    QByteArray deep = "<hp:p>";
    for (int i = 0; i < 300; ++i)
        deep = "<hp:run>" + deep + "</hp:run>";
    const QByteArray laughs = R"(<?xml version="1.0"?><!DOCTYPE s [<!ENTITY a "aaaaaaaaaa">)"
                              R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">)"
                              R"(<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>)"
                              R"(<hs:sec xmlns:hs="http://www.hancom.co.kr/hwpml/2011/section" )"
                              R"(xmlns:hp="http://www.hancom.co.kr/hwpml/2011/paragraph">)"
                              R"(<hp:p><hp:run><hp:t>&c;</hp:t></hp:run></hp:p></hs:sec>)";
    const QByteArray encryptedManifest =
        R"(<odf:manifest xmlns:odf="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"><odf:file-entry )"
        R"(odf:full-path="Contents/section0.xml"><odf:encryption-data/></odf:file-entry></odf:manifest>)";
    struct Case {
        const char *what;
        QByteArray package;
        Fault fault;
        const char *reason;
    };
    const Case cases[] = {
        {"no mimetype", verbana::test::zipBytes({{"Contents/section0.xml", body}}), Fault::WrongKind,
         "a ZIP package, but not an HWPX document (it has no mimetype)"},
        {"wrong mimetype", hwpxPackage({{"Contents/section0.xml", body}}, "application/epub+zip"), Fault::WrongKind,
         "a ZIP package, but not an HWPX document (its mimetype is \"application/epub+zip\")"},
        {"no section", hwpxPackage({{"Contents/header.xml", "<x/>"}}), Fault::Damaged,
         "damaged HWPX document: it has no section (Contents/section0.xml)"},
        {"malformed", hwpxPackage({{"Contents/section0.xml", hwpxBody("<hp:p><hp:run>")}}), Fault::Damaged,
         "damaged HWPX document: Contents/section0.xml is not well-formed XML"},
        {"entities", hwpxPackage({{"Contents/section0.xml", laughs}}), Fault::Damaged,
         "damaged HWPX document: Contents/section0.xml declares a document type or entities, which are refused"},
        {"deep", hwpxPackage({{"Contents/section0.xml", hwpxBody(deep.constData())}}), Fault::Damaged,
         "damaged HWPX document: Contents/section0.xml nests elements deeper than 256 levels"},
        {"inflates past its size", hwpxPackage({{.name = "Contents/section0.xml", .data = body, .declaredSize = quint64(body.size() - 8)}}),
         Fault::Damaged,
         "damaged HWPX document: Contents/section0.xml inflates past its declared size"},
        {"too large", hwpxPackage({{.name = "Contents/section0.xml", .data = body, .declaredSize = quint64(1) << 31}}), Fault::TooLarge,
         "the package unpacks to more than 128 MB (at Contents/section0.xml)"},
        {"later section too large",
         hwpxPackage({{"Contents/section0.xml", body}, {.name = "Contents/section1.xml", .data = body, .declaredSize = (quint64(1) << 27) - 10}}),
         Fault::TooLarge, "the package unpacks to more than 128 MB (at Contents/section1.xml)"},
        {"encrypted", hwpxPackage({{"META-INF/manifest.xml", encryptedManifest}, {"Contents/section0.xml", body}}),
         Fault::Protected, "the document is protected by a password"},
        {"cut short", hwpxPackage({{"Contents/section0.xml", body}}).left(60), Fault::Damaged,
         "damaged HWPX document: the package cannot be opened"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto text = readHwpText(QByteArrayView(c.package));
        EXPECT_FALSE(text.ok());
        EXPECT_EQ(text.fault(), c.fault);
        EXPECT_TRUE(text.reason().startsWith(QLatin1String(c.reason))) << text.reason().toStdString();
        EXPECT_FALSE(text.reason().contains(u'\n'));
    }
    // The title is read through the same checks.
    auto title = readHwpxTitle(hwpxPackage({{"Contents/content.hpf", laughs}}));
    EXPECT_EQ(title.fault(), Fault::Damaged);
}
