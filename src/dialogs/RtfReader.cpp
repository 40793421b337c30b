#include "dialogs/RtfReader.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/QtCp1251.h"

using namespace tolmira;

namespace {

constexpr int kDefaultCodePage = 1251;
// Deeper groups share their parent's state; keeps hostile input from eating memory.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kMaxWordLetters = 32;

struct CharState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool hidden = false;
  int halfPoints = 0;  // 0: the document's own font size

  bool operator==(const CharState& o) const {
    return bold == o.bold && italic == o.italic && underline == o.underline && hidden == o.hidden &&
           halfPoints == o.halfPoints;
  }
  bool operator!=(const CharState& o) const { return !(*this == o); }
};

enum class Dest { Text, Skip, FontTable };

struct GroupState {
  CharState ch;
  Qt::Alignment align = Qt::AlignLeft;
  int leftIndent = 0;   // twips, \li
  int firstIndent = 0;  // twips, \fi (negative: hanging)
  int spaceBefore = 0;  // twips, \sb
  int spaceAfter = 0;   // twips, \sa
  int uc = 1;           // characters that stand in for each \uN
  int font = -1;        // -1: the default font
  Dest dest = Dest::Text;
};

// Windows charset numbers of the font table, as code pages.
int charsetCodePage(int charset) {
  switch (charset) {
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 255:
      return 437;
    default:
      return 0;  // ANSI, default, symbol: the document's code page
  }
}

std::vector<std::string> codePageNames(int cp) {
  switch (cp) {
    case 10000:
      return {"macintosh"};
    case 10007:
      return {"x-mac-cyrillic"};
    case 20866:
      return {"KOI8-R"};
    case 21866:
      return {"KOI8-U"};
    case 932:
      return {"Shift_JIS", "cp932"};
    case 936:
      return {"GBK", "cp936"};
    case 949:
      return {"cp949", "EUC-KR"};
    case 950:
      return {"Big5", "cp950"};
    default:
      break;
  }
  if (cp >= 28591 && cp <= 28606) return {"ISO-8859-" + std::to_string(cp - 28590)};
  const std::string n = std::to_string(cp);
  return {"windows-" + n, "cp" + n, "IBM" + n};
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Destinations whose content is never shown.
bool isSkippedDestination(const std::string& w) {
  static const char* const names[] = {"colortbl",
                                      "stylesheet",
                                      "info",
                                      "pict",
                                      "nonshppict",
                                      "header",
                                      "headerl",
                                      "headerr",
                                      "headerf",
                                      "footer",
                                      "footerl",
                                      "footerr",
                                      "footerf",
                                      "footnote",
                                      "annotation",
                                      "object",
                                      "xmlnstbl",
                                      "listtable",
                                      "listoverridetable",
                                      "rsidtbl",
                                      "filetbl",
                                      "revtbl",
                                      "pgdsctbl",
                                      "themedata",
                                      "colorschememapping",
                                      "latentstyles",
                                      "datastore",
                                      "fldinst",
                                      "author",
                                      "title",
                                      "subject",
                                      "operator",
                                      "keywords",
                                      "comment",
                                      "doccomm",
                                      "company",
                                      "generator",
                                      "xe",
                                      "tc",
                                      "txe",
                                      "rxe",
                                      "bkmkstart",
                                      "bkmkend",
                                      "atnid",
                                      "atnauthor",
                                      "private",
                                      "userprops",
                                      "background",
                                      "shpinst"};
  for (const char* n : names)
    if (w == n) return true;
  return false;
}

class Parser {
 public:
  Parser(const QByteArray& data, int start, QTextDocument* doc)
      : data_(data), pos_(start), cursor_(doc) {}

  bool run() {
    cursor_.beginEditBlock();
    const int n = data_.size();
    while (pos_ < n && !finished_) {
      const char c = data_.at(pos_);
      if (c == '{') {
        ++pos_;
        openGroup();
      } else if (c == '}') {
        ++pos_;
        closeGroup();
      } else if (c == '\\') {
        control();
      } else {
        ++pos_;
        if (c != '\r' && c != '\n') plainChar(static_cast<unsigned char>(c));
      }
    }
    finish();
    cursor_.endEditBlock();
    return finished_ && !truncated_;
  }

 private:
  GroupState& st() { return stack_.back(); }
  bool showing() const { return stack_.back().dest == Dest::Text && !stack_.back().ch.hidden; }

  void openGroup() {
    flushBytes();
    skip_ = 0;
    if (stack_.empty()) {
      stack_.push_back(GroupState{});
    } else if (stack_.size() >= kMaxDepth) {
      ++overflow_;
    } else {
      stack_.push_back(stack_.back());
    }
  }

  void closeGroup() {
    flushBytes();
    skip_ = 0;
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (stack_.size() <= 1) {
      finished_ = true;  // the outer group: the document ends here
      return;
    }
    stack_.pop_back();
  }

  void control() {
    const int n = data_.size();
    ++pos_;  // the backslash
    if (pos_ >= n) {
      truncated_ = true;
      return;
    }
    const char c = data_.at(pos_);
    if (c == '\'') {
      ++pos_;
      if (pos_ + 1 >= n) {  // cut off inside the escape
        truncated_ = true;
        pos_ = n;
        return;
      }
      const int hi = hexValue(data_.at(pos_));
      const int lo = hexValue(data_.at(pos_ + 1));
      if (hi < 0 || lo < 0) return;  // not an escape after all: read on as text
      pos_ += 2;
      if (skip_ > 0) {
        --skip_;
        return;
      }
      if (showing()) bytes_.push_back(static_cast<char>(hi * 16 + lo));
      return;
    }
    flushBytes();
    if (isLetter(c)) {
      std::string word;
      while (pos_ < n && isLetter(data_.at(pos_))) {
        if (static_cast<int>(word.size()) < kMaxWordLetters) word.push_back(data_.at(pos_));
        ++pos_;
      }
      bool hasParam = false;
      bool negative = false;
      long long value = 0;
      if (pos_ < n && data_.at(pos_) == '-' && pos_ + 1 < n && isDigit(data_.at(pos_ + 1))) {
        negative = true;
        ++pos_;
      }
      while (pos_ < n && isDigit(data_.at(pos_))) {
        hasParam = true;
        if (value < 100000000000LL) value = value * 10 + (data_.at(pos_) - '0');
        ++pos_;
      }
      if (pos_ >= n) {  // a word may be cut short by the end of the data
        truncated_ = true;
        return;
      }
      if (data_.at(pos_) == ' ') ++pos_;
      if (value > 2147483647LL) value = 2147483647LL;
      const int param = static_cast<int>(negative ? -value : value);
      if (skip_ > 0) {
        --skip_;
        if (word == "bin") skipBinary(hasParam ? param : 0);
        return;
      }
      controlWord(word, hasParam, param);
      return;
    }
    ++pos_;
    if (skip_ > 0 && c != '\r' && c != '\n') {
      --skip_;
      return;
    }
    controlSymbol(c);
  }

  void skipBinary(int count) {
    if (count <= 0) return;
    const int left = data_.size() - pos_;
    if (count > left) {
      truncated_ = true;
      pos_ = data_.size();
      return;
    }
    pos_ += count;
  }

  void controlSymbol(char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}':
        emitText(QString(QLatin1Char(c)));
        break;
      case '~':
        emitText(QString(QChar(0x00A0)));
        break;
      case '-':
        emitText(QString(QChar(0x00AD)));
        break;
      case '_':
        emitText(QString(QChar(0x2011)));
        break;
      case '*':
        st().dest = Dest::Skip;
        break;
      case '\r':
      case '\n':
        paragraph();
        break;
      default:
        break;  // \: \| and unknown symbols show nothing
    }
  }

  void controlWord(const std::string& w, bool hasParam, int param) {
    GroupState& s = st();
    const bool on = !hasParam || param != 0;

    if (w == "bin") {
      skipBinary(hasParam ? param : 0);
      return;
    }
    if (w == "fonttbl") {
      s.dest = Dest::FontTable;
      return;
    }
    if (isSkippedDestination(w)) {
      s.dest = Dest::Skip;
      return;
    }
    if (s.dest == Dest::FontTable) {
      if (w == "f" && hasParam)
        fontBeingDefined_ = param;
      else if (w == "fcharset" && hasParam)
        setFontCodePage(charsetCodePage(param), false);
      else if (w == "cpg" && hasParam)
        setFontCodePage(param, true);
      return;
    }
    if (s.dest == Dest::Skip) return;

    // Document header.
    if (w == "ansicpg") {
      if (hasParam && param > 0) docCodePage_ = param;
    } else if (w == "mac") {
      docCodePage_ = 10000;
    } else if (w == "pc") {
      docCodePage_ = 437;
    } else if (w == "pca") {
      docCodePage_ = 850;
    } else if (w == "deff") {
      if (hasParam) defaultFont_ = param;
    }
    // Character formatting.
    else if (w == "b") {
      s.ch.bold = on;
    } else if (w == "i") {
      s.ch.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulth" ||
               w == "ulw" || w == "ulwave") {
      s.ch.underline = on;
    } else if (w == "ulnone") {
      s.ch.underline = false;
    } else if (w == "v") {
      s.ch.hidden = on;
    } else if (w == "fs") {
      if (hasParam && param > 0 && param <= 3276) s.ch.halfPoints = param;
    } else if (w == "f") {
      if (hasParam) s.font = param;
    } else if (w == "plain") {
      s.ch = CharState{};
      s.font = -1;
    }
    // Paragraph formatting.
    else if (w == "pard") {
      s.align = Qt::AlignLeft;
      s.leftIndent = s.firstIndent = s.spaceBefore = s.spaceAfter = 0;
    } else if (w == "li") {
      s.leftIndent = clampTwips(param);
    } else if (w == "fi") {
      s.firstIndent = clampTwips(param);
    } else if (w == "sb") {
      s.spaceBefore = clampTwips(param);
    } else if (w == "sa") {
      s.spaceAfter = clampTwips(param);
    } else if (w == "ql") {
      s.align = Qt::AlignLeft;
    } else if (w == "qc") {
      s.align = Qt::AlignHCenter;
    } else if (w == "qr") {
      s.align = Qt::AlignRight;
    } else if (w == "qj") {
      s.align = Qt::AlignJustify;
    }
    // Unicode.
    else if (w == "uc") {
      if (hasParam) s.uc = param < 0 ? 0 : (param > 16 ? 16 : param);
    } else if (w == "u") {
      if (hasParam) {
        emitUnit(static_cast<char16_t>(static_cast<unsigned>(param) & 0xFFFFu));
        skip_ = s.uc;
      }
    }
    // Breaks and special characters.
    else if (w == "par" || w == "sect" || w == "page" || w == "row") {
      paragraph();
    } else if (w == "line") {
      emitText(QString(QChar(0x2028)));
    } else if (w == "tab" || w == "cell" || w == "nestcell") {
      emitText(QStringLiteral("\t"));
    } else if (w == "emdash") {
      emitText(QString(QChar(0x2014)));
    } else if (w == "endash") {
      emitText(QString(QChar(0x2013)));
    } else if (w == "emspace") {
      emitText(QString(QChar(0x2003)));
    } else if (w == "enspace") {
      emitText(QString(QChar(0x2002)));
    } else if (w == "qmspace") {
      emitText(QString(QChar(0x2005)));
    } else if (w == "bullet") {
      emitText(QString(QChar(0x2022)));
    } else if (w == "lquote") {
      emitText(QString(QChar(0x2018)));
    } else if (w == "rquote") {
      emitText(QString(QChar(0x2019)));
    } else if (w == "ldblquote") {
      emitText(QString(QChar(0x201C)));
    } else if (w == "rdblquote") {
      emitText(QString(QChar(0x201D)));
    }
    // Everything else (spacing, colours, language, layout) does not change the text.
  }

  void setFontCodePage(int cp, bool explicitPage) {
    if (fontBeingDefined_ < 0) return;
    if (explicitPage || fontCodePages_.find(fontBeingDefined_) == fontCodePages_.end())
      fontCodePages_[fontBeingDefined_] = cp;
  }

  int currentCodePage() const {
    int font = stack_.back().font;
    if (font < 0) font = defaultFont_;
    const auto it = fontCodePages_.find(font);
    if (it != fontCodePages_.end() && it->second > 0) return it->second;
    return docCodePage_;
  }

  void plainChar(unsigned char c) {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (!showing()) return;
    if (c >= 0x80) {
      bytes_.push_back(static_cast<char>(c));
      return;
    }
    flushBytes();
    if (c == '\t')
      emitText(QStringLiteral("\t"));
    else if (c >= 0x20)
      emitText(QString(QLatin1Char(static_cast<char>(c))));
  }

  void emitUnit(char16_t unit) {
    if (unit == 0 || (unit < 0x20 && unit != '\t')) return;
    emitText(QString(QChar(unit)));
  }

  void emitText(const QString& text) {
    if (!showing()) return;
    const CharState& ch = stack_.back().ch;
    if (!text_.isEmpty() && textFormat_ != ch) flushText();
    textFormat_ = ch;
    text_ += text;
    afterParagraph_ = false;
  }

  QString decode(const std::string& bytes, int cp) {
    if (cp == kDefaultCodePage) return qStringFromCp1251(bytes);
    if (cp == 65001) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    auto it = decoders_.find(cp);
    if (it == decoders_.end()) {
      std::unique_ptr<QStringDecoder> found;
      for (const std::string& name : codePageNames(cp)) {
        auto d = std::make_unique<QStringDecoder>(name.c_str());
        if (d->isValid()) {
          found = std::move(d);
          break;
        }
      }
      it = decoders_.emplace(cp, std::move(found)).first;
    }
    // A code page the platform does not know is read as the program's own.
    if (!it->second) return qStringFromCp1251(bytes);
    QStringDecoder& d = *it->second;
    QString out = d.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    d.resetState();
    return out;
  }

  void flushBytes() {
    if (bytes_.empty()) return;
    const std::string bytes = std::move(bytes_);
    bytes_.clear();
    emitText(decode(bytes, currentCodePage()));
  }

  void flushText() {
    if (text_.isEmpty()) return;
    // Unpaired surrogates from broken \u sequences become replacement characters.
    for (qsizetype k = 0; k < text_.size(); ++k) {
      const QChar c = text_.at(k);
      if (c.isHighSurrogate() && k + 1 < text_.size() && text_.at(k + 1).isLowSurrogate()) {
        ++k;
      } else if (c.isSurrogate()) {
        text_[k] = QChar(QChar::ReplacementCharacter);
      }
    }
    QTextCharFormat f;
    f.setFontWeight(textFormat_.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(textFormat_.italic);
    f.setFontUnderline(textFormat_.underline);
    if (textFormat_.halfPoints > 0) f.setFontPointSize(textFormat_.halfPoints / 2.0);
    cursor_.insertText(text_, f);
    text_.clear();
  }

  static int clampTwips(int v) { return v < -31680 ? -31680 : (v > 31680 ? 31680 : v); }

  void applyBlockFormat() {
    const GroupState& s = stack_.back();
    QTextBlockFormat bf = cursor_.blockFormat();
    bf.setAlignment(s.align);
    constexpr double kTwipsPerPixel = 15.0;  // 1440 twips an inch at 96 pixels an inch
    const double left = s.leftIndent > 0 ? s.leftIndent / kTwipsPerPixel : 0.0;
    double first = s.firstIndent / kTwipsPerPixel;
    if (left + first < 0) first = -left;
    bf.setLeftMargin(left);
    bf.setTextIndent(first);
    bf.setTopMargin(s.spaceBefore > 0 ? s.spaceBefore / kTwipsPerPixel : 0.0);
    bf.setBottomMargin(s.spaceAfter > 0 ? s.spaceAfter / kTwipsPerPixel : 0.0);
    // A hanging first line tabs to the paragraph's indent, as in a bulleted list.
    if (first < 0)
      bf.setTabPositions({QTextOption::Tab(left, QTextOption::LeftTab)});
    else
      bf.clearProperty(QTextFormat::TabPositions);
    cursor_.setBlockFormat(bf);
  }

  void paragraph() {
    flushBytes();
    if (stack_.back().dest != Dest::Text) return;
    flushText();
    applyBlockFormat();
    cursor_.insertBlock();
    afterParagraph_ = true;
  }

  void finish() {
    if (stack_.empty()) return;
    if (!finished_) truncated_ = true;
    flushBytes();
    flushText();
    // The closing \par of the last paragraph leaves no empty line behind it.
    if (afterParagraph_ && cursor_.block().length() <= 1) {
      cursor_.deletePreviousChar();
    } else {
      applyBlockFormat();
    }
  }

  const QByteArray& data_;
  int pos_;
  QTextCursor cursor_;
  std::vector<GroupState> stack_;
  std::size_t overflow_ = 0;
  bool finished_ = false;
  bool truncated_ = false;
  bool afterParagraph_ = false;
  int skip_ = 0;  // characters still to drop after a \uN

  int docCodePage_ = kDefaultCodePage;
  int defaultFont_ = 0;
  int fontBeingDefined_ = -1;
  std::map<int, int> fontCodePages_;
  std::map<int, std::unique_ptr<QStringDecoder>> decoders_;

  std::string bytes_;  // \'hh and raw 8-bit bytes not yet decoded
  QString text_;       // decoded text of one run, not yet in the document
  CharState textFormat_;
};

// Where "{\rtf" starts, after an optional UTF-8 byte order mark and white space; -1 if not RTF.
int rtfStart(const QByteArray& data) {
  int p = 0;
  if (data.startsWith("\xEF\xBB\xBF")) p = 3;
  while (p < data.size() &&
         (data.at(p) == ' ' || data.at(p) == '\t' || data.at(p) == '\r' || data.at(p) == '\n'))
    ++p;
  return data.mid(p, 5) == "{\\rtf" ? p : -1;
}

}  // namespace

RtfReader::Result RtfReader::read(const QByteArray& rtf, QTextDocument* doc) {
  Result result;
  doc->clear();
  const int start = rtfStart(rtf);
  if (start < 0) {
    // Not RTF: shown as plain text, UTF-8 when it is valid UTF-8, else the program's code page.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(rtf);
    if (utf8.hasError()) text = qStringFromCp1251(std::string_view(rtf.constData(), rtf.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    doc->setPlainText(text);
    result.complete = true;
    return result;
  }
  result.isRtf = true;
  Parser parser(rtf, start, doc);
  result.complete = parser.run();
  return result;
}

bool RtfReader::readFile(const QString& path, QTextDocument* doc, Result* result) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  const QByteArray data = file.read(size < kMaxFileBytes ? size : kMaxFileBytes);
  if (file.error() != QFileDevice::NoError) return false;
  const bool cut = size > kMaxFileBytes;
  Result r = read(data, doc);
  if (cut) r.complete = false;
  if (result) *result = r;
  return true;
}
