#include "dialogs/RtfReader.h"

#include <string>
#include <vector>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

struct Read {
  QTextDocument doc;
  RtfReader::Result result;
  explicit Read(const QByteArray& rtf) { result = RtfReader::read(rtf, &doc); }
  // The text as stored: toPlainText() would turn no-break spaces and line breaks into
  // plain spaces and newlines.
  QString text() const {
    return doc.toRawText().replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
  }
};

// One run of equally formatted text.
struct TextRun {
  QString text;
  bool bold, italic, underline;
};

std::vector<TextRun> runs(const QTextDocument& doc) {
  std::vector<TextRun> out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat c = f.charFormat();
      out.push_back({f.text(), c.fontWeight() >= QFont::Bold, c.fontItalic(), c.fontUnderline()});
    }
  return out;
}

// Text of the document whose runs have the given boldness, concatenated.
QString boldText(const QTextDocument& doc, bool bold) {
  QString s;
  for (const TextRun& r : runs(doc))
    if (r.bold == bold) s += r.text;
  return s;
}

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

struct TextCase {
  const char* name;
  QByteArray rtf;
  QString expected;
};

class RtfTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(RtfTextTest, ReadsText) {
  const TextCase& c = GetParam();
  Read r(c.rtf);
  EXPECT_TRUE(r.result.isRtf);
  EXPECT_TRUE(r.result.complete);
  EXPECT_EQ(r.text(), c.expected);
}

const QString LS(QChar(0x2028));

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfTextTest,
    testing::Values(
        TextCase{"Paragraphs", "{\\rtf1 Hello\\par World}", "Hello\nWorld"},
        TextCase{"ClosingParLeavesNoEmptyLine", "{\\rtf1 A\\par B\\par }", "A\nB"},
        TextCase{"EmptyParagraphsKept", "{\\rtf1 A\\par\\par B}", "A\n\nB"},
        TextCase{"LineAndTab", "{\\rtf1 a\\line b\\tab c}", u("a") + LS + u("b\tc")},
        TextCase{"BackslashNewlineIsParagraph", "{\\rtf1 a\\\nb}", "a\nb"},
        TextCase{"LineEndsIgnored", "{\\rtf1 a\r\nb\nc}", "abc"},
        TextCase{"DelimiterSpaceEaten", "{\\rtf1\\b  x\\b0 y}", " xy"},
        TextCase{"Escapes", "{\\rtf1 a\\{b\\}c\\\\d\\~e\\-f\\_g}",
                 u("a{b}c\\d\xC2\xA0"
                   "e\xC2\xAD"
                   "f\xE2\x80\x91g")},
        TextCase{"Punctuation", "{\\rtf1 \\ldblquote x\\rdblquote \\emdash \\bullet}",
                 u("\xE2\x80\x9Cx\xE2\x80\x9D\xE2\x80\x94\xE2\x80\xA2")},
        TextCase{"HexDefaultsTo1251", "{\\rtf1\\ansi \\'cf\\'f0\\'c8\\'c2\\'e5\\'f2}", u("ПрИВет")},
        TextCase{"HexInDocumentCodePage", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", u("café")},
        TextCase{"HexInOtherCodePage", "{\\rtf1\\ansi\\ansicpg866 \\'8f\\'e0}", u("Пр")},
        TextCase{"RawEightBitBytes", "{\\rtf1 \xCF\xF0\xE8}", u("При")},
        TextCase{"FontCharsetWins",
                 "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}"
                 "{\\f1\\fswiss\\fcharset204 Arial CYR;}}\\f0 caf\\'e9 \\f1\\'cf\\'f0"
                 "\\plain  \\'e9}",
                 u("café Пр é")},
        TextCase{"Unicode", "{\\rtf1 \\u1055?\\u1088?}", u("Пр")},
        TextCase{"UnicodeSkipsHexFallback", "{\\rtf1\\uc2 \\u1055\\'3f\\'3fx}", u("Пx")},
        TextCase{"UnicodeWithoutFallback", "{\\rtf1\\uc0 \\u1055 x}", u("Пx")},
        TextCase{"UnicodeNegativeSurrogatePair", "{\\rtf1 \\u-10179?\\u-8704?}",
                 u("\xF0\x9F\x98\x80")},
        TextCase{"LoneSurrogateReplaced", "{\\rtf1 \\u-10179?x}", u("\xEF\xBF\xBDx")},
        TextCase{"UnicodeSkipStopsAtGroup", "{\\rtf1\\uc3 \\u1055{x}y}", u("Пxy")},
        TextCase{"UcIsScopedToGroup", "{\\rtf1{\\uc2 \\u1055??}\\u1088?z}", u("Прz")},
        TextCase{"SkippedDestinations",
                 "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                 "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                 "{\\*\\generator G 1.0;}{\\*\\unknown X{\\b Y}}Body}",
                 "Body"},
        TextCase{"IgnorableInsideText",
                 "{\\rtf1 a{\\*\\bkmkstart m}b{\\field{\\*\\fldinst "
                 "HYPERLINK x}{\\fldrslt link}}}",
                 "ablink"},
        TextCase{"BinaryDataSkipped", "{\\rtf1 a{\\pict\\bin3 {{{}b}", "ab"},
        TextCase{"HiddenText", "{\\rtf1 a{\\v hidden}b\\v c\\v0 d}", "abd"},
        TextCase{"TableCells", "{\\rtf1 \\trowd a\\cell b\\cell\\row c}", "a\tb\t\nc"},
        TextCase{"BadHexReadOn", "{\\rtf1 a\\'zzb}", "azzb"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(Rtf, FormattingRuns) {
  Read r("{\\rtf1 n{\\b b{\\i bi}}\\ul u\\ulnone n\\b x\\b0\\i y\\i0\\ul0 z\\b\\i\\ul w\\plain p}");
  struct Want {
    const char* text;
    bool bold, italic, underline;
  };
  const Want want[] = {{"n", false, false, false}, {"b", true, false, false},
                       {"bi", true, true, false},  {"u", false, false, true},
                       {"n", false, false, false}, {"x", true, false, false},
                       {"y", false, true, false},  {"z", false, false, false},
                       {"w", true, true, true},    {"p", false, false, false}};
  const std::vector<TextRun> got = runs(r.doc);
  ASSERT_EQ(got.size(), std::size(want)) << r.text().toStdString();
  for (std::size_t k = 0; k < got.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(got[k].text, QString::fromUtf8(want[k].text));
    EXPECT_EQ(got[k].bold, want[k].bold);
    EXPECT_EQ(got[k].italic, want[k].italic);
    EXPECT_EQ(got[k].underline, want[k].underline);
  }
}

TEST(Rtf, ParagraphAlignmentAndFontSize) {
  Read r("{\\rtf1\\pard\\qc\\fs32 Title\\par\\pard Body\\par\\qr\\fs20 Right}");
  ASSERT_EQ(r.doc.blockCount(), 3);
  EXPECT_EQ(r.doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
  EXPECT_EQ(r.doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignLeft);
  EXPECT_EQ(r.doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignRight);
  EXPECT_DOUBLE_EQ(r.doc.findBlockByNumber(0).begin().fragment().charFormat().fontPointSize(),
                   16.0);
  EXPECT_DOUBLE_EQ(r.doc.findBlockByNumber(2).begin().fragment().charFormat().fontPointSize(),
                   10.0);
}

TEST(Rtf, ReplacesEarlierContent) {
  QTextDocument doc;
  doc.setPlainText(QStringLiteral("old"));
  RtfReader::read("{\\rtf1 new}", &doc);
  EXPECT_EQ(doc.toPlainText(), QStringLiteral("new"));
}

// What a word processor with a Russian default saves: Cyrillic as \'hh.
const QByteArray kPadStyleFile =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 "
    "Calibri;}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Pad 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\b\\f0\\fs22\\lang1049\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\b0 , "
    "\\i\\'ec\\'e8\\'f0\\i0 !\\par\r\n"
    "\\f1\\lang1033 Hello\\f0\\lang1049  \\cf1\\'ea\\'e0\\'e1\\'e5\\'eb\\'fc\\cf0\\par\r\n"
    "}\r\n";

// What a full word processor saves: Unicode escapes with \'hh fallbacks, a long header.
const QByteArray kWordStyleFile =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1251\\uc1\\adeff31507\\deff0\\stshfdbch31505"
    "\\deflang1049\\deflangfe1049{\\fonttbl{\\f0\\fbidi \\froman\\fcharset204\\fprq2"
    "{\\*\\panose 02020603050405020304}Times New Roman;}{\\f3\\fbidi \\froman\\fcharset2\\fprq2"
    "{\\*\\panose 05050102010706020507}Symbol;}{\\f37\\fbidi \\fswiss\\fcharset204\\fprq2 "
    "Calibri{\\*\\falt Arial};}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}{\\*\\defchp \\f31506\\fs22}"
    "{\\*\\defpap \\ql \\li0\\ri0\\sa160\\sl259\\slmult1}\r\n"
    "\\noqfpromote {\\stylesheet{\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault"
    "\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 \\rtlch\\fcs1 \\af31507\\afs22"
    "\\alang1025 \\ltrch\\fcs0 \\f31506\\fs22\\lang1049\\langfe1033\\cgrid\\langnp1049"
    "\\langfenp1033 \\snext0 \\sqformat \\spriority0 Normal;}{\\*\\cs10 \\additive \\ssemihidden "
    "Default Paragraph Font;}}\r\n"
    "{\\*\\rsidtbl \\rsid1182283\\rsid6561245}{\\mmathPr\\mmathFont34\\mbrkBin0}"
    "{\\info{\\author User}{\\operator User}{\\creatim\\yr2023\\mo11\\dy14\\hr10\\min5}"
    "{\\version2}{\\edmins1}{\\nofpages1}{\\nofwords4}}"
    "{\\*\\xmlnstbl {\\xmlns1 http://schemas.example.com/office/word/2003/wordml}}\r\n"
    "\\paperw11906\\paperh16838\\margl1701\\margr850\\margt1134\\margb1134\\gutter0\\ltrsect \r\n"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}"
    "{\\levelnumbers;}\\f3}{\\listname ;}\\listid1}}\r\n"
    "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha"
    "\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 "
    "\\ltrch\\fcs0 \\f31506\\fs22\\lang1049\\langfe1033\\cgrid\\langnp1049\\langfenp1033 "
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\b\\insrsid6561245 \\u1050\\'ca\\u1072\\'e0"
    "\\u1073\\'e1\\u1077\\'e5\\u1083\\'eb\\u1100\\'fc}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
    "\\insrsid6561245  \\u1042\\'c2\\u1048\\'c8\\u1056\\'d0\\u1044\\'c4-50\r\n"
    "\\par }{\\listtext\\pard\\plain\\ltrpar \\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\f3\\insrsid1 "
    "\\loch\\af3\\dbch\\af0\\hich\\f3 \\'b7\\tab}\\ls1\\ilvl0 {\\i\\insrsid1 \\u1087\\'ef"
    "\\u1091\\'f3\\u1085\\'ed\\u1082\\'ea\\u1090\\'f2}{\\insrsid1 \\par }"
    "{\\*\\themedata 504b030414000600080000002100e9de0fbfff0000001c020000130000005b436f6e74}"
    "{\\*\\colorschememapping 3c3f786d6c2076657273696f6e3d22312e30}"
    "{\\*\\latentstyles\\lsdstimax376\\lsdlockeddef0{\\lsdlockedexcept \\lsdqformat1 Normal;}}"
    "{\\*\\datastore 0105000002000000180000004d73786d6c322e534158584d4c5265616465722e362e30}}";

TEST(Rtf, PadStyleFile) {
  Read r(kPadStyleFile);
  EXPECT_TRUE(r.result.complete);
  EXPECT_EQ(r.text(), u("Привет, мир!\nHello кабель"));
  EXPECT_EQ(boldText(r.doc, true), u("Привет"));
  bool italicWorld = false;
  for (const TextRun& run : runs(r.doc)) italicWorld |= run.italic && run.text == u("мир");
  EXPECT_TRUE(italicWorld);
}

TEST(Rtf, WordStyleFile) {
  Read r(kWordStyleFile);
  EXPECT_TRUE(r.result.complete);
  EXPECT_EQ(r.text(), u("Кабель ВИРД-50\n·\tпункт"));
  EXPECT_EQ(boldText(r.doc, true), u("Кабель"));
}

struct BrokenCase {
  const char* name;
  QByteArray rtf;
  QString expected;
};

class RtfBrokenTest : public testing::TestWithParam<BrokenCase> {};

// Malformed input shows what could be read and says it was not complete.
TEST_P(RtfBrokenTest, ShowsWhatCouldBeRead) {
  const BrokenCase& c = GetParam();
  Read r(c.rtf);
  EXPECT_TRUE(r.result.isRtf);
  EXPECT_FALSE(r.result.complete);
  EXPECT_EQ(r.text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfBrokenTest,
    testing::Values(BrokenCase{"MissingCloseBrace", "{\\rtf1 Hello\\par World", "Hello\nWorld"},
                    BrokenCase{"CutInControlWord", "{\\rtf1 Hello\\pa", "Hello"},
                    BrokenCase{"CutAfterBackslash", "{\\rtf1 Hello\\", "Hello"},
                    BrokenCase{"CutInHexEscape", "{\\rtf1 \\'cf\\'f0\\'e", u("Пр")},
                    BrokenCase{"CutInsideDestination", "{\\rtf1 Text{\\fonttbl{\\f0 Ari", "Text"},
                    BrokenCase{"CutInBinaryData", "{\\rtf1 a{\\pict\\bin100 xyz", "a"},
                    BrokenCase{"CutInUnicodeFallback", "{\\rtf1\\uc2 \\u1055?", u("П")}),
    [](const testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

TEST(Rtf, TruncatedRealFileKeepsItsStart) {
  const QByteArray cut = kPadStyleFile.left(kPadStyleFile.indexOf("Hello") + 3);
  Read r(cut);
  EXPECT_FALSE(r.result.complete);
  EXPECT_EQ(r.text(), u("Привет, мир!\nHel"));
  for (int len = 0; len <= kWordStyleFile.size(); len += 7) {
    Read part(kWordStyleFile.left(len));  // must neither crash nor hang anywhere
    EXPECT_LE(part.text().size(), 40);
  }
}

TEST(Rtf, ExtraCloseBraceEndsTheDocument) {
  Read r("{\\rtf1 A}B}");
  EXPECT_TRUE(r.result.complete);
  EXPECT_EQ(r.text(), QStringLiteral("A"));
}

TEST(Rtf, DeepNestingDoesNotExhaustMemory) {
  QByteArray rtf = "{\\rtf1 a";
  rtf += QByteArray(200000, '{') + "\\b deep" + QByteArray(200000, '}') + "z}";
  Read r(rtf);
  EXPECT_TRUE(r.result.complete);
  EXPECT_EQ(r.text(), QStringLiteral("adeepz"));
  EXPECT_EQ(boldText(r.doc, false), QStringLiteral("az"));
}

TEST(Rtf, HugeNumbersAreClamped) {
  Read r(
      "{\\rtf1\\uc99999999999999 \\u99999999999999 abcdefghijklmnopqrstuvwxyz"
      "\\fs-99999999999 Z\\bin99999999999}");
  EXPECT_FALSE(r.result.complete);  // the \bin claims more data than there is
  // At most 16 fallback characters are dropped after a \u.
  EXPECT_TRUE(r.text().endsWith(QStringLiteral("qrstuvwxyzZ"))) << r.text().toStdString();
  EXPECT_FALSE(r.text().contains(QLatin1Char('p')));
}

struct PlainCase {
  const char* name;
  QByteArray data;
  QString expected;
};

class RtfPlainTest : public testing::TestWithParam<PlainCase> {};

TEST_P(RtfPlainTest, NonRtfShownAsPlainText) {
  Read r(GetParam().data);
  EXPECT_FALSE(r.result.isRtf);
  EXPECT_EQ(r.text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfPlainTest,
    testing::Values(PlainCase{"Empty", "", ""},
                    PlainCase{"Utf8", "\xD0\x9F\xD1\x80\xD0\xB8 {\\b x}", u("При {\\b x}")},
                    PlainCase{"Cp1251", "\xCF\xF0\xE8\r\n2", u("При\n2")},
                    PlainCase{"NotQuiteRtf", "{\\rt x}", u("{\\rt x}")}),
    [](const testing::TestParamInfo<PlainCase>& info) { return std::string(info.param.name); });

TEST(Rtf, BomAndLeadingSpaceAccepted) {
  Read r("\xEF\xBB\xBF \r\n{\\rtf1 x}");
  EXPECT_TRUE(r.result.isRtf);
  EXPECT_EQ(r.text(), QStringLiteral("x"));
}

TEST(RtfFile, MissingFileLeavesDocumentAlone) {
  QTemporaryDir dir;
  QTextDocument doc;
  doc.setPlainText(QStringLiteral("keep"));
  EXPECT_FALSE(RtfReader::readFile(dir.filePath(QStringLiteral("none.rtf")), &doc));
  EXPECT_FALSE(RtfReader::readFile(dir.path(), &doc));  // a directory
  EXPECT_EQ(doc.toPlainText(), QStringLiteral("keep"));
}

// The help file that ships next to the program.
TEST(RtfFile, ShippedHelpParsesWithoutLoss) {
  const QString path = QFileInfo(QStringLiteral(__FILE__))
                           .absoluteDir()
                           .filePath(QStringLiteral("../../src/app/help.rtf"));
  ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  QTextDocument doc;
  RtfReader::Result result;
  ASSERT_TRUE(RtfReader::readFile(path, &doc, &result));
  EXPECT_TRUE(result.isRtf);
  EXPECT_TRUE(result.complete);
  const QString text = doc.toPlainText();
  for (const char* heading : {"Редактор кабелей для ВИРД-50", "Две таблицы",
                              "Открытие и сохранение таблиц", "Команды записей", "Отмена и повтор",
                              "Копирование между таблицами", "Запись в прибор", "Клавиши"})
    EXPECT_TRUE(text.contains(u(heading))) << heading;
  for (const char* key : {"F3", "F4", "F5", "F8", "Ctrl+Z", "Ctrl+Y", "CABLES.TXT"})
    EXPECT_TRUE(text.contains(u(key))) << key;
  // No markup leaked into the text, nothing undecodable.
  for (const QChar c : {QChar('\\'), QChar('{'), QChar('}'), QChar(QChar::ReplacementCharacter)})
    EXPECT_FALSE(text.contains(c)) << QString(c).toStdString();
  EXPECT_TRUE(boldText(doc, true).contains(u("Клавиши")));
}

}  // namespace
